#pragma once
// A one-line text field in the library's look: a platform line edit inside a
// one-pixel gradient frame, with a character filter chosen by DataFormat
// that every way of entering text goes through (typing, pasting, dropping,
// input-method commits), and its own context menu (Cut, Copy, Paste,
// Delete, Select all) shown by a contained quilPUMenu.
//
// No member of the box throws. A property value it cannot take (from code,
// Designer, uic, a form file or a script) is refused with a warning naming
// the property and the value, and the old value stays. What still throws is
// the menu's own list reached through ContextMenu() (a duplicate key, a bad
// position), as every keyed collection does; the box itself copes with a
// menu a host trimmed or replaced.

#include "quilControl.h"

#include <QSharedPointer>
#include <QClipboard>
#include <memory>

class QLineEdit;

namespace quil {

class MenuItem;
class quilPUMenu;
class quilTextBoxPrivate;

class QUILOBJECTS_EXPORT quilTextBox : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "13")
    Q_CLASSINFO("Interface", "_quilTextBox")
    Q_CLASSINFO("EventInterface", "__quilTextBox")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "EditableText")
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE setAutoSelect)
    Q_PROPERTY(int SelLength READ SelLength WRITE setSelLength)
    Q_PROPERTY(int SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(QString PasswordChar READ PasswordChar WRITE setPasswordChar)
    Q_PROPERTY(bool RightToLeft READ RightToLeft WRITE setRightToLeft)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(quil::DataFormats DataFormat READ DataFormat WRITE setDataFormat)
    Q_PROPERTY(quint32 SelectionColor READ SelectionColor WRITE setSelectionColor)
    Q_PROPERTY(QString textCut READ textCut WRITE setTextCut)
    Q_PROPERTY(QString textCopy READ textCopy WRITE setTextCopy)
    Q_PROPERTY(QString textPaste READ textPaste WRITE setTextPaste)
    Q_PROPERTY(QString textDelete READ textDelete WRITE setTextDelete)
    Q_PROPERTY(QString textSelectAll READ textSelectAll WRITE setTextSelectAll)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
public:
    explicit quilTextBox(QWidget* parent = nullptr);
    ~quilTextBox() override;
    Q_INVOKABLE short ID() const { return 13; }

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);
    OLE_COLOR SelectionColor() const;
    void setSelectionColor(OLE_COLOR c);
    // 0 left, 1 right, 2 centre; any other is refused.
    int Alignment() const;
    void setAlignment(int a);
    // Set from code, the text is not filtered.
    QString Text() const;
    void setText(const QString& text);
    bool AutoSelect() const;
    void setAutoSelect(bool on);
    // The selection asked for is kept within the text and survives a new
    // Text, so the three reach the same state in any order; a negative one is
    // refused. The user's own selection is where later writes start from.
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    // "" or one character shown for each character of the text; more is refused.
    QString PasswordChar() const;
    void setPasswordChar(const QString& c);
    bool RightToLeft() const;
    void setRightToLeft(bool on);
    bool Locked() const;
    void setLocked(bool on);
    DataFormats DataFormat() const;
    void setDataFormat(DataFormats f);
    QString textCut() const;
    void setTextCut(const QString& t);
    QString textCopy() const;
    void setTextCopy(const QString& t);
    QString textPaste() const;
    void setTextPaste(const QString& t);
    QString textDelete() const;
    void setTextDelete(const QString& t);
    QString textSelectAll() const;
    void setTextSelectAll(const QString& t);
    // The most characters typing and pasting may make; 0 means no limit, a
    // negative one is refused. Text already there, or set from code or a
    // form, is never cut.
    int MaxLength() const;
    void setMaxLength(int n);

    // The filter: a character as the field takes it, 0 when refused.
    static char32_t FilterCharacter(char32_t c, int format);
    short KeyFilter(short KeyAscii) const;
    // Text on its way in from outside (a paste, a drop, an input method):
    // line breaks become blanks, then each character goes through the
    // filter; a refused one becomes a blank, or is dropped when blanks is false.
    QString FilterText(const QString& text, bool blanks = true) const;
    // What the filter accepts, in words (for assistive technology).
    static QString FilterDescription(int format);

    // One line of the box's font high; the container gives the width.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The contained parts.
    QLineEdit* Field() const;
    quilPUMenu* ContextMenu() const;
    bool MenuOpen() const;
    int SavedSelStart() const;
    int SavedSelLength() const;
    ColorScheme Scheme() const;

    // Host notifications, called from the field's events; tests may call them.
    // A right-button press in the field: the selection is saved and the menu opens.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    // A menu entry by its key ("a" Cut ... "f" Select all), as ItemClick gives it.
    void MenuItemClick(const QString& key);
    void MenuClosed();

signals:
    void KeyDown(short& KeyCode, short& Shift);
    void KeyPress(short& KeyAscii);
    void KeyUp(short& KeyCode, short& Shift);

protected:
    void Paint() override;
    void resizeEvent(QResizeEvent*) override;

private:
    void layoutField();

    friend class quilTextBoxPrivate;
    std::unique_ptr<quilTextBoxPrivate> d;
};

} // namespace quil
