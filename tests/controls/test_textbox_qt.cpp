// quilTextBox as a Qt program meets it: property writes from Designer,
// uic and scripts that are refused rather than thrown, a host that trimmed
// the menu, MaxLength that never cuts text, either order of a form's
// properties, keys that go on to the dialog, and the height a layout gives.
#include "Helpers.h"
#include "TextBoxFixture.h"

#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilTextBox.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace quil;

namespace {

// Collects the warnings a block of code prints.
struct Warnings {
    static inline QStringList seen;
    QtMessageHandler previous;
    Warnings()
    {
        seen.clear();
        previous = qInstallMessageHandler([](QtMsgType t, const QMessageLogContext&, const QString& m) {
            if (t == QtWarningMsg)
                seen << m;
        });
    }
    ~Warnings() { qInstallMessageHandler(previous); }
};

// Types one character into the field through Qt's key events.
void type(QLineEdit& f, char c) { QTest::keyClick(&f, c); }

} // namespace

TEST(quilTextBoxQt, RefusedWritesWarnNameThePropertyAndKeepTheOldValue)
{
    quilTextBox box;
    box.setText("abcdef");
    box.setMaxLength(3);
    box.setAlignment(1);
    box.setSelStart(2);
    box.setSelLength(2);
    box.setPasswordChar("*");
    Warnings w;
    const std::pair<const char*, QVariant> bad[] = {
        {"MaxLength", -1}, {"Alignment", 7}, {"SelStart", -1}, {"SelLength", -5}, {"PasswordChar", "ab"}};
    for (const auto& [name, value] : bad)
        EXPECT_NO_THROW(box.setProperty(name, value)) << name;
    // Straight C++ calls refuse the same way.
    EXPECT_NO_THROW(box.setMaxLength(-1));
    EXPECT_EQ(box.MaxLength(), 3);
    EXPECT_EQ(box.Alignment(), 1);
    EXPECT_EQ(box.SelStart(), 2);
    EXPECT_EQ(box.SelLength(), 2);
    EXPECT_EQ(box.PasswordChar(), "*");
    ASSERT_EQ(Warnings::seen.size(), 6);
    EXPECT_TRUE(Warnings::seen[0].contains("MaxLength") && Warnings::seen[0].contains("-1")) << Warnings::seen[0].toStdString();
    EXPECT_TRUE(Warnings::seen[4].contains("PasswordChar") && Warnings::seen[4].contains("ab"));
}

TEST(quilTextBoxQt, ARightClickAfterTheHostTrimmedTheMenuNeitherThrowsNorCrashes)
{
    Box b;
    b.box->setText("hello");
    b.box->ContextMenu()->MenuItem()->Remove(QStringLiteral("a"));
    b.box->ContextMenu()->MenuItem()->Remove(QStringLiteral("c"));
    EXPECT_NO_THROW(b.box->MouseDownNotify(2, 0, 5, 5));
    EXPECT_TRUE(b.box->MenuOpen());
    b.box->ContextMenu()->KillMenu();
    b.box->MenuClosed();
    EXPECT_NO_THROW(b.box->setTextCut("Weg")) << "a caption for a removed entry goes nowhere";
    EXPECT_EQ(b.box->ContextMenu()->MenuItem()->Item("b")->Caption(), "Copy");

    b.box->ContextMenu()->setMenuItem(nullptr);
    EXPECT_NO_THROW(b.box->MouseDownNotify(2, 0, 5, 5));
    b.box->ContextMenu()->KillMenu();
    b.box->MenuClosed();
    EXPECT_NO_THROW(b.box->setTextCopy("Kopie"));
    EXPECT_TRUE(b.field().isEnabled());
}

