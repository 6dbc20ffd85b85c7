#pragma once
// The grid's cell geometry in twips, shared by its layout and its painting.

#include "ThumbsCtl.h"

#include <QRect>

namespace murivo {

constexpr double kCellW = 1725, kCellH = 1680, kThumbW = 1635, kThumbH = 1500;
constexpr double kColumnPitch = 1835, kRowPitch = 1790, kTopMargin = 200;
// Thumbnails held at once; beyond this those far from the view are set aside
// and decoded again (from the thumbnail cache) when scrolled back to.
constexpr qint64 kImageBudget = 64ll * 1024 * 1024;
// A wheel's notch, in eighths of a degree.
constexpr int kNotch = 120;

// A box in twips as pixels on the grid scrolled down by offset twips.
inline QRect pixelsOf(const ThumbsCtl::Twips& t, double offset)
{
    return QRect(TwipsToPixels(t.left), TwipsToPixels(t.top - offset), TwipsToPixels(t.width), TwipsToPixels(t.height));
}

} // namespace murivo
