#pragma once
// Small helpers of the control tests: colours by hand, pixels of a face, a
// pointer the tests move, and a saved form's bag.
#include <quilObjects/quilControl.h>

#include <QPoint>
#include <QRgb>

namespace quiltest {

constexpr quint32 rgb(int r, int g, int b) { return quint32(r | (g << 8) | (b << 16)); }

// A face pixel as an OLE colour.
inline quint32 at(const quil::quilControl& c, int x, int y)
{
    const QRgb p = c.Face().pixel(x, y);
    return rgb(qRed(p), qGreen(p), qBlue(p));
}

// The pointer every control's hover poll reads, moved by the test.
struct Pointer {
    QPoint pos{100, 100};
    Pointer()
    {
        quil::quilControl::SetPointerSource([this] { return pos; });
    }
    ~Pointer() { quil::quilControl::SetPointerSource(nullptr); }
};

} // namespace quiltest
