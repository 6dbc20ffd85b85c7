// The text box's own context menu: Cut, Copy, Paste, Delete and Select all,
// acting on the selection saved when the menu opened.
#include "TextField.h"

#include <quilObjects/quilPUMenu.h>

#include <QApplication>
#include <QClipboard>

namespace quil {

// ------------------------------------------------------------ the context menu

void quilTextBox::MouseDownNotify(short button, short, float, float)
{
    if (button != 2 || menuOpen)
        return;
    savedStart = SelStart();
    savedLength = SelLength();
    // What a read-only or masked field cannot do is shown greyed, never offered.
    const bool locked = field->isReadOnly(), masked = !passwordChar.isEmpty();
    const std::pair<const char*, bool> offered[] = {
        {"a", !locked && !masked}, {"b", !masked}, {"c", !locked}, {"d", !locked}};
    for (const auto& [key, on] : offered)
        if (const auto e = menuEntry(key))
            e->setEnabled(on);
    menuOpen = true;
    // The focus returns to the field when the menu closes: its selection is
    // restored then, not replaced by AutoSelect's.
    keepSelection = true;
    field->setEnabled(false);
    menu->CreateMenu();
}

void quilTextBox::clampSaved()
{
    const int len = int(field->text().size());
    savedStart = std::clamp(savedStart, 0, len);
    savedLength = std::clamp(savedLength, 0, len - savedStart);
}

void quilTextBox::MenuItemClick(const QString& key)
{
    // The text may have changed while the menu was open.
    clampSaved();
    const int S = savedStart, L = savedLength;
    const bool locked = field->isReadOnly(), masked = !passwordChar.isEmpty();
    const QString T = field->text();
    QClipboard* clip = QGuiApplication::clipboard();
    if (key == QLatin1String("a")) {
        // A masked text never reaches the clipboard, and is then not removed either.
        if (locked || masked)
            return;
        clip->clear();
        clip->setText(T.mid(S, L));
        if (L > 0) {
            field->setSelection(S, L);
            field->insert(QString());
        }
        savedLength = 0;
    } else if (key == QLatin1String("b")) {
        if (masked)
            return;
        clip->clear();
        clip->setText(T.mid(S, L));
    } else if (key == QLatin1String("c")) {
        if (locked)
            return;
        QString P = FilterText(clip->text(QClipboard::Clipboard), true);
        // What the field cannot hold is cut off, as a keyboard paste is.
        if (maxLength > 0)
            P.truncate(std::max<qsizetype>(0, maxLength - (T.size() - L)));
        field->setSelection(S, L);
        field->insert(P);
        savedStart = S + int(P.size());
        savedLength = 0;
    } else if (key == QLatin1String("d")) {
        if (locked)
            return;
        if (L > 0) {
            field->setSelection(S, L);
            field->insert(QString());
        }
        savedLength = 0;
    } else if (key == QLatin1String("f")) {
        savedStart = 0;
        savedLength = int(T.size());
    }
}

void quilTextBox::MenuClosed()
{
    menuOpen = false;
    field->setEnabled(true);
    field->setFocus(Qt::PopupFocusReason);
    clampSaved();
    if (savedLength > 0)
        field->setSelection(savedStart, savedLength);
    else
        field->setCursorPosition(savedStart);
}

} // namespace quil
