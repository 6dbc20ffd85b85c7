// What a screen reader finds in a control: names, values, children.
#include "A11y.h"

#include <quilObjects/quilLabel.h>
#include <quilObjects/quilTab.h>
#include <quilObjects/quilTextBox.h>
#include <QAccessibleTextInterface>
#include <QLineEdit>
#include <functional>

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

TEST(Accessibility, ATextBoxIsOneEditableTextNamedAsTheBox)
{
    QWidget window;
    auto* label = new QLabel(QStringLiteral("&Surname"), &window);
    auto* box = new quilTextBox(&window);
    box->setGeometry(0, 30, 150, 24);
    label->setBuddy(box);
    box->setText(QStringLiteral("Miller"));
    window.show();

    // Every object under the box with a text role.
    QAccessibleInterface* outer = QAccessible::queryAccessibleInterface(box);
    ASSERT_NE(outer, nullptr);
    std::vector<QAccessibleInterface*> texts;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* a) {
        if (a->role() == QAccessible::EditableText || a->role() == QAccessible::StaticText)
            texts.push_back(a);
        for (int i = 0; i < a->childCount(); ++i)
            if (QAccessibleInterface* c = a->child(i))
                walk(c);
    };
    walk(outer);
    ASSERT_EQ(texts.size(), 1u) << "one text, not a read-only one around an editable one";
    QAccessibleInterface* text = texts.front();
    EXPECT_EQ(text->role(), QAccessible::EditableText);
    EXPECT_EQ(text->object(), box->Field());
    EXPECT_EQ(text->parent()->object(), box);
    EXPECT_TRUE(outer->text(QAccessible::Name).isEmpty()) << "the name is heard once, on the text";
    EXPECT_EQ(text->text(QAccessible::Name), QStringLiteral("Surname"));
    EXPECT_EQ(text->text(QAccessible::Value), QStringLiteral("Miller"));
    EXPECT_TRUE(text->state().editable);
    EXPECT_FALSE(text->state().readOnly);
    ASSERT_NE(text->textInterface(), nullptr);
    EXPECT_EQ(text->textInterface()->text(0, text->textInterface()->characterCount()), QStringLiteral("Miller"));
    text->textInterface()->setSelection(0, 1, 4);
    EXPECT_EQ(box->SelStart(), 1);
    EXPECT_EQ(box->SelLength(), 3);

    QApplication::setActiveWindow(&window);
    box->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->Field()->hasFocus(); }));
    EXPECT_EQ(outer->focusChild(), text) << "the focus is on the text";
    EXPECT_TRUE(text->state().focused);

    box->setPasswordChar(QStringLiteral("*"));
    EXPECT_EQ(text->textInterface()->text(0, 6), QStringLiteral("******")) << "a password is not read out";
    box->setLocked(true);
    EXPECT_TRUE(text->state().readOnly) << "a locked box reads as read-only";
    EXPECT_FALSE(text->state().editable);
    box->setAccessibleName(QStringLiteral("Family name"));
    EXPECT_EQ(text->text(QAccessible::Name), QStringLiteral("Family name"));
}

