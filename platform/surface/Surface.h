#pragma once
// A pixel canvas with the classic drawing rules:
//  - a line from (x1, y1) to (x2, y2) covers the pixels from the first point
//    up to, not including, the second;
//  - a filled box between two corners covers both corners;
//  - FillRect, GradientFill, Ellipse and regions take rectangles whose right
//    column and bottom row are excluded;
//  - an ellipse or a rounded corner covers the pixels whose centres lie
//    inside it.
// Colours are OLE colours (system colours resolved at drawing time).

#include "../colors/Colors.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace platform {

struct RECT {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const RECT&) const = default;
};
inline bool IsRectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
inline void InflateRect(RECT& r, int dx, int dy)
{
    r.left -= dx;
    r.right += dx;
    r.top -= dy;
    r.bottom += dy;
}

// Vertex of GradientFill: channels are 16-bit (0xff00 is full).
struct TRIVERTEX {
    int x = 0, y = 0;
    quint16 Red = 0, Green = 0, Blue = 0, Alpha = 0;
    static TRIVERTEX At(int x, int y, OLE_COLOR c);
};
enum GradientMode { GRADIENT_FILL_RECT_H = 0, GRADIENT_FILL_RECT_V = 1 };

// Whether pixel (x, y) has its centre inside the ellipse inscribed in the rectangle.
bool InEllipse(int x, int y, const RECT& box);

// A set of pixels, as a region of the classic API.
class Region {
public:
    Region() = default;
    static Region FromRect(const RECT& r);
    // CreateRoundRectRgn: corner ellipses w wide and h high.
    static Region RoundRect(int left, int top, int right, int bottom, int w, int h);
    static Region Ellipse(const RECT& r);
    // Pixel centres inside the polygon; even-odd rule unless winding.
    static Region Polygon(const std::vector<QPoint>& points, bool winding = false);
    static Region FromTest(const QRect& bounds, const std::function<bool(int, int)>& inside);

    bool contains(int x, int y) const;
    QRect bounds() const { return box; }
    bool isEmpty() const;
    QRegion toQRegion() const;

private:
    QRect box;
    std::vector<unsigned char> bits;
};
inline bool PtInRegion(const Region& r, int x, int y) { return r.contains(x, y); }

enum HatchStyle { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };

// A solid colour, a hatch over a background, or a tiled pattern, aligned to the surface origin.
class Brush {
public:
    static Brush Solid(OLE_COLOR c);
    static Brush Hatch(int style, OLE_COLOR fore, OLE_COLOR back);
    static Brush Pattern(const QImage& tile);
    QRgb at(int x, int y) const;

private:
    enum Kind { SolidKind, HatchKind, PatternKind } kind = SolidKind;
    QRgb fore = 0, back = 0;
    int style = 0;
    QImage tile;
};
// Whether the hatch style marks pixel (x, y) of its 8 x 8 cell.
bool HatchBit(int style, int x, int y);

enum EdgeFlags : int {
    BDR_RAISEDOUTER = 1, BDR_SUNKENOUTER = 2, BDR_RAISEDINNER = 4, BDR_SUNKENINNER = 8,
    EDGE_RAISED = 5, EDGE_SUNKEN = 10, EDGE_ETCHED = 6, EDGE_BUMP = 9,
    BF_LEFT = 1, BF_TOP = 2, BF_RIGHT = 4, BF_BOTTOM = 8, BF_RECT = 15, BF_ADJUST = 0x2000,
};

enum DrawTextFlags : unsigned {
    DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_VCENTER = 4, DT_BOTTOM = 8, DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_RTLREADING = 0x20000,
};

enum DrawStateFlags : unsigned {
    DST_TEXT = 1, DST_PREFIXTEXT = 2, DST_ICON = 3, DST_BITMAP = 4,
    DSS_NORMAL = 0, DSS_DISABLED = 0x20, DSS_MONO = 0x80,
};

// Text with access-key marks: "&x" underlines x, "&&" is one ampersand.
struct PrefixText {
    QString text;
    int underline = -1;   // index in text, or -1
    static PrefixText Parse(const QString& marked);
};

class Surface {
public:
    explicit Surface(int width = 0, int height = 0);

    int ScaleWidth() const { return img.width(); }
    int ScaleHeight() const { return img.height(); }
    const QImage& Image() const { return img; }
    // Keeps what fits; new pixels take the back colour.
    void Resize(int width, int height);

    OLE_COLOR ForeColor = 0;
    OLE_COLOR BackColor = 0x8000000F;
    QFont Font;
    int CurrentX = 0;
    int CurrentY = 0;
    // Text is drawn only inside this rectangle when it is set.
    std::optional<RECT> TextClip;

