// What a screen reader finds in a control: names, values, children.
#include "A11y.h"
#include "DropDownFixture.h"

#include "composite/quilDropDown_p.h"
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

TEST(Accessibility, AListShowsEveryEntryAsTheSameRowWhereverItIsScrolled)
{
    QWidget window;
    quilListbox* list = nineRowList(&window, 36);
    window.resize(200, 300);
    window.show();
    ASSERT_EQ(list->VisibleRows(), 9);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
    ASSERT_EQ(a->childCount(), 36) << "every entry, not the rows on screen";
    QAccessibleTableInterface* table = a->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 36);
    EXPECT_EQ(table->columnCount(), 1);

    QAccessibleInterface* far = a->child(29);
    ASSERT_NE(far, nullptr);
    const QAccessible::Id id = QAccessible::uniqueId(far);
    EXPECT_EQ(far->text(QAccessible::Name), QStringLiteral("Item 30"));
    EXPECT_TRUE(far->state().offscreen);
    EXPECT_TRUE(far->state().invisible);
    EXPECT_TRUE(far->rect().isEmpty()) << "no place on screen for a row scrolled away";
    EXPECT_FALSE(a->child(0)->state().offscreen);
    EXPECT_TRUE(QRect(list->mapToGlobal(QPoint()), list->size()).contains(a->child(0)->rect()));
    ASSERT_NE(far->tableCellInterface(), nullptr);
    EXPECT_EQ(far->tableCellInterface()->rowIndex(), 29);
    EXPECT_EQ(table->cellAt(29, 0), far);

    list->setSelectedItem(30);
    EXPECT_EQ(a->child(29), far) << "scrolling keeps the entry's object";
    EXPECT_EQ(QAccessible::uniqueId(a->child(29)), id);
    EXPECT_EQ(far->text(QAccessible::Name), QStringLiteral("Item 30"));
    EXPECT_FALSE(far->state().offscreen);
    EXPECT_TRUE(far->state().selected);
    EXPECT_TRUE(a->child(0)->state().offscreen);
    EXPECT_EQ(table->selectedRows(), QList<int>({29}));
    EXPECT_TRUE(table->isRowSelected(list->SelectedItem() - 1));
    EXPECT_EQ(table->selectedCells(), QList<QAccessibleInterface*>({far}));

    // A removal earlier in the list moves the entry up without renaming it.
    QAccessibleInterface* first = a->child(0);
    const QAccessible::Id firstId = QAccessible::uniqueId(first);
    list->ListboxItems()->Remove(1);
    EXPECT_EQ(QAccessible::accessibleInterface(firstId), nullptr) << "the removed entry's object goes with it";
    EXPECT_EQ(a->childCount(), 35);
    EXPECT_EQ(a->child(28), far);
    EXPECT_EQ(a->indexOfChild(far), 28);
    EXPECT_EQ(far->tableCellInterface()->rowIndex(), 28);
    EXPECT_EQ(far->text(QAccessible::Name), QStringLiteral("Item 30"));
    EXPECT_EQ(a->child(0)->text(QAccessible::Name), QStringLiteral("Item 2"));

    const QAccessible::Id secondId = QAccessible::uniqueId(a->child(0));
    list->ListboxItems()->Clear();
    EXPECT_EQ(a->childCount(), 0);
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(secondId), nullptr);

    list->ListboxItems()->Add(QString(), QStringLiteral("Last"));
    const QAccessible::Id lastId = QAccessible::uniqueId(a->child(0));
    delete list;
    EXPECT_EQ(QAccessible::accessibleInterface(lastId), nullptr) << "a deleted list leaves no rows behind";
}

