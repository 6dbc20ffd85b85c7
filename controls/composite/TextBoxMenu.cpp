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
    if (button != 2 || d->menuOpen)
        return;
    d->savedStart = SelStart();
    d->savedLength = SelLength();
    // What a read-only or masked field cannot do is shown greyed, never offered.
    const bool locked = d->field->isReadOnly(), masked = !d->passwordChar.isEmpty();
    const std::pair<const char*, bool> offered[] = {
        {"a", !locked && !masked}, {"b", !masked}, {"c", !locked}, {"d", !locked}};
    for (const auto& [key, on] : offered)
        if (const auto e = d->menuEntry(key))
            e->setEnabled(on);
    d->menuOpen = true;
    // The focus returns to the field when the menu closes: its selection is
    // restored then, not replaced by AutoSelect's.
    d->keepSelection = true;
    d->field->setEnabled(false);
    d->menu->CreateMenu();
}

void quilTextBoxPrivate::clampSaved()
{
    const int len = int(field->text().size());
    savedStart = std::clamp(savedStart, 0, len);
    savedLength = std::clamp(savedLength, 0, len - savedStart);
}

void quilTextBox::MenuItemClick(const QString& key)
{
    // The text may have changed while the menu was open.
    d->clampSaved();
    const int S = d->savedStart, L = d->savedLength;
    const bool locked = d->field->isReadOnly(), masked = !d->passwordChar.isEmpty();
    const QString T = d->field->text();
    QClipboard* clip = QGuiApplication::clipboard();
    if (key == QLatin1String("a")) {
        // A masked text never reaches the clipboard, and is then not removed either.
        if (locked || masked)
            return;
        clip->clear();
        clip->setText(T.mid(S, L));
        if (L > 0) {
            d->field->setSelection(S, L);
            d->field->insert(QString());
        }
        d->savedLength = 0;
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
        if (d->maxLength > 0)
            P.truncate(std::max<qsizetype>(0, d->maxLength - (T.size() - L)));
        d->field->setSelection(S, L);
        d->field->insert(P);
        d->savedStart = S + int(P.size());
        d->savedLength = 0;
    } else if (key == QLatin1String("d")) {
        if (locked)
            return;
        if (L > 0) {
            d->field->setSelection(S, L);
            d->field->insert(QString());
        }
        d->savedLength = 0;
    } else if (key == QLatin1String("f")) {
        d->savedStart = 0;
        d->savedLength = int(T.size());
    }
}

void quilTextBox::MenuClosed()
{
    d->menuOpen = false;
    d->field->setEnabled(true);
    d->field->setFocus(Qt::PopupFocusReason);
    d->clampSaved();
    if (d->savedLength > 0)
        d->field->setSelection(d->savedStart, d->savedLength);
    else
        d->field->setCursorPosition(d->savedStart);
}

} // namespace quil