    void Cls();
    void SetPixelV(int x, int y, OLE_COLOR c);
    QRgb Point(int x, int y) const;
    void Line(int x1, int y1, int x2, int y2, OLE_COLOR c);
    void Box(int x1, int y1, int x2, int y2, OLE_COLOR c);
    void FilledBox(int x1, int y1, int x2, int y2, OLE_COLOR c);
    void FillRect(const RECT& r, OLE_COLOR c);
    void FillRect(const RECT& r, const Brush& b);
    void FrameRect(const RECT& r, OLE_COLOR c);
    void GradientFill(const TRIVERTEX& from, const TRIVERTEX& to, GradientMode mode);
    void Ellipse(const RECT& r, OLE_COLOR c);
    void FillRegion(const Region& rgn, OLE_COLOR c);
    // Draws the edge; returns the rectangle inside it (the adjusted one).
    RECT DrawEdge(const RECT& r, int edge, int flags);

    int TextWidth(const QString& text) const;
    // The advance of one character alone, as the font metrics give it.
    int CharWidth(QChar ch) const;
    int TextHeight(const QString& text) const;
    // The metrics of the current font, kept until the font changes.
    const QFontMetrics& Metrics() const;
    // Text drawn between BeginText and EndText shares one painter instead of
    // opening its own; pairs may nest. Nothing else may draw with a painter
    // in between (the pixel primitives may).
    void BeginText();
    void EndText();
    struct TextBatch {
        explicit TextBatch(Surface& s) : s(s) { s.BeginText(); }
        ~TextBatch() { s.EndText(); }
        TextBatch(const TextBatch&) = delete;
        TextBatch& operator=(const TextBatch&) = delete;
        Surface& s;
    };
    // Prints at CurrentX/CurrentY in ForeColor; then CurrentX = 0 and CurrentY moves one line down.
    void Print(const QString& text);
    // Returns the text height; with DT_CALCRECT only measures, widening or heightening r.
    int DrawTextA(const QString& text, RECT& r, unsigned flags);
    // Text, prefixed text, bitmaps and icons: normal, disabled (embossed) or a one-colour silhouette.
    void DrawStateText(const QString& text, int x, int y, unsigned flags, OLE_COLOR mono = 0);
    void DrawStateImage(const QImage& picture, int x, int y, unsigned flags, OLE_COLOR mono = 0);

private:
    // Direct access for one drawing call: the image is detached once, not per pixel.
    struct Pixels {
        QRgb* base;
        qsizetype stride;
        int w, h;
        void set(int x, int y, QRgb c) const
        {
            if (x >= 0 && y >= 0 && x < w && y < h)
                base[y * stride + x] = c;
        }
    };
    Pixels pixels()
    {
        return Pixels{img.isNull() ? nullptr : reinterpret_cast<QRgb*>(img.bits()), img.bytesPerLine() / 4, img.width(), img.height()};
    }
    void drawTextAt(const PrefixText& t, int x, int y, QRgb c, bool rtl = false);
    std::vector<QString> wrap(const QString& text, int width) const;
    int advance(const QString& line) const;
    // The glyphs of one line, placed on its baseline; null when the text
    // needs the painter's own layout (right to left, decorations, controls).
    const QList<QGlyphRun>* shaped(const QString& line);

    QImage img;

    // Measuring and drawing shape the text, which costs far more than
    // looking it up: widths and glyphs are kept per string for the font.
    struct MeasureCache {
        QFont font;
        std::optional<QFontMetrics> metrics;
        QHash<QString, int> widths;
        QHash<QString, QList<QGlyphRun>> glyphs;
        // Line fitting sums the advances of single characters; those of the
        // first pages are kept here, -1 until measured.
        std::array<int, 0x250> chars;
    };
    mutable MeasureCache measured;
    // The painter of a text batch; a copy of the surface starts without one.
    struct BatchPainter {
        BatchPainter() = default;
        BatchPainter(const BatchPainter&) {}
        BatchPainter& operator=(const BatchPainter&) { return *this; }
        std::shared_ptr<QPainter> painter;
        int depth = 0;
    };
    BatchPainter batch;

    // The pixels live in a buffer that may be wider than the image, so that
    // a new width within it needs neither a new allocation nor a copy. The
    // image is a view of it; a copy of the image taken by anyone keeps the
    // buffer alive and is never written behind its back.
    void allocate(int width, int height, int capacityWidth);
    std::shared_ptr<uchar[]> store;
    int storeWidth = 0, storeHeight = 0;
};

} // namespace platform
