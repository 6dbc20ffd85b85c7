// quilTextBox: the character filter over every format, keys typed into the
// real field, pastes and drops through the filter, the context menu's
// entries against the clipboard (a masked field, a selection that went stale
// while the menu was open, a read-only field), persistence, the frame's
// pixels and what assistive technology is told.
#include "Helpers.h"
#include "TextBoxFixture.h"
#include "composite/quilPUMenu_p.h"

#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilTextBox.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace quil;
using quiltest::rgb;

namespace {

// The sample: a, A, ä, Ä, ß, 5, ".", "#", backspace, Enter, Ctrl+V.
const char16_t Sample[] = {u'a', u'A', u'ä', u'Ä', u'ß', u'5', u'.', u'#', 8, 13, 22};

// Worked by hand from the table of formats, one string per format, in the
// order of the sample; "0" marks a refused character, "B" backspace kept,
// "E" Enter kept, "V" Ctrl+V kept.
const char16_t* const Expected[17] = {
    u"aAäÄß5.#BEV",   // all characters
    u"aAäÄß000B00",   // letters
    u"00000500B00",   // digits
    u"00äÄß5.0B00",   // digits, signs, umlauts
    u"aAäÄß500B00",   // letters, digits
    u"aAäÄß5.0B00",   // letters, digits, signs
    u"AAÄÄß5.#BEV",   // all, upper case
    u"AAÄÄß000B00",
    u"AAÄÄß500B00",
    u"AAÄÄß5.0B00",
    u"aaääß5.#BEV",   // all, lower case
    u"aaääß000B00",
    u"aaääß500B00",
    u"aaääß5.0B00",
    u"aAäÄß0.0B00",   // letters and signs
    u"AAÄÄß0.0B00",
    u"aaääß0.0B00",
};

char16_t decode(char16_t e)
{
    switch (e) {
    case u'0': return 0;
    case u'B': return 8;
    case u'E': return 13;
    case u'V': return 22;
    default: return e;
    }
}

// Types characters as a keyboard does, Latin-1 ones beyond ASCII included
// (QTest's own typing knows ASCII only).
void type(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        const int key = c == QChar(0xDF) ? int(Qt::Key_ssharp) : int(c.toUpper().unicode());
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

void setClipboard(const QString& text) { QGuiApplication::clipboard()->setText(text); }
QString clipboard() { return QGuiApplication::clipboard()->text(); }

} // namespace

TEST(quilTextBoxFilter, EveryFormatOverTheSample)
{
    for (int f = 0; f <= 16; ++f)
        for (size_t i = 0; i < std::size(Sample); ++i)
            EXPECT_EQ(quilTextBox::FilterCharacter(Sample[i], f), char32_t(decode(Expected[f][i])))
                << "format " << f << " character " << int(Sample[i]);
    // Formats outside the enumeration accept nothing, not even backspace.
    for (int f : {-1, 17, 100})
        EXPECT_EQ(quilTextBox::FilterCharacter(8, f), 0u);
    // Class membership is exact: "ü" is an umlaut, "u" is no sign or digit,
    // and accented letters outside the classes are refused.
    EXPECT_EQ(quilTextBox::FilterCharacter(U'ü', df_NumAndChars), U'ü');
    EXPECT_EQ(quilTextBox::FilterCharacter(U'u', df_NumAndChars), 0u);
    EXPECT_EQ(quilTextBox::FilterCharacter(U'é', df_AlphaOnly), 0u);
    for (char32_t c : {3u, 24u, 9u, 27u})
        EXPECT_EQ(quilTextBox::FilterCharacter(c, df_NumAndAlphaChars), 0u) << int(c);
}

TEST(quilTextBoxFilter, PastedTextIsFilteredPerCharacter)
{
    quilTextBox box;
    box.setDataFormat(df_NumOnly);
    EXPECT_EQ(box.FilterText("12ab"), "12  ");
    EXPECT_EQ(box.FilterText("12ab", false), "12");
    box.setDataFormat(df_UCase);
    // The upper case of "ß" is itself, so the text keeps its length.
    EXPECT_EQ(box.FilterText(QString::fromUtf8("straße")), QString::fromUtf8("STRAßE"));
    // A line break, CR LF included, is one blank.
    EXPECT_EQ(box.FilterText("one\r\ntwo\nthree\rfour"), "ONE TWO THREE FOUR");
    // Characters beyond 16 bits stay whole.
    EXPECT_EQ(box.FilterText(QString::fromUtf8("x\U0001F600")), QString::fromUtf8("X\U0001F600"));
    box.setDataFormat(df_LCaseAlphaOnly);
    EXPECT_EQ(box.FilterText(QString::fromUtf8("ÄB\U0001F600")), QString::fromUtf8("äb "));
}

TEST(quilTextBoxKeys, TypedKeysGoThroughTheFilterAndKeyPress)
{
    Box b;
    b.box->setText("");
    b.box->setDataFormat(df_NumOnly);
    QList<int> presses;
    QObject::connect(b.box, &quilTextBox::KeyPress, [&](short& k) { presses << k; });
    QTest::keyClicks(&b.field(), "a5");
    EXPECT_EQ(b.box->Text(), "5");
    EXPECT_EQ(presses, (QList<int>{0, '5'}));
    QTest::keyClick(&b.field(), Qt::Key_Backspace);
    EXPECT_EQ(b.box->Text(), "") << "backspace still deletes";
    QTest::keyClick(&b.field(), Qt::Key_Return);
    EXPECT_EQ(presses.last(), 0) << "Enter is refused";

    b.box->setDataFormat(df_UCaseAlphaOnly);
    presses.clear();
    type(&b.field(), QString::fromUtf8("ä5ß"));
    EXPECT_EQ(b.box->Text(), QString::fromUtf8("Äß"));
    EXPECT_EQ(presses, (QList<int>{0xC4, 0, 0xDF}));

    // A handler may change the character, or cancel it.
    b.box->setText("");
    b.box->setDataFormat(df_AllChars);
    QObject::disconnect(b.box, &quilTextBox::KeyPress, nullptr, nullptr);
    QObject::connect(b.box, &quilTextBox::KeyPress, [](short& k) { k = k == 'x' ? 0 : k == 'y' ? 'Z' : k; });
    QTest::keyClicks(&b.field(), "xay");
    EXPECT_EQ(b.box->Text(), "aZ");

    QList<std::pair<int, int>> downs, ups;
    QObject::connect(b.box, &quilTextBox::KeyDown, [&](short& k, short& s) { downs << std::pair(int(k), int(s)); });
    QObject::connect(b.box, &quilTextBox::KeyUp, [&](short& k, short& s) { ups << std::pair(int(k), int(s)); });
    QTest::keyClick(&b.field(), Qt::Key_Left, Qt::ShiftModifier);
    // Shift (16), then Left (37) with Shift held.
    ASSERT_EQ(downs.size(), 2);
    EXPECT_EQ(downs[0].first, 16);
    EXPECT_EQ(downs[1], std::pair(37, 1));
    EXPECT_EQ(ups.size(), 2);
}

TEST(quilTextBoxKeys, AHandlerMayDeleteTheBox)
{
    QWidget host;
    for (int which = 0; which < 3; ++which) {
        QPointer<quilTextBox> box = new quilTextBox(&host);
        auto gone = [&] { delete box.data(); };
        if (which == 0)
            QObject::connect(box.data(), &quilTextBox::KeyDown, gone);
        else if (which == 1)
            QObject::connect(box.data(), &quilTextBox::KeyPress, gone);
        else
            QObject::connect(box.data(), &quilTextBox::KeyUp, gone);
        QPointer<QLineEdit> field = box->Field();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QApplication::sendEvent(field, &press);
        if (field) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
            QApplication::sendEvent(field, &release);
        }
        EXPECT_TRUE(box.isNull()) << which;
    }
}

