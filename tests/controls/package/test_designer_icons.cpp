// The widget-box pictures: one of its own for each of the thirteen public
// controls, including those the library does not have yet.
#include "Icons.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

int paintedPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0;
    return n;
}

TEST(DesignerIcons, EveryPublicControlHasAPictureOfItsOwn)
{
    const char* names[] = {"quilButton",      "quilColorPicker", "quilDropDown", "quilLabel",   "quilListbox",
                           "quilMonthview",   "quilProgressBar", "quilPUMenu",   "quilScrollBar", "quilSlider",
                           "quilTab",         "quilTextBox",     "quilToolbar"};
    const QImage fallback = quil::designer::ToolboxImage(QStringLiteral("quilNoSuchControl"));
    QSet<QByteArray> seen;
    for (const char* name : names) {
        const QImage image = quil::designer::ToolboxImage(QString::fromLatin1(name));
        ASSERT_EQ(image.size(), QSize(24, 24)) << name;
        EXPECT_GT(paintedPixels(image), 40) << name;
        EXPECT_NE(image, fallback) << name << " has only the generic picture";
        const QByteArray bits(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes()));
        EXPECT_FALSE(seen.contains(bits)) << name << " looks like another control";
        seen.insert(bits);
    }
}

TEST(DesignerIcons, AnUnknownClassGetsAPlainBoxAndLargerSizesScale)
{
    EXPECT_GT(paintedPixels(quil::designer::ToolboxImage(QStringLiteral("quilNoSuchControl"))), 40);
    const QImage big = quil::designer::ToolboxImage(QStringLiteral("quilButton"), 48);
    ASSERT_EQ(big.size(), QSize(48, 48));
    EXPECT_GT(paintedPixels(big), 4 * 40);
}

} // namespace
