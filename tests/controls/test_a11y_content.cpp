// What a screen reader finds in a control: names, values, children.
#include "A11y.h"

using namespace quil;
using namespace a11ytest;

TEST(Accessibility, NamesSayWhatEachControlShowsOrIsFor)
{
    QWidget window;
    auto* bar = new quilScrollBar(&window);
    bar->setGeometry(0, 0, 17, 120);
    auto* progress = new quilProgressBar(&window);
    progress->setValue(30);
    auto* picker = new quilColorPicker(&window);
    auto* plain = new quilDropDown(&window);
    auto* labelled = new quilDropDown(&window);
    auto* label = new QLabel(QStringLiteral("&Birthday"), &window);
    label->setBuddy(labelled);
    window.show();

    auto nameOf = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    auto arrowNames = [&] {
        QStringList names;
        for (QWidget* arrow : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (arrow->inherits("quil::quilXButton") && arrow->isVisible())
                names << nameOf(arrow);
        names.sort();
        return names;
    };
    EXPECT_EQ(arrowNames(), QStringList({"Down", "Up"})) << "not the symbol font's letters";
    bar->setOrientation(pbHorizontal);
    bar->setGeometry(0, 0, 120, 17);
    EXPECT_EQ(arrowNames(), QStringList({"Left", "Right"}));

    EXPECT_EQ(nameOf(progress), QStringLiteral("30 %")) << "what the bar shows";
    EXPECT_EQ(nameOf(picker), QStringLiteral("Colour"));
    EXPECT_EQ(nameOf(plain), QStringLiteral("Date")) << "a drop-down is named from its type";
    EXPECT_EQ(nameOf(labelled), QStringLiteral("Birthday")) << "its label names it";
    progress->setAccessibleName(QStringLiteral("Copying"));
    EXPECT_EQ(nameOf(progress), QStringLiteral("Copying")) << "the program's own name first";
}
