#pragma once
// The loading window's progress bar: a percentage drawn in one of ten looks
// into an off-screen canvas, optionally with its text.

#include "platform/forms/PropertyBag.h"
#include "platform/surface/Surface.h"

#include <QImage>
#include <QWidget>

namespace murivo {

using platform::OLE_COLOR;

class XP_ProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit XP_ProgressBar(QWidget* parent = nullptr);

    void ReadProperties(platform::PropertyBag& bag);
    void WriteProperties(platform::PropertyBag& bag) const;

    long Value() const;
    void setValue(long value);
    long Min() const { return min; }
    void setMin(long v);
    long Max() const { return max; }
    void setMax(long v);
    long Percent() const { return percent; }
    OLE_COLOR Color() const { return colour; }
    void setColor(OLE_COLOR c);
    bool ShowText() const { return showText; }
    void setShowText(bool v);
    int Orientation() const { return orientation; }
    void setOrientation(int v);
    int Scrolling() const { return scrolling; }
    void setScrolling(int v);
    int BrushStyle() const { return brushStyle; }
    void setBrushStyle(int v);
    QImage Image() const { return image; }
    void setImage(const QImage& v);
    QFont Font() const { return canvas.Font; }
    void setFontProperty(const QFont& f);

    void DrawProgressBar();
    // Prepares the canvas for the control's size; it grows, it is never made smaller for its own sake.
    void PrepareCanvas();
    QSize CanvasSize() const { return QSize(canvas.ScaleWidth(), canvas.ScaleHeight()); }
    // What the control shows: the canvas's top-left W x H.
    QImage Shown() const;

    static int Lighten(int channel, int level);
    static OLE_COLOR Lighten(OLE_COLOR c, int level);
    static OLE_COLOR Mix(OLE_COLOR c1, OLE_COLOR c2, int w);

signals:
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void DrawGradient(OLE_COLOR start, OLE_COLOR end, int x, int y, int x2, int y2, bool vertical);
    void segmentFrame(int W, int H);
    void drawText(int W, int H);

    platform::Surface canvas;
    long percent = 0;
    long min = 0;
    long max = 100;
    OLE_COLOR colour;
    bool showText = false;
    int orientation = 0;
    int scrolling = 0;
    int brushStyle = 4;
    QImage image;
};

} // namespace murivo
