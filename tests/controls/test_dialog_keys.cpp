// Keys in a dialog, through the window as a user types them: a control takes
// only the keys it uses; Escape and Enter go on, so that Escape closes the
// dialog and Enter presses its default button.
#include "Helpers.h"

#include <quilObjects/quilButton.h>
#include <quilObjects/quilColorPicker.h>
#include <quilObjects/quilLabel.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilToolbar.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilScrollBar.h>
#include <quilObjects/quilSlider.h>

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace quil;

namespace {

struct KeyDialog {
    QDialog dialog;
    QPushButton* ok = nullptr;
    int pressed = 0;

    explicit KeyDialog(quilControl* (*make)(QWidget*))
    {
        auto* layout = new QVBoxLayout(&dialog);
        control = make(&dialog);
        layout->addWidget(control);
        ok = new QPushButton(QStringLiteral("OK"), &dialog);
        ok->setAutoDefault(false);
        ok->setDefault(true);
        layout->addWidget(ok);
        QObject::connect(ok, &QPushButton::clicked, [this] { ++pressed; });
        dialog.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        control->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(control->hasFocus());
    }
    void type(Qt::Key key) { QTest::keyClick(dialog.windowHandle(), key); }
    quilControl* control = nullptr;
};

quilControl* makeSlider(QWidget* p) { return new quilSlider(p); }
quilControl* makeScrollBar(QWidget* p) { return new quilScrollBar(p); }
quilControl* makeButton(QWidget* p) { return new quilButton(p); }
quilControl* makeList(QWidget* p)
{
    auto* l = new quilListbox(p);
    for (int i = 1; i <= 30; ++i)
        l->ListboxItems()->Add(QStringLiteral("k%1").arg(i), QStringLiteral("Entry %1").arg(i));
    l->Refresh();
    return l;
}

quilControl* makePicker(QWidget* p) { return new quilColorPicker(p); }
quilControl* makeCalendar(QWidget* p) { return new quilMonthview(p); }
quilControl* makeToolbar(QWidget* p)
{
    auto* bar = new quilToolbar(p);
    bar->ToolbarItems()->Add("open", QStringLiteral("Open"));
    return bar;
}
quilControl* makeLink(QWidget* p)
{
    auto* l = new quilLabel(p);
    l->setHyperlink(QStringLiteral("https://example.org/"));
    return l;
}

} // namespace

TEST(KeysInADialog, EscapeClosesAndEnterPressesTheDefaultButton)
{
    const struct {
        const char* name;
        quilControl* (*make)(QWidget*);
    } cases[] = {{"quilSlider", makeSlider}, {"quilScrollBar", makeScrollBar}, {"quilListbox", makeList},
                 {"quilColorPicker", makePicker}};
    for (const auto& c : cases) {
        KeyDialog enter(c.make);
        enter.type(Qt::Key_Return);
        EXPECT_EQ(enter.pressed, 1) << c.name << ": Enter presses the default button";
        KeyDialog escape(c.make);
        escape.type(Qt::Key_Escape);
        EXPECT_FALSE(escape.dialog.isVisible()) << c.name << ": Escape closes the dialog";
        EXPECT_EQ(escape.dialog.result(), QDialog::Rejected) << c.name;
        EXPECT_EQ(escape.pressed, 0) << c.name;
    }
}

TEST(KeysInADialog, AFocusedButtonTakesEnterAndSpaceAndLetsEscapeGo)
{
    // As a focused push button does: Enter presses it, not the default button.
    KeyDialog d(makeButton);
    int clicks = 0;
    QObject::connect(static_cast<quilButton*>(d.control), &quilButton::Click, [&] { ++clicks; });
    d.type(Qt::Key_Return);
    d.type(Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(d.pressed, 0);
    d.type(Qt::Key_Escape);
    EXPECT_FALSE(d.dialog.isVisible());

    // A handler that takes Enter (sets it to 0) keeps it from the dialog too.
    KeyDialog taken(makeButton);
    QObject::connect(static_cast<quilButton*>(taken.control), &quilButton::KeyDown,
                     [](short& code, short&) { code = code == 13 ? 0 : code; });
    taken.type(Qt::Key_Return);
    EXPECT_EQ(taken.pressed, 0);
    EXPECT_TRUE(taken.dialog.isVisible());
}

TEST(KeysInADialog, TheKeysAControlUsesStayWithIt)
{
    // The slider's arrows along its groove, at an end too.
    KeyDialog s(makeSlider);
    auto* slider = static_cast<quilSlider*>(s.control);
    s.type(Qt::Key_Right);
    EXPECT_EQ(slider->Value(), 6);
    slider->setValue(10);
    s.type(Qt::Key_Right);
    EXPECT_EQ(slider->Value(), 10);
    EXPECT_TRUE(slider->hasFocus()) << "the arrow did not go on to move the focus";

    // The list's navigation keys move its selection.
    KeyDialog l(makeList);
    auto* list = static_cast<quilListbox*>(l.control);
    const int page = list->VisibleRows();
    ASSERT_GT(page, 1);
    l.type(Qt::Key_End);
    EXPECT_EQ(list->SelectedItem(), 30);
    l.type(Qt::Key_Home);
    EXPECT_EQ(list->SelectedItem(), 1);
    l.type(Qt::Key_PageDown);
    EXPECT_EQ(list->SelectedItem(), 1 + page);
    l.type(Qt::Key_PageUp);
    EXPECT_EQ(list->SelectedItem(), 1);
    l.type(Qt::Key_Down);
    EXPECT_EQ(list->SelectedItem(), 2);
    EXPECT_EQ(l.pressed, 0);
    EXPECT_TRUE(l.dialog.isVisible());
}

TEST(KeysInADialog, EnterIsTheCalendarsTheToolbarsAndTheLinksAndEscapeStillCloses)
{
    // Each uses Enter as a click: the default button is not pressed.
    KeyDialog cal(makeCalendar);
    int picks = 0;
    QObject::connect(static_cast<quilMonthview*>(cal.control), &quilMonthview::DblClick, [&] { ++picks; });
    cal.type(Qt::Key_Return);
    EXPECT_EQ(picks, 1);
    EXPECT_EQ(cal.pressed, 0);
    cal.type(Qt::Key_Escape);
    EXPECT_FALSE(cal.dialog.isVisible());

    KeyDialog bar(makeToolbar);
    int clicked = 0;
    QObject::connect(static_cast<quilToolbar*>(bar.control), &quilToolbar::ItemClicked,
                     [&](short& i, QString& key) { clicked += i == 1 && key == "open"; });
    bar.type(Qt::Key_Return);
    bar.type(Qt::Key_Space);
    EXPECT_EQ(clicked, 2);
    EXPECT_EQ(bar.pressed, 0);
    bar.type(Qt::Key_Escape);
    EXPECT_FALSE(bar.dialog.isVisible());

    quiltest::OpenerRecorder opener;
    KeyDialog link(makeLink);
    link.type(Qt::Key_Return);
    EXPECT_EQ(opener.opened, QList<QUrl>{QUrl("https://example.org/")});
    EXPECT_EQ(link.pressed, 0);
    link.type(Qt::Key_Escape);
    EXPECT_FALSE(link.dialog.isVisible());
}
