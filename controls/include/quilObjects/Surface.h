#pragma once
// The face a control draws itself on, for controls derived outside the
// library: whole pixels in OLE colours, drawn by the same rules as the
// library's own faces. A line leaves out its end point; a filled box takes
// in both corners. Reachable only from a control's Paint().

#include "Export.h"
#include "Types.h"

#include <QImage>
#include <QString>

namespace quil {

class SurfacePrivate;

class QUILOBJECTS_EXPORT Surface {
public:
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const;
    int Height() const;

    // Fills the whole face with a colour.
    void Clear(OLE_COLOR colour);
    void SetPixel(int x, int y, OLE_COLOR colour);
    // The pixel as an OLE colour (0x00BBGGRR); 0 outside the face.
    OLE_COLOR Pixel(int x, int y) const;
    void Line(int x1, int y1, int x2, int y2, OLE_COLOR colour);
    void Box(int x1, int y1, int x2, int y2, OLE_COLOR colour);
    void FilledBox(int x1, int y1, int x2, int y2, OLE_COLOR colour);

    // In the control's Font.
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    // One line of text, its top left corner at x, y.
    void PrintAt(const QString& text, int x, int y, OLE_COLOR colour);
    void DrawImage(const QImage& picture, int x, int y);

    QImage Image() const;

private:
    friend class quilControlPrivate;
    explicit Surface(SurfacePrivate* d);
    ~Surface();
    SurfacePrivate* d;
};

} // namespace quil
