#pragma once
// The text box's platform field, shared by the box's sources.

#include <quilObjects/quilTextBox.h>

#include "quilTextBox_p.h"

#include <QClipboard>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

namespace quil {

// The platform field: every way text gets in is routed through the box's filter.
class TextField : public QLineEdit {
public:
    explicit TextField(quilTextBox* owner) : QLineEdit(owner), box(owner) {}
    void baseKeyPress(QKeyEvent* e) { QLineEdit::keyPressEvent(e); }

protected:
    // A handler of the box's key events may delete the box, and this field
    // with it: the event is taken first, and nothing of the field runs after.
    void keyPressEvent(QKeyEvent* e) override
    {
        // The field ignores what it does not use (Escape, Enter), which then
        // goes on to the window, unless a KeyDown handler took the key.
        e->accept();
        QPointer<quilTextBox> owner(box);
        inner().fieldKeyPress(e);
        if (owner && quilTextBoxPrivate::of(owner).keyZeroed)
            e->accept();
    }
    void keyReleaseEvent(QKeyEvent* e) override
    {
        e->accept();
        QPointer<TextField> self(this);
        inner().fieldKeyRelease(e);
        if (self)
            QLineEdit::keyReleaseEvent(e);
    }
    void focusInEvent(QFocusEvent* e) override
    {
        QLineEdit::focusInEvent(e);
        inner().fieldFocusIn();
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::RightButton) {
            const QPointF p = e->position();
            box->MouseDownNotify(2, quilTextBoxPrivate::shiftOf(e->modifiers()), float(p.x()), float(p.y()));
            return;
        }
        QLineEdit::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        // The X11 primary selection, pasted by the middle button.
        if (e->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
            if (!isReadOnly()) {
                deselect();
                inner().pasteFrom(QClipboard::Selection);
            }
            return;
        }
        QLineEdit::mouseReleaseEvent(e);
    }
    void contextMenuEvent(QContextMenuEvent* e) override { e->accept(); }
    void dropEvent(QDropEvent* e) override
    {
        if (!e->mimeData()->hasText()) {
            QLineEdit::dropEvent(e);
            return;
        }
        QMimeData data;
        data.setText(inner().fitToLimit(box->FilterText(e->mimeData()->text())));
        QDropEvent filtered(e->position(), e->possibleActions(), &data, e->buttons(), e->modifiers());
        filtered.setDropAction(e->dropAction());
        QLineEdit::dropEvent(&filtered);
        e->setDropAction(filtered.dropAction());
        e->setAccepted(filtered.isAccepted());
    }
    void inputMethodEvent(QInputMethodEvent* e) override
    {
        if (e->commitString().isEmpty()) {
            QLineEdit::inputMethodEvent(e);
            return;
        }
        QInputMethodEvent filtered(e->preeditString(), e->attributes());
        filtered.setCommitString(inner().fitToLimit(box->FilterText(e->commitString(), false)), e->replacementStart(),
                                 e->replacementLength());
        QLineEdit::inputMethodEvent(&filtered);
    }

private:
    quilTextBoxPrivate& inner() const { return quilTextBoxPrivate::of(box); }
    quilTextBox* box;
};

} // namespace quil