TEST(Accessibility, NoBlankObjectsStrayOutsideTheirControls)
{
    QWidget window;
    window.resize(640, 480);
    auto* button = new quilButton(&window);
    button->setGeometry(0, 0, 80, 24);
    auto* picker = new quilColorPicker(&window);
    picker->move(90, 0);
    auto* date = new quilDropDown(&window);
    date->setGeometry(0, 100, 160, 21);
    date->Menu();
    auto* label = new quilLabel(&window);
    label->setGeometry(0, 130, 100, 20);
    auto* list = new quilListbox(&window);
    list->setGeometry(200, 100, 150, 120);
    auto* cal = new quilMonthview(&window);
    cal->move(360, 100);
    auto* menu = new quilPUMenu(&window);
    menu->move(0, 160);
    new quilProgressBar(&window);
    auto* scroll = new quilScrollBar(&window);
    scroll->setGeometry(600, 0, 17, 120);
    auto* slider = new quilSlider(&window);
    slider->setGeometry(0, 220, 150, 25);
    auto* tab = new quilTab(&window);
    tab->move(0, 260);
    auto* box = new quilTextBox(&window);
    box->setGeometry(0, 300, 150, 24);
    auto* bar = new quilToolbar(&window);
    bar->setGeometry(0, 340, 300, bar->sizeHint().height());
    bar->ToolbarItems()->Add(QStringLiteral("save"), QStringLiteral("Save"));
    window.show();
    date->OpenPanel();

    QStringList strays;
    std::function<void(QAccessibleInterface*, int)> walk = [&](QAccessibleInterface* a, int depth) {
        for (int i = 0; i < a->childCount() && depth < 12; ++i) {
            QAccessibleInterface* c = a->child(i);
            if (!c)
                continue;
            const QRect r = c->rect();
            const bool blank = c->role() == QAccessible::Client || c->role() == QAccessible::NoRole;
            if (blank && (r.size() == QSize(47, 47) || !a->rect().contains(r)))
                strays << QStringLiteral("%1 in %2 at %3,%4 %5x%6")
                              .arg(c->object() ? QString::fromLatin1(c->object()->metaObject()->className()) : "?")
                              .arg(a->object() ? QString::fromLatin1(a->object()->metaObject()->className()) : "?")
                              .arg(r.x())
                              .arg(r.y())
                              .arg(r.width())
                              .arg(r.height());
            walk(c, depth + 1);
        }
    };
    walk(QAccessible::queryAccessibleInterface(&window), 0);
    walk(QAccessible::queryAccessibleInterface(date->Panel()), 0);
    EXPECT_TRUE(strays.isEmpty()) << strays.join(QStringLiteral("; ")).toStdString();
    QAccessibleInterface* handle = QAccessible::queryAccessibleInterface(menu);
    EXPECT_TRUE(handle->state().invisible) << "a menu's handle is never shown";
    date->ClosePanel();
}

TEST(Accessibility, AnOpenPanelIsAWindowReadAsWhatItHolds)
{
    QWidget window;
    auto* date = new quilDropDown(&window);
    date->setGeometry(0, 0, 160, 21);
    auto* fonts = new quilDropDown(&window);
    fonts->setGeometry(0, 40, 160, 21);
    fonts->setComboType(ctFontSelect);
    auto* label = new QLabel(QStringLiteral("&Font"), &window);
    label->setBuddy(fonts);
    window.show();

    date->OpenPanel();
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(date->Panel());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->role(), QAccessible::Table) << "the calendar's role";
    EXPECT_EQ(panel->text(QAccessible::Name), QStringLiteral("Date"));
    EXPECT_EQ(panel->window(), date->Panel()->windowHandle()) << "still a window of its own";
    EXPECT_FALSE(panel->state().invisible);
    ASSERT_EQ(panel->childCount(), 1);
    EXPECT_EQ(panel->child(0)->object(), date->Calendar());
    EXPECT_EQ(panel->indexOfChild(panel->child(0)), 0);
    date->ClosePanel();
    EXPECT_TRUE(panel->state().invisible);

    fonts->OpenPanel();
    panel = QAccessible::queryAccessibleInterface(fonts->Panel());
    EXPECT_EQ(panel->role(), QAccessible::List) << "the list's role";
    EXPECT_EQ(panel->text(QAccessible::Name), QStringLiteral("Font")) << "named as its box";
    ASSERT_EQ(panel->childCount(), 1);
    EXPECT_EQ(panel->child(0)->object(), fonts->List());
    fonts->ClosePanel();

    auto* colour = new quilDropDown(&window);
    colour->setComboType(ctColorPicker);
    colour->OpenPanel();
    panel = QAccessible::queryAccessibleInterface(colour->Panel());
    EXPECT_EQ(panel->role(), QAccessible::ColorChooser);
    EXPECT_EQ(panel->text(QAccessible::Name), QStringLiteral("Colour"));
    colour->ClosePanel();
}
