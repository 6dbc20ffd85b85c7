// A text box reads as one editable text: its field, named as the box is
// named (its accessible name or its label), while the box around it is an
// unnamed group. What assistive technology writes goes through the box's
// filter and limit, as typing and pasting do, and a Locked box takes none.
#include <quilObjects/quilTextBox.h>

#include "composite/quilTextBox_p.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <algorithm>

namespace quil {

namespace {

// A label's text as read: "&&" is an ampersand, a single "&" marks the mnemonic.
QString stripMnemonic(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += text.at(i);
    }
    return out;
}

// The box's name: the program's, else the label that has the box (or its
// field) as buddy.
QString boxName(const quilTextBox* box)
{
    if (!box->Field()->accessibleName().isEmpty())
        return box->Field()->accessibleName();
    if (!box->accessibleName().isEmpty())
        return box->accessibleName();
    const QWidget* parent = box->parentWidget();
    if (!parent)
        return {};
    for (const QLabel* l : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (l->buddy() == box || l->buddy() == box->Field())
            return stripMnemonic(l->text());
    return {};
}

class FieldAccessible : public QAccessibleWidget,
                        public QAccessibleTextInterface,
                        public QAccessibleEditableTextInterface {
public:
    FieldAccessible(QLineEdit* field, quilTextBox* box) : QAccessibleWidget(field, QAccessible::EditableText), box(box)
    {
    }
    QLineEdit* field() const { return static_cast<QLineEdit*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return box ? boxName(box) : QString();
        if (t == QAccessible::Value)
            return shown();
        return QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t == QAccessible::Value)
            write(0, characterCount(), text);
        else
            QAccessibleWidget::setText(t, text);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = field()->isReadOnly();
        s.editable = !s.readOnly;
        s.selectableText = true;
        s.passwordEdit = field()->echoMode() != QLineEdit::Normal;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (t == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // ---- the text as shown: a password box gives its mask characters
    QString shown() const
    {
        return field()->echoMode() == QLineEdit::Normal ? field()->text() : field()->displayText();
    }
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && field()->hasSelectedText()) {
            *start = field()->selectionStart();
            *end = *start + field()->selectionLength();
        }
    }
    int selectionCount() const override { return field()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            field()->deselect();
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            field()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->setCursorPosition(position); }
    QString text(int start, int end) const override
    {
        const QString s = shown();
        start = std::clamp(start, 0, int(s.size()));
        end = std::clamp(end, start, int(s.size()));
        return s.mid(start, end - start);
    }
    int characterCount() const override { return int(shown().size()); }
    // From the cursor's rectangle and the advances of the text before.
    QRect characterRect(int offset) const override
    {
        const QString s = shown();
        if (offset < 0 || offset >= s.size())
            return {};
        const QFontMetrics fm(field()->font());
        const QRect cursor = field()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = cursor.x() + fm.horizontalAdvance(s.left(offset)) -
                      fm.horizontalAdvance(s.left(field()->cursorPosition()));
        const QRect r(x, cursor.y(), fm.horizontalAdvance(s.mid(offset, 1)), cursor.height());
        return QRect(field()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = field()->mapFromGlobal(point);
        if (!field()->rect().contains(local))
            return -1;
        // A null point would ask for the cursor's position instead.
        const QPointF at(local.x() + 0.5, local.y() + 0.5);
        return field()->inputMethodQuery(Qt::ImCursorPosition, at).toInt();
    }
    void scrollToSubstring(int start, int end) override
    {
        field()->setCursorPosition(end);
        field()->setCursorPosition(start);
    }
    QString attributes(int offset, int* start, int* end) const override
    {
        Q_UNUSED(offset);
        *start = 0;
        *end = characterCount();
        return {};
    }

    // ---- writes, through the box's filter
    void deleteText(int start, int end) override { write(start, end, QString()); }
    void insertText(int offset, const QString& text) override { write(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override { write(start, end, text); }

private:
    // The range is taken as the selection typing would replace; what is
    // left of the text after the filter and the limit goes in as typed
    // text does, with the field's own change signals and events.
    void write(int start, int end, const QString& text)
    {
        QLineEdit* f = field();
        if (!box || f->isReadOnly() || !f->isEnabled())
            return;
        const int length = int(f->text().size());
        start = std::clamp(start, 0, length);
        end = std::clamp(end, start, length);
        if (end > start) {
            f->setSelection(start, end - start);
        } else {
            f->deselect();
            f->setCursorPosition(start);
        }
        quilTextBoxPrivate::of(box).insertFiltered(text, false);
    }

    QPointer<quilTextBox> box;
};

// The box around the field: a group with no name or text of its own, so
// that a screen reader meets the text once.
class TextBoxAccessible : public QAccessibleWidget {
public:
    explicit TextBoxAccessible(quilTextBox* box) : QAccessibleWidget(box, QAccessible::Grouping) {}
    QLineEdit* field() const { return static_cast<quilTextBox*>(widget())->Field(); }
    QAccessibleInterface* fieldInterface() const { return QAccessible::queryAccessibleInterface(field()); }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int i) const override { return i == 0 ? fieldInterface() : nullptr; }
    int indexOfChild(const QAccessibleInterface* c) const override
    {
        return c && c->object() == field() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QAccessibleInterface* f = fieldInterface();
        return f && f->rect().contains(x, y) ? f : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return field()->hasFocus() ? fieldInterface() : nullptr; }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name || t == QAccessible::Description || t == QAccessible::Value)
            return {};
        return QAccessibleWidget::text(t);
    }
    // The focus is the field's.
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = false;
        s.focused = false;
        return s;
    }
    QStringList actionNames() const override { return {}; }
    void doAction(const QString&) override {}
};

} // namespace

QAccessibleInterface* TextBoxPartAccessible(QObject* o)
{
    if (auto* box = qobject_cast<quilTextBox*>(o))
        return new TextBoxAccessible(box);
    auto* field = qobject_cast<QLineEdit*>(o);
    auto* box = field ? qobject_cast<quilTextBox*>(field->parent()) : nullptr;
    if (box && box->Field() == field)
        return new FieldAccessible(field, box);
    return nullptr;
}

} // namespace quil
