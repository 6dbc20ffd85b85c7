// What assistive technology may write into a control, and what it may not.
#include "A11y.h"

#include <quilObjects/quilTextBox.h>
#include <QAccessibleEditableTextInterface>
#include <QLineEdit>

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

// Text a screen reader writes is text typed: the filter, the limit and
// Locked hold, and the field tells its change as it does for typing.
TEST(Accessibility, TextWrittenThroughTheTextInterfaceGoesThroughTheBoxsFilter)
{
    QWidget window;
    auto* box = new quilTextBox(&window);
    box->setGeometry(0, 0, 150, 24);
    window.show();
    box->setText(QString());
    box->setDataFormat(df_NumOnly);
    box->setMaxLength(5);
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(box->Field());
    ASSERT_NE(field, nullptr);
    QAccessibleEditableTextInterface* edit = field->editableTextInterface();
    ASSERT_NE(edit, nullptr);
    QStringList edited;
    QObject::connect(box->Field(), &QLineEdit::textEdited, [&](const QString& t) { edited << t; });
    Listener screenReader;

    edit->insertText(0, QStringLiteral("1a2"));
    EXPECT_EQ(box->Text(), QStringLiteral("12")) << "a refused character is dropped";
    EXPECT_EQ(edited, QStringList({"12"})) << "the box's change is raised as typing raises it";
    EXPECT_GE(screenReader.count(box->Field(), QAccessible::TextInserted), 1);

    edit->replaceText(1, 2, QStringLiteral("x9999\n9"));
    EXPECT_EQ(box->Text(), QStringLiteral("19999")) << "the limit counts what the write replaces";
    edit->insertText(5, QStringLiteral("7"));
    EXPECT_EQ(box->Text(), QStringLiteral("19999")) << "a full box takes no more";
    edit->insertText(99, QString());
    EXPECT_EQ(box->Text(), QStringLiteral("19999"));

    field->setText(QAccessible::Value, QStringLiteral("4-2"));
    EXPECT_EQ(box->Text(), QStringLiteral("42")) << "a whole new value is filtered too";
    edit->deleteText(0, 1);
    EXPECT_EQ(box->Text(), QStringLiteral("2"));

    box->setDataFormat(df_UCaseAlphaOnly);
    edit->insertText(1, QStringLiteral("ab3ß"));
    EXPECT_EQ(box->Text(), QStringLiteral("2ABß")) << "the filter's case is applied";
    EXPECT_EQ(edited.size(), 5);

    box->setLocked(true);
    EXPECT_TRUE(field->state().readOnly);
    EXPECT_FALSE(field->state().editable);
    edit->insertText(0, QStringLiteral("C"));
    edit->deleteText(0, 2);
    edit->replaceText(0, 1, QStringLiteral("D"));
    field->setText(QAccessible::Value, QStringLiteral("E"));
    EXPECT_EQ(box->Text(), QStringLiteral("2ABß")) << "a locked box takes no writes";
    EXPECT_EQ(edited.size(), 5);
}
