// The drop-down as a Qt citizen: QWidget's own enabled state, refused values,
// its size hint, property order and what its making costs.
#include "DropDownFixture.h"

#include "composite/quilDropDown_p.h"

#include <quilObjects/ImageList.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMetaProperty>
#include <QScreen>
#include <gtest/gtest.h>
#include <cmath>

using namespace quil;

TEST(DropDownQt, QWidgetSetEnabledDisablesItAndTheStoredFlagKeepsItsName)
{
    Form f;
    QWidget* w = f.box;
    w->setEnabled(false);
    EXPECT_FALSE(f.box->isEnabled());
    EXPECT_FALSE(f.box->TextField()->isEnabled());
    f.box->setEnabled(true);
    EXPECT_TRUE(f.box->isEnabled());
    f.box->setEnabled(false);
    EXPECT_FALSE(f.box->isEnabled()) << "the control's setEnabled is the widget's";
    f.box->setEnabled(true);
    // The stored flag is the property "Enabled", apart from the widget's state.
    EXPECT_TRUE(f.box->setProperty("Enabled", true));
    EXPECT_TRUE(f.box->EnabledFlag());
    EXPECT_TRUE(f.box->isEnabled());
    EXPECT_TRUE(f.box->setProperty("Enabled", false));
    EXPECT_FALSE(f.box->property("Enabled").toBool());
    EXPECT_TRUE(f.box->isEnabled());
}

TEST(DropDownQt, AComboTypeOutsideTheTableGivesAnEmptyPanel)
{
    Form f;
    EXPECT_TRUE(f.box->setProperty("ComboType", 99));
    EXPECT_EQ(int(f.box->ComboType()), 99);
    EXPECT_TRUE(f.box->List()->isHidden());
    EXPECT_TRUE(f.box->Calendar()->isHidden());
    EXPECT_EQ(f.box->TypeIcon(), 0);
    // Stored in a form file, it loads the same way.
    quiltest::RecordingBag bag;
    bag.values["ComboType"] = 99;
    bag.values["Day"] = 7;
    quilDropDown loaded;
    loaded.ReadProperties(bag);
    EXPECT_EQ(int(loaded.ComboType()), 99);
    EXPECT_EQ(loaded.Text(), "");
}

TEST(DropDownQt, DatePropertiesAreIntsAndOutOfRangeOnesAreRefused)
{
    Form f;
    const QMetaObject* mo = f.box->metaObject();
    for (const char* p : {"Day", "Month", "Year"})
        EXPECT_EQ(mo->property(mo->indexOfProperty(p)).metaType(), QMetaType::fromType<int>()) << p;
    f.box->setProperty("Year", 2010);
    f.box->setProperty("Year", 100000);
    EXPECT_EQ(f.box->Year(), 2010);
    EXPECT_EQ(f.box->Text(), "01.01.2010");
}

TEST(DropDownQt, ItsHintIsOneLineAndAGivenHeightIsKept)
{
    Form f;
    EXPECT_EQ(f.box->sizeHint().height(), QFontMetrics(f.host.font()).height() + 4);
    EXPECT_EQ(f.box->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    f.box->setGeometry(10, 10, 160, 40);
    QApplication::processEvents();
    EXPECT_EQ(f.box->height(), 40);
    EXPECT_EQ(f.box->Face().size(), QSize(160, 40));
}

TEST(DropDownQt, PropertiesReachTheSameStateInEitherOrder)
{
    const quiltest::PropertyWrites props = {
        {"BackColor", QVariant::fromValue<quint32>(0x102030)}, {"Enabled", true}, {"DateFormat", "yyyy-mm-dd"},
        {"ComboType", int(ctDateBox)}, {"Day", 5}, {"Month", 3}, {"Year", 2007}, {"FontName", "DejaVu Sans"}};
    FixedSystem system;
    quilDropDown forward, backward;
    quiltest::ExpectSameFormEitherOrder(props, forward, backward);
    // Designer's order sets the pattern before the date. A pattern set last
    // shows the next time the date is shown, as a pattern set alone does.
    EXPECT_EQ(forward.Text(), "2007-03-05");
    backward.setDay(5);
    EXPECT_EQ(backward.Text(), "2007-03-05");
}

TEST(DropDownQt, TheTypePictureIsReadByTheFirstPaintOnScreen)
{
    FixedSystem system;
    QWidget host;
    host.resize(300, 80);
    host.show();
    auto* d = new quilDropDown(&host);
    d->setGeometry(10, 10, 140, d->sizeHint().height());
    d->show();
    const ImageList& images = *quilDropDownPrivate::of(d).images;
    EXPECT_EQ(images.Count(), 0) << "shown, not painted yet";
    // The first paint reads it and shows it: image 1 at x 4, y = SH / 2 - 8.
    const QImage shot = d->grab().toImage();
    ASSERT_EQ(images.Count(), 1);
    const QImage icon = qobject_cast<ListImage*>(d->TypeImages()->ListImages(1))->ExtractIcon();
    const int y0 = static_cast<int>(std::nearbyint(d->height() / 2.0 - 8));
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (qAlpha(icon.pixel(x, y)) == 255) {
                ASSERT_EQ(shot.pixel(4 + x, y0 + y) & 0xFFFFFF, icon.pixel(x, y) & 0xFFFFFF) << x << "," << y;
                ++drawn;
            }
    EXPECT_GT(drawn, 0);
}

TEST(DropDownQt, AFontListMakesNoCalendarNoMenuAndReadsNoPictures)
{
    FixedSystem system;
    quilDropDown d;
    d.setComboType(ctFontSelect);
    d.Refresh();
    EXPECT_TRUE(d.Panel()->findChildren<quilMonthview*>().isEmpty());
    EXPECT_TRUE(d.findChildren<quilPUMenu*>().isEmpty());
    EXPECT_EQ(d.TypeImages()->Count(), 0);
    // The date type makes its calendar when the panel opens, and fills the panel with it.
    d.setComboType(ctDateBox);
    d.OpenPanel();
    const auto made = d.Panel()->findChildren<quilMonthview*>();
    ASSERT_EQ(made.size(), 1);
    EXPECT_FALSE(made[0]->isHidden());
    EXPECT_EQ(d.Panel()->size(), made[0]->sizeHint());
    EXPECT_EQ(d.TypeImages()->Count(), 1);
    d.ClosePanel();
    EXPECT_NE(d.Menu(), nullptr) << "made for a host that asks for it";
}

TEST(DropDownQt, AFirstDatePanelNearTheScreensBottomHangsJustAboveTheBox)
{
    FixedSystem system;
    QWidget host;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    host.setGeometry(screen.left(), screen.top(), screen.width(), screen.height());
    auto* box = new quilDropDown(&host);
    box->setComboType(ctDateBox);
    // Too little room below the box for a calendar, plenty above it.
    box->setGeometry(10, screen.height() - box->height() - 20, 160, box->height());
    host.show();
    box->OpenPanel();
    const QRect panel = box->Panel()->geometry();
    const QPoint boxTop = box->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(panel.size(), box->Calendar()->size()) << "the panel is its calendar's size";
    EXPECT_EQ(panel.bottom() + 1, boxTop.y()) << "the first opening is placed by the calendar's height too";
    EXPECT_EQ(panel.left(), boxTop.x());
    box->ClosePanel();
}
