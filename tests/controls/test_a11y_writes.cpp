// What assistive technology may write into a control, and what it may not.
#include "A11y.h"

using namespace quil;
using namespace a11ytest;

TEST(Accessibility, ValueWritesStayInTheRangeAndADisplayTakesNone)
{
    QWidget window;
    auto* slider = new quilSlider(&window);
    auto* bar = new quilProgressBar(&window);
    bar->setValue(30);
    QAccessibleValueInterface* s = QAccessible::queryAccessibleInterface(slider)->valueInterface();
    ASSERT_NE(s, nullptr);
    s->setCurrentValue(99);
    EXPECT_EQ(slider->Value(), 10) << "past the maximum the thumb would leave the groove";
    s->setCurrentValue(-4);
    EXPECT_EQ(slider->Value(), 0);
    s->setCurrentValue(QStringLiteral("seven"));
    EXPECT_EQ(slider->Value(), 0) << "not a number: nothing changes";
    QAccessibleValueInterface* p = QAccessible::queryAccessibleInterface(bar)->valueInterface();
    ASSERT_NE(p, nullptr);
    p->setCurrentValue(80);
    EXPECT_EQ(bar->Value(), 30) << "a progress bar only shows progress";
}