TEST(Accessibility, ADropDownsListPanelShowsAllItsEntries)
{
    FixedSystem system;
    system.fonts.clear();
    for (int i = 1; i <= 30; ++i)
        system.fonts << QStringLiteral("Font %1").arg(i, 2, 10, QLatin1Char('0'));
    QWidget window;
    auto* box = new quilDropDown(&window);
    box->setGeometry(0, 0, 160, 21);
    box->setComboType(ctFontSelect);
    window.show();
    box->OpenPanel();
    quilListbox* list = quilDropDownPrivate::of(box).list;
    ASSERT_NE(list, nullptr);
    ASSERT_LT(list->VisibleRows(), 30);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
    ASSERT_EQ(a->childCount(), 30);
    QAccessibleInterface* last = a->child(29);
    EXPECT_EQ(last->text(QAccessible::Name), QStringLiteral("Font 30"));
    EXPECT_TRUE(last->state().offscreen);
    list->setSelectedItem(30);
    EXPECT_EQ(a->child(29), last);
    EXPECT_FALSE(last->state().offscreen);
    box->ClosePanel();
}

TEST(Accessibility, ACalendarIsATableOfDaysUnderTheWeekdaysItPrints)
{
    QWidget window;
    auto* cal = new quilMonthview(&window);
    cal->setIYear(2024);
    cal->setIMonth(2);
    cal->setIDay(29);
    window.show();
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(cal);
    EXPECT_EQ(a->role(), QAccessible::Table);
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("February 2024"));
    QAccessibleTableInterface* table = a->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnCount(), 7);
    QStringList headers;
    for (int c = 0; c < 7; ++c)
        headers << table->columnDescription(c);
    EXPECT_EQ(headers, QStringList({"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"}));

    // The 1st of February 2024 was a Thursday: the 29th is in the fifth row, fourth column.
    QAccessibleInterface* leap = table->cellAt(4, 3);
    ASSERT_NE(leap, nullptr);
    EXPECT_EQ(leap->text(QAccessible::Name), QStringLiteral("29"));
    EXPECT_EQ(leap, childNamed(cal, QStringLiteral("29"), QAccessible::Cell));
    QAccessibleTableCellInterface* cell = leap->tableCellInterface();
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->rowIndex(), 4);
    EXPECT_EQ(cell->columnIndex(), 3);
    EXPECT_TRUE(cell->isSelected());
    EXPECT_TRUE(leap->state().selected);
    ASSERT_EQ(cell->columnHeaderCells().size(), 1);
    EXPECT_EQ(cell->columnHeaderCells().first()->text(QAccessible::Name), QStringLiteral("Th"));
    EXPECT_EQ(cell->columnHeaderCells().first()->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(table->cellAt(0, 0), nullptr) << "the Monday before the 1st shows no day";
    EXPECT_EQ(table->selectedCells(), QList<QAccessibleInterface*>({leap}));
    EXPECT_TRUE(QRect(cal->mapToGlobal(QPoint()), cal->size()).contains(leap->rect()));

    cal->setWeekdayName(QStringLiteral("Mo,Di,Mi,Do,Fr,Sa,So"));
    cal->setMonthName(QStringLiteral("Januar,Februar,März,April,Mai,Juni,Juli,August,September,Oktober,November,"
                                     "Dezember"));
    EXPECT_EQ(a->text(QAccessible::Name), QStringLiteral("Februar 2024")) << "in the names the face prints";
    EXPECT_EQ(table->columnDescription(3), QStringLiteral("Do"));
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
    int visited = 0;
    std::function<void(QAccessibleInterface*, int)> walk = [&](QAccessibleInterface* a, int depth) {
        for (int i = 0; i < a->childCount() && depth < 12; ++i) {
            QAccessibleInterface* c = a->child(i);
            if (!c)
                continue;
            ++visited;
            const QRect r = c->rect();
            const bool blank = c->role() == QAccessible::Client || c->role() == QAccessible::NoRole;
            // A blank object a user can meet stands for nothing: a hidden
            // handle, or a control that draws nothing.
            if (blank && (!c->state().invisible || r.size() == QSize(47, 47) || !a->rect().contains(r)))
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
    const int inWindow = visited;
    walk(QAccessible::queryAccessibleInterface(date->Panel()), 0);
    // The walks reach every control made here and, below them, a month's days.
    EXPECT_GE(inWindow, 13 + 28) << "the window's controls and the calendar's days";
    EXPECT_GE(visited - inWindow, 28) << "the panel's calendar and its days";
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
    EXPECT_TRUE(panel->text(QAccessible::Name).endsWith(QString::number(date->Calendar()->iYear())))
        << "named as the calendar it holds, by month and year";
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