TEST(quilTextBoxQt, MaxLengthLimitsTypingAndPastingButNeverCutsText)
{
    Box b;
    b.box->setText("abcdef");
    b.box->setMaxLength(4);
    EXPECT_EQ(b.box->Text(), "abcdef") << "text already there stays";
    b.field().setCursorPosition(6);
    type(b.field(), 'x');
    EXPECT_EQ(b.box->Text(), "abcdef") << "a full box takes no more typing";
    QGuiApplication::clipboard()->setText("123");
    b.field().setCursorPosition(6);
    QTest::keyClick(&b.field(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(b.box->Text(), "abcdef");
    // Backspace still works, and then there is room for exactly what fits.
    QTest::keyClick(&b.field(), Qt::Key_Backspace);
    QTest::keyClick(&b.field(), Qt::Key_Backspace);
    QTest::keyClick(&b.field(), Qt::Key_Backspace);
    EXPECT_EQ(b.box->Text(), "abc");
    QTest::keyClick(&b.field(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(b.box->Text(), "abc1") << "a paste is cut to what fits";
    // Typing over a selection replaces it within the limit.
    b.field().setSelection(0, 2);
    type(b.field(), 'z');
    EXPECT_EQ(b.box->Text(), "zc1");
    // The context menu's paste keeps the limit too.
    b.box->setSelStart(3);
    b.box->MouseDownNotify(2, 0, 5, 5);
    b.box->MenuItemClick("c");
    b.box->ContextMenu()->KillMenu();
    b.box->MenuClosed();
    EXPECT_EQ(b.box->Text(), "zc11");
    // Text set from code is never cut.
    b.box->setText("a much longer text");
    EXPECT_EQ(b.box->Text(), "a much longer text");
}

TEST(quilTextBoxQt, AFormsTextLongerThanItsMaxLengthLoadsWholeInEitherOrder)
{
    quiltest::RecordingBag bag;
    bag.values["Text"] = "0123456789";
    bag.values["MaxLength"] = 4;
    quilTextBox loaded;
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.Text(), "0123456789");
    EXPECT_EQ(loaded.MaxLength(), 4);
    // Designer's order and its reverse, through the meta-object.
    quilTextBox first, second;
    first.setProperty("MaxLength", 4);
    first.setProperty("Text", "0123456789");
    second.setProperty("Text", "0123456789");
    second.setProperty("MaxLength", 4);
    EXPECT_EQ(first.Text(), "0123456789");
    EXPECT_EQ(second.Text(), "0123456789");
}

TEST(quilTextBoxQt, PropertiesReachTheSameStateInDesignersOrderAndItsReverse)
{
    const quiltest::PropertyWrites props = {
        {"BackColor", QVariant::fromValue<quint32>(0x102030)}, {"ForeColor", QVariant::fromValue<quint32>(0x405060)},
        {"Alignment", 2}, {"Text", "Grüße aus Köln"}, {"AutoSelect", true}, {"SelStart", 3}, {"SelLength", 4},
        {"PasswordChar", "#"}, {"RightToLeft", true}, {"Locked", true}, {"DataFormat", int(df_UCase)},
        {"SelectionColor", QVariant::fromValue<quint32>(0x00FF00)}, {"textCut", "Schneiden"},
        {"textSelectAll", "Alles"}, {"MaxLength", 5}};
    quilTextBox forward, backward;
    quiltest::ExpectSameFormEitherOrder(props, forward, backward);
    EXPECT_EQ(forward.Text(), "Grüße aus Köln");
    EXPECT_EQ(backward.SelStart(), 3);
    EXPECT_EQ(backward.SelLength(), 4);
}

TEST(quilTextBoxQt, EnumerationAndDesignerNamesAreSound)
{
    quilTextBox box;
    // A value outside DataFormats is kept and, as the table says, lets nothing through.
    EXPECT_TRUE(box.setProperty("DataFormat", 99));
    EXPECT_EQ(int(box.DataFormat()), 99);
    EXPECT_EQ(box.KeyFilter('a'), 0);
    // uic calls the setter by the property's name with a capital: setTextCut.
    const QMetaObject* mo = box.metaObject();
    for (const char* p : {"textCut", "textCopy", "textPaste", "textDelete", "textSelectAll"}) {
        const QMetaProperty prop = mo->property(mo->indexOfProperty(p));
        EXPECT_TRUE(prop.isWritable()) << p;
    }
    box.setTextDelete("Löschen");
    EXPECT_EQ(box.textDelete(), "Löschen");
}

TEST(quilTextBoxQt, EscapeAndEnterGoOnToTheDialogUnlessKeyDownTookThem)
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* box = new quilTextBox(&dialog);
    auto* ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    layout->addWidget(box);
    layout->addWidget(ok);
    QSignalSpy clicked(ok, &QPushButton::clicked);
    dialog.show();
    box->Field()->setFocus();
    QTest::keyClick(box->Field(), Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 1) << "Enter presses the default button";
    dialog.show();
    box->Field()->setFocus();
    QTest::keyClick(box->Field(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible()) << "Escape closes the dialog";

    dialog.show();
    box->Field()->setFocus();
    QObject::connect(box, &quilTextBox::KeyDown, [](short& code, short&) { code = 0; });
    QTest::keyClick(box->Field(), Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible()) << "a handler that zeroed the key took it";
    // Characters the box types stay in the box.
    QTest::keyClick(box->Field(), Qt::Key_A);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(quilTextBoxQt, ALayoutGivesItsHeightAndTheBoxKeepsAnySizeGiven)
{
    QWidget host;
    auto* box = new quilTextBox(&host);
    box->setFont(QFont("DejaVu Sans", 8));
    EXPECT_EQ(box->sizeHint().height(), 13 + 4);
    EXPECT_EQ(box->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    EXPECT_GE(box->minimumSizeHint().width(), 1);
    // A container that gives another size gets a box drawn at that size.
    box->setGeometry(0, 0, 150, 40);
    host.show();
    QApplication::processEvents();
    EXPECT_EQ(box->size(), QSize(150, 40));
    EXPECT_EQ(box->Face().size(), QSize(150, 40));
    box->setFont(QFont("DejaVu Sans", 16));
    EXPECT_EQ(box->height(), 40) << "a new font changes the hint, not the geometry";
}

TEST(quilTextBoxQt, APasswordCharacterUnderAnApplicationStyleSheet)
{
    // A style sheet wraps every widget's style in one of Qt's own: the box
    // must neither take that one for its own nor keep it when it goes.
    const QPointer<QStyle> appStyle = QApplication::style();
    const QString before = qApp->styleSheet();
    qApp->setStyleSheet(QStringLiteral("QWidget { background: #202124; color: #e8eaed; }"));
    auto restore = qScopeGuard([&] { qApp->setStyleSheet(before); });
    {
        QWidget form;
        auto* box = new quilTextBox(&form);
        box->setText(QStringLiteral("abc"));
        box->setPasswordChar(QStringLiteral("#"));
        form.show();
        QLineEdit* field = box->Field();
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->displayText(), QStringLiteral("###"));
        box->setPasswordChar(QString());
        EXPECT_EQ(field->displayText(), QStringLiteral("abc"));
    }
    QLineEdit after;
    after.show();
    ASSERT_FALSE(appStyle.isNull()) << "the application's style outlived the box";
    restore.dismiss();
    qApp->setStyleSheet(before);
    EXPECT_EQ(QApplication::style(), appStyle.data()) << "the sheet gone, the application's style is the one before";
    EXPECT_EQ(after.style(), appStyle.data()) << "and a widget is back on it";
}