TEST(quilTextBoxKeys, KeyboardPasteAndLockedField)
{
    Box b;
    b.box->setText("");
    b.box->setDataFormat(df_NumOnly);
    QList<int> presses;
    QObject::connect(b.box, &quilTextBox::KeyPress, [&](short& k) { presses << k; });
    setClipboard("12ab");
    QTest::keyClick(&b.field(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(b.box->Text(), "12  ");
    EXPECT_EQ(presses, QList<int>{0}) << "Ctrl+V is typed as 22 and refused as a character";
    b.box->setText("");
    QTest::keyClick(&b.field(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(b.box->Text(), "12  ");

    // Everything goes through, but a handler that refuses Ctrl+V stops the paste.
    b.box->setDataFormat(df_AllChars);
    b.box->setText("");
    setClipboard("line\none");
    QObject::connect(b.box, &quilTextBox::KeyPress, [](short& k) { k = k == 22 ? 0 : k; });
    QTest::keyClick(&b.field(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(b.box->Text(), "");
    QTest::keyClick(&b.field(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(b.box->Text(), "line one") << "the line break became a blank";

    b.box->setLocked(true);
    QTest::keyClicks(&b.field(), "abc");
    QTest::keyClick(&b.field(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(b.box->Text(), "line one");
}

TEST(quilTextBoxKeys, DropsAndInputMethodCommitsAreFiltered)
{
    Box b;
    b.box->setText("");
    b.box->setDataFormat(df_UCaseNumAndAlpha);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("straße 7!"));
    QApplication::sendEvent(&b.field(), &commit);
    EXPECT_EQ(b.box->Text(), QString::fromUtf8("STRAßE7")) << "refused characters of a commit are dropped";

    b.box->setText("");
    auto* data = new QMimeData;
    data->setText("ab\ncd#");
    const QPointF at(5, 5);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&b.field(), &enter);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&b.field(), &drop);
    EXPECT_EQ(b.box->Text(), "AB CD ");
    delete data;
}

TEST(quilTextBoxKeys, MiddleClickPastesTheSelectionFiltered)
{
    if (!QGuiApplication::clipboard()->supportsSelection())
        GTEST_SKIP() << "this platform has no primary selection";
    Box b;
    b.box->setText("");
    b.box->setDataFormat(df_NumOnly);
    QGuiApplication::clipboard()->setText("4x2", QClipboard::Selection);
    QTest::mouseClick(&b.field(), Qt::MiddleButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(b.box->Text(), "4 2");
}

// ------------------------------------------------------------ the context menu

TEST(quilTextBoxMenu, EntriesActOnTheSavedSelection)
{
    Box b;
    b.box->setText("Hello world");
    b.box->setSelStart(6);
    b.box->setSelLength(5);
    b.box->MouseDownNotify(2, 0, 5, 5);
    EXPECT_TRUE(b.box->MenuOpen());
    EXPECT_FALSE(b.field().isEnabled()) << "the field rests while the menu is open";
    EXPECT_TRUE(b.box->ContextMenu()->MenuVisible());
    EXPECT_EQ(b.box->ContextMenu()->Rows()->Count(), 6);
    b.box->MenuItemClick("b");
    EXPECT_EQ(clipboard(), "world");
    b.box->MenuItemClick("a");
    EXPECT_EQ(b.box->Text(), "Hello ");
    b.box->ContextMenu()->KillMenu();
    quilPUMenuPrivate::of(b.box->ContextMenu()).FocusTick();
    EXPECT_FALSE(b.box->MenuOpen());
    EXPECT_TRUE(b.field().isEnabled());
    EXPECT_EQ(std::tuple(b.box->SelStart(), b.box->SelLength()), std::tuple(6, 0));

    // Paste into a digits-only field replaces the selection; the caret follows it.
    b.box->setText("a-b");
    b.box->setDataFormat(df_NumOnly);
    b.box->setSelStart(1);
    b.box->setSelLength(1);
    setClipboard("12ab");
    b.box->MouseDownNotify(2, 0, 5, 5);
    b.box->MenuItemClick("c");
    b.box->MenuClosed();
    EXPECT_EQ(b.box->Text(), "a12  b");
    EXPECT_EQ(std::tuple(b.box->SelStart(), b.box->SelLength()), std::tuple(5, 0));

    // Cut with nothing selected puts an empty text there and leaves the text.
    b.box->MouseDownNotify(2, 0, 5, 5);
    b.box->MenuItemClick("a");
    EXPECT_EQ(clipboard(), "");
    EXPECT_EQ(b.box->Text(), "a12  b");
    b.box->MenuItemClick("f");
    b.box->MenuClosed();
    EXPECT_EQ(std::tuple(b.box->SelStart(), b.box->SelLength()), std::tuple(0, 6));
    b.box->MouseDownNotify(2, 0, 5, 5);
    b.box->MenuItemClick("d");
    b.box->MenuClosed();
    EXPECT_EQ(b.box->Text(), "");
}

TEST(quilTextBoxMenu, UpperCasePasteKeepsSharpS)
{
    Box b;
    b.box->setText("");
    b.box->setDataFormat(df_UCase);
    setClipboard(QString::fromUtf8("straße"));
    b.box->MouseDownNotify(2, 0, 5, 5);
    b.box->MenuItemClick("c");
    b.box->MenuClosed();
    EXPECT_EQ(b.box->Text(), QString::fromUtf8("STRAßE"));
}

TEST(quilTextBoxMenu, AMaskedFieldNeverReachesTheClipboard)
{
    Box b;
    b.box->setText("secret");
    b.box->setPasswordChar("*");
    b.box->setSelStart(0);
    b.box->setSelLength(6);
    setClipboard("before");
    b.box->MouseDownNotify(2, 0, 5, 5);
    b.box->MenuItemClick("b");
    b.box->MenuItemClick("a");
    b.box->MenuClosed();
    EXPECT_EQ(clipboard(), "before");
    EXPECT_EQ(b.box->Text(), "secret") << "nothing removed that could not be put anywhere";
    // Nor through the keyboard.
    b.box->setSelStart(0);
    b.box->setSelLength(6);
    QTest::keyClick(&b.field(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&b.field(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), "before");
    EXPECT_EQ(b.box->Text(), "secret");
}

TEST(quilTextBoxMenu, AStaleSelectionIsClampedBeforeActing)
{
    Box b;
    b.box->setText("abcdefgh");
    b.box->setSelStart(5);
    b.box->setSelLength(3);
    b.box->MouseDownNotify(2, 0, 5, 5);
    // The host shortens the text while the menu is open.
    b.box->setText("abc");
    b.box->MenuItemClick("b");
    EXPECT_EQ(clipboard(), "");
    b.box->MenuItemClick("d");
    EXPECT_EQ(b.box->Text(), "abc");
    setClipboard("XY");
    b.box->MenuItemClick("c");
    EXPECT_EQ(b.box->Text(), "abcXY") << "pasted at the end, where the selection was clamped to";
    b.box->MenuClosed();
    EXPECT_EQ(b.box->SelStart(), 5);

    b.box->setText("abcdef");
    b.box->setSelStart(2);
    b.box->setSelLength(4);
    b.box->MouseDownNotify(2, 0, 5, 5);
    b.box->setText("abcd");
    b.box->MenuItemClick("a");
    EXPECT_EQ(clipboard(), "cd");
    EXPECT_EQ(b.box->Text(), "ab");
    b.box->MenuClosed();
}

TEST(quilTextBoxMenu, ALockedFieldsMenuShowsEditingEntriesDisabled)
{
    Box b;
    b.box->setText("fixed");
    b.box->setLocked(true);
    b.box->setSelStart(0);
    b.box->setSelLength(5);
    b.box->MouseDownNotify(2, 0, 5, 5);
    quilPUMenu* m = b.box->ContextMenu();
    QList<bool> selectable;
    for (const auto& r : *m->Rows())
        selectable << r->Selectable();
    // Cut, Copy, Paste, Delete, the separator, Select all.
    EXPECT_EQ(selectable, (QList<bool>{false, true, false, false, false, true}));
    // The disabled captions are drawn in the disabled text colour, blended
    // 140/255 toward white from the fore colour (0, 0, 192): (140, 140, 227),
    // so no pixel of them is darker in red than 140; the enabled ones are
    // (0, 0, 87).
    const QImage face = m->MenuFace();
    auto darkest = [&](int top, int h) {
        int red = 255;
        for (int y = top; y < top + h; ++y)
            for (int x = 18; x < face.width() - 3; ++x)
                red = std::min(red, qRed(face.pixel(x, y)));
        return red;
    };
    const auto cut = m->Rows()->Item(1), copy = m->Rows()->Item(2);
    const int greyed = darkest(cut->Top(), cut->Height());
    EXPECT_GE(greyed, 140);
    EXPECT_LT(greyed, 200) << "the caption is drawn";
    EXPECT_LT(darkest(copy->Top(), copy->Height()), 60);
    // The pointer over Cut highlights nothing; a click picks nothing.
    int picks = 0;
    QObject::connect(m, &quilPUMenu::ItemClick, [&](short&, QString&) { ++picks; });
    quilPUMenuPrivate::of(m).MenuMouseMove(float(cut->Top() + 5));
    EXPECT_EQ(m->HoverRow(), 0);
    quilPUMenuPrivate::of(m).MenuClick();
    EXPECT_EQ(picks, 0);
    // Even asked directly, the entries leave the text alone.
    setClipboard("zz");
    b.box->MenuItemClick("a");
    b.box->MenuItemClick("c");
    b.box->MenuItemClick("d");
    EXPECT_EQ(b.box->Text(), "fixed");
    b.box->MenuItemClick("b");
    EXPECT_EQ(clipboard(), "fixed") << "copying from a read-only field is fine";
    quilPUMenuPrivate::of(m).FocusTick();
    EXPECT_FALSE(b.box->MenuOpen());
}

TEST(quilTextBoxMenu, AutoSelectDoesNotReplaceTheRestoredSelection)
{
    Box b;
    b.box->setAutoSelect(true);
    b.box->setText("abcdef");
    b.box->setSelStart(1);
    b.box->setSelLength(2);
    b.box->MouseDownNotify(2, 0, 5, 5);
    b.box->MenuClosed();
    EXPECT_EQ(std::tuple(b.box->SelStart(), b.box->SelLength()), std::tuple(1, 2));
}

// ------------------------------------------------------------ properties, face, persistence

TEST(quilTextBoxLook, FrameFaceAndHeight)
{
    Box b;
    EXPECT_EQ(b.box->ID(), 13);
    // The box is as high as its text plus the frame: "I" is 13 high in DejaVu Sans 8.
    EXPECT_EQ(b.box->height(), 13 + 4);
    EXPECT_EQ(b.field().geometry(), QRect(2, 2, 116, 13));
    // Scheme of white and (0, 0, 192): FaceTop (230, 230, 249), EdgeStart
    // (220, 220, 246) at the start of the top line, EdgeEnd (120, 120, 222)
    // along the bottom.
    EXPECT_EQ(quiltest::at(*b.box, 0, 0), rgb(230, 230, 249)) << "the corner keeps the face";
    EXPECT_EQ(quiltest::at(*b.box, 1, 0), rgb(220, 220, 246));
    EXPECT_EQ(quiltest::at(*b.box, 0, 1), rgb(220, 220, 246));
    EXPECT_EQ(quiltest::at(*b.box, 1, 16), rgb(120, 120, 222));
    EXPECT_EQ(quiltest::at(*b.box, 118, 16), rgb(120, 120, 222));
    EXPECT_EQ(quiltest::at(*b.box, 119, 16), rgb(230, 230, 249));
    EXPECT_EQ(b.field().palette().color(QPalette::Base), QColor(230, 230, 249));
    EXPECT_EQ(b.field().palette().color(QPalette::Text), QColor(0, 0, 87));
    b.box->setEnabled(false);
    EXPECT_EQ(b.field().palette().color(QPalette::Disabled, QPalette::Text), QColor(120, 120, 222));
    // A bigger font makes a higher box.
    b.box->setFont(QFont("DejaVu Sans", 16));
    EXPECT_GT(b.box->sizeHint().height(), 17);
    EXPECT_EQ(b.field().height(), b.box->sizeHint().height() - 4);
}

TEST(quilTextBoxLook, PropertiesReachTheField)
{
    quilTextBox box;
    EXPECT_EQ(box.Text(), "Dummy Text");
    box.setText("abcdef");
    box.setSelStart(2);
    box.setSelLength(3);
    box.setMaxLength(4);
    EXPECT_EQ(box.Text(), "abcdef") << "a limit never cuts the text already there";
    EXPECT_EQ(std::tuple(box.SelStart(), box.SelLength()), std::tuple(2, 3));
    box.setMaxLength(0);
    box.setText(QString(40000, 'x'));
    EXPECT_EQ(box.Text().size(), 40000) << "0 is no limit";
    box.setAlignment(2);
    EXPECT_TRUE(box.Field()->alignment() & Qt::AlignHCenter);
    box.setPasswordChar("#");
    EXPECT_EQ(box.Field()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(box.Field()->displayText().left(2), "##");
    box.setPasswordChar("");
    EXPECT_EQ(box.Field()->echoMode(), QLineEdit::Normal);
    box.setDataFormat(df_NumOnly);
    box.setText("abc");
    EXPECT_EQ(box.Text(), "abc") << "text set from code is not filtered";
    box.setTextCut("Ausschneiden");
    EXPECT_EQ(box.ContextMenu()->MenuItem()->Item("a")->Caption(), "Ausschneiden");
    box.setSelectionColor(0x00FF00);
    EXPECT_EQ(box.ContextMenu()->SelectionColor(), 0x00FF00u);
}

TEST(quilTextBoxLook, SaveAndLoad)
{
    quilTextBox a;
    quiltest::RecordingBag bag;
    a.WriteProperties(bag);
    EXPECT_EQ(bag.values.value("Text"), QVariant("Dummy Text"));
    // The caret stands behind the new text, as the field puts it.
    EXPECT_EQ(bag.values.value("SelStart").toInt(), 10);
    EXPECT_EQ(bag.values.size(), 2) << "everything else is at its default";

    a.setText("Grüße");
    a.setSelStart(1);
    a.setSelLength(3);
    a.setPasswordChar("*");
    a.setDataFormat(df_UCaseAlphaOnly);
    a.setLocked(true);
    a.setAlignment(1);
    a.setSelectionColor(0x123456);
    a.setTextSelectAll("Alles");
    a.setMaxLength(9);
    quiltest::RecordingBag saved;
    a.WriteProperties(saved);
    quilTextBox b;
    b.ReadProperties(saved);
    for (const char* p : {"Text", "SelStart", "SelLength", "PasswordChar", "DataFormat", "Locked", "Alignment",
                          "SelectionColor", "textSelectAll", "MaxLength"})
        EXPECT_EQ(b.property(p), a.property(p)) << p;
    EXPECT_EQ(b.ContextMenu()->SelectionColor(), 0x123456u) << "the loaded colour reaches the menu at once";

    // A stored box without a Text shows "Text1"; values a setter refuses load soundly.
    quiltest::RecordingBag odd;
    odd.values["Alignment"] = 7;
    odd.values["PasswordChar"] = "ab";
    odd.values["SelStart"] = 99;
    odd.values["MaxLength"] = -4;
    quilTextBox c;
    c.ReadProperties(odd);
    EXPECT_EQ(c.Text(), "Text1");
    EXPECT_EQ(c.Alignment(), 0);
    EXPECT_EQ(c.PasswordChar(), "a");
    EXPECT_EQ(c.SelStart(), 5);
    EXPECT_EQ(c.MaxLength(), 0);
}

TEST(quilTextBoxLook, AssistiveTechnologyHearsAnEditableTextAndItsFilter)
{
    Box b;
    b.box->setDataFormat(df_NumOnly);
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(b.box);
    ASSERT_TRUE(box);
    // The field is the one editable text; the box only groups it.
    EXPECT_EQ(box->role(), QAccessible::Grouping);
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(&b.field());
    ASSERT_TRUE(field);
    EXPECT_EQ(field->role(), QAccessible::EditableText);
    EXPECT_EQ(field->text(QAccessible::Description), "Accepts digits only");
    b.box->setDataFormat(df_UCase);
    EXPECT_EQ(field->text(QAccessible::Description), "Accepts any character, in upper case");
}

// ------------------------------------------------------------ as Qt programs use it
