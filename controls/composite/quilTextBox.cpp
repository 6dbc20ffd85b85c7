#include <quilObjects/Routines.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilTextBox.h>

#include "frame/quilControl_p.h"
#include "TextField.h"
#include "quilTextBox_p.h"
#include "frame/HandDown.h"
#include "frame/Gradient.h"
#include "platform/surface/Surface.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>
#include <limits>

namespace quil {

namespace {

// The password character comes from the style; this one gives the box's own.
class PasswordStyle : public QProxyStyle {
public:
    char16_t mask = u'*';
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return mask;
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

const char* const DefaultCaptions[5] = {"Cut", "Copy", "Paste", "Delete", "Select all"};
const char* const CaptionNames[5] = {"textCut", "textCopy", "textPaste", "textDelete", "textSelectAll"};
const char* const MenuKeys[5] = {"a", "b", "c", "d", "f"};



// The character a key press types, as the platform numbers it: Ctrl with a
// letter is its control code (Ctrl+V is 22), Enter 13, Backspace 8.
char16_t typedCode(const QKeyEvent* e)
{
    const Qt::KeyboardModifiers m = e->modifiers();
    const int k = e->key();
    if ((m & Qt::ControlModifier) && !(m & Qt::AltModifier) && k >= Qt::Key_A && k <= Qt::Key_Z)
        return char16_t(k - Qt::Key_A + 1);
    switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Delete: return 0;   // a key, not a character
    default: break;
    }
    const QString t = e->text();
    if (t.size() == 1 && t.at(0).unicode() != 0 && t.at(0).unicode() != 127)
        return t.at(0).unicode();
    return 0;
}

} // namespace

// ================================================================ the control

quilTextBox::quilTextBox(QWidget* parent) : quilControl(parent), d(std::make_unique<quilTextBoxPrivate>(this))
{
    d->field = new TextField(this);
    TextField* field = d->field;
    field->setObjectName(QStringLiteral("Text1"));
    field->setFrame(false);
    field->setContextMenuPolicy(Qt::NoContextMenu);
    // The field's own limit would cut text set from code; the box limits typing itself.
    field->setMaxLength(std::numeric_limits<int>::max());
    d->maskStyle = new PasswordStyle;
    field->setStyle(d->maskStyle);
    d->maskStyle->setParent(field);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(field);

    d->menu = new quilPUMenu(this);
    quilPUMenu* menu = d->menu;
    menu->setObjectName(QStringLiteral("quilPUMenu1"));
    // Out of sight: minus its own size, minus 10 twips.
    menu->move(-48, -48);
    menu->setGreysDisabled(true);
    menu->MenuItem()->Add(QStringLiteral("a"));
    menu->MenuItem()->Add(QStringLiteral("b"));
    menu->MenuItem()->Add(QStringLiteral("c"));
    menu->MenuItem()->Add(QStringLiteral("d"));
    menu->MenuItem()->Add(QStringLiteral("e"), QString(), 0, true, QString(), QString(), itPlaceholder);
    menu->MenuItem()->Add(QStringLiteral("f"));
    connect(menu, &quilPUMenu::ItemClick, this, [this](short&, QString& key) { MenuItemClick(key); });
    connect(menu, &quilPUMenu::Closed, this, &quilTextBox::MenuClosed);
    // The user's selection is the one later writes start from.
    const auto follow = [this] {
        if (!d->applyingSelection) {
            d->wantStart = SelStart();
            d->wantLength = SelLength();
        }
    };
    connect(field, &QLineEdit::selectionChanged, this, follow);
    connect(field, &QLineEdit::cursorPositionChanged, this, follow);
    connect(this, &quilControl::PropertyChanged, this, [this](const QString& name) {
        if (name == QLatin1String("Font")) {
            d->applyFieldFont();
            d->applyMenuLook();
        }
    });
    quilTextBox::InitProperties();
    // As wide as the container makes it, one line high.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    resize(width(), sizeHint().height());
}

quilTextBox::~quilTextBox()
{
    // The field and the menu outlive the box's data: nothing of theirs reaches it any more.
    disconnect(d->field, nullptr, this, nullptr);
    disconnect(d->menu, nullptr, this, nullptr);
}

QLineEdit* quilTextBox::Field() const { return d->field; }

// ------------------------------------------------------------ persistence

const QList<PersistedProperty>& quilTextBox::Persisted() const
{
    static const QList<PersistedProperty> table = {
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
        {"Enabled", true},
        {"Font", {}, PersistedProperty::Font},
        {"Alignment", 0},
        {"Text", QStringLiteral("Text1")},
        {"AutoSelect", false},
        {"SelLength", 0},
        {"SelStart", 0},
        {"PasswordChar", QString()},
        {"RightToLeft", false},
        {"Locked", false},
        {"DataFormat", 0},
        {"SelectionColor", QVariant::fromValue<quint32>(33023)},
        {"textCut", QStringLiteral("Cut")},
        {"textCopy", QStringLiteral("Copy")},
        {"textPaste", QStringLiteral("Paste")},
        {"textDelete", QStringLiteral("Delete")},
        {"textSelectAll", QStringLiteral("Select all")},
        {"MaxLength", 0},
    };
    return table;
}

void quilTextBox::InitProperties()
{
    quilControl::InitProperties();
    d->backColor = 0xFFFFFF;
    d->foreColor = 0xC00000;
    d->selectionColor = 33023;
    d->autoSelect = false;
    d->dataFormat = df_AllChars;
    d->describeFilter();
    d->alignment = 0;
    d->rightToLeft = false;
    d->passwordChar.clear();
    d->maxLength = 0;
    for (int i = 0; i < 5; ++i)
        d->captions[i] = QString::fromLatin1(DefaultCaptions[i]);
    d->field->setReadOnly(false);
    d->field->setLayoutDirection(Qt::LeftToRight);
    d->applyAlignment();
    d->applyPassword();
    d->field->setText(QStringLiteral("Dummy Text"));
    d->applyFieldFont();
    d->setMenuCaptions();
    // A new box's menu looks as a loaded one's does.
    d->applyMenuLook();
    Refresh();
}

void quilTextBox::ReadProperties(PropertyBag& bag)
{
    d->backColor = readColor(bag, "BackColor");
    d->foreColor = readColor(bag, "ForeColor");
    applyEnabled(readBool(bag, "Enabled"));
    applyFont(readFont(bag));
    // Values the setters would refuse load as the nearest sound one.
    const qint64 a = readInt(bag, "Alignment");
    d->alignment = a >= 0 && a <= 2 ? int(a) : 0;
    d->applyAlignment();
    const qint64 m = readInt(bag, "MaxLength");
    d->maxLength = m > 0 && m <= std::numeric_limits<int>::max() ? int(m) : 0;
    d->field->setText(readText(bag, "Text"));
    d->autoSelect = readBool(bag, "AutoSelect");
    const qint64 len = std::max<qint64>(0, readInt(bag, "SelLength"));
    const qint64 start = std::clamp<qint64>(readInt(bag, "SelStart"), 0, d->field->text().size());
    d->field->setSelection(int(start), int(std::min<qint64>(len, d->field->text().size() - start)));
    d->passwordChar = readText(bag, "PasswordChar").left(1);
    d->applyPassword();
    d->rightToLeft = readBool(bag, "RightToLeft");
    d->field->setLayoutDirection(d->rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    d->field->setReadOnly(readBool(bag, "Locked"));
    d->dataFormat = static_cast<DataFormats>(readInt(bag, "DataFormat"));
    d->describeFilter();
    d->selectionColor = readColor(bag, "SelectionColor");
    for (int i = 0; i < 5; ++i)
        d->captions[i] = readText(bag, CaptionNames[i]);
    d->applyFieldFont();
    d->setMenuCaptions();
    // The stored colours and font reach the menu at once, not at the next change.
    d->applyMenuLook();
    Refresh();
}

void quilTextBox::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(d->backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(d->foreColor));
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "Font", Font());
    writeProp(bag, "Alignment", d->alignment);
    writeProp(bag, "Text", Text());
    writeProp(bag, "AutoSelect", d->autoSelect);
    writeProp(bag, "SelLength", SelLength());
    writeProp(bag, "SelStart", SelStart());
    writeProp(bag, "PasswordChar", d->passwordChar);
    writeProp(bag, "RightToLeft", d->rightToLeft);
    writeProp(bag, "Locked", Locked());
    writeProp(bag, "DataFormat", static_cast<int>(d->dataFormat));
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(d->selectionColor));
    for (int i = 0; i < 5; ++i)
        writeProp(bag, CaptionNames[i], d->captions[i]);
    writeProp(bag, "MaxLength", d->maxLength);
}

// ------------------------------------------------------------ properties

void quilTextBox::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    if (!notify("BackColor"))
        return;
    Refresh();
    d->applyMenuLook();
}

void quilTextBox::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    if (!notify("ForeColor"))
        return;
    Refresh();
    d->applyMenuLook();
}

void quilTextBox::setSelectionColor(OLE_COLOR c)
{
    d->selectionColor = c;
    if (notify("SelectionColor"))
        d->applyMenuLook();
}

void quilTextBox::setAlignment(int a)
{
    if (a < 0 || a > 2) {
        refuseValue("Alignment", a, QStringLiteral("Alignment is 0 (left), 1 (right) or 2 (centre)"));
        return;
    }
    d->alignment = a;
    d->applyAlignment();
    notify("Alignment");
}

void quilTextBoxPrivate::applyAlignment()
{
    static const Qt::Alignment of[3] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    field->setAlignment(of[alignment] | Qt::AlignVCenter);
}

QString quilTextBox::Text() const { return d->field->text(); }

void quilTextBox::setText(const QString& text)
{
    d->applyingSelection = true;
    d->field->setText(text);
    d->applyingSelection = false;
    // The selection asked for stays, within the new text: SelStart, SelLength
    // and Text reach the same state in any order.
    d->applySelection();
    notify("Text");
}

void quilTextBoxPrivate::applySelection()
{
    const int len = int(field->text().size());
    const int start = std::clamp(wantStart, 0, len);
    const int n = std::clamp(wantLength, 0, len - start);
    applyingSelection = true;
    if (n > 0)
        field->setSelection(start, n);
    else
        field->setCursorPosition(start);
    applyingSelection = false;
}

void quilTextBox::setAutoSelect(bool on)
{
    d->autoSelect = on;
    notify("AutoSelect");
}

int quilTextBox::SelStart() const
{
    return d->field->hasSelectedText() ? d->field->selectionStart() : d->field->cursorPosition();
}

int quilTextBox::SelLength() const { return d->field->hasSelectedText() ? d->field->selectionLength() : 0; }

void quilTextBox::setSelStart(int start)
{
    if (start < 0) {
        refuseValue("SelStart", start, QStringLiteral("SelStart cannot be negative"));
        return;
    }
    d->wantStart = start;
    d->applySelection();
    notify("SelStart");
}

void quilTextBox::setSelLength(int length)
{
    if (length < 0) {
        refuseValue("SelLength", length, QStringLiteral("SelLength cannot be negative"));
        return;
    }
    d->wantLength = length;
    d->applySelection();
    notify("SelLength");
}

void quilTextBox::setPasswordChar(const QString& c)
{
    if (c.size() > 1) {
        refuseValue("PasswordChar", c, QStringLiteral("PasswordChar is one character or none"));
        return;
    }
    d->passwordChar = c;
    d->applyPassword();
    notify("PasswordChar");
}

void quilTextBoxPrivate::applyPassword()
{
    if (passwordChar.isEmpty()) {
        field->setEchoMode(QLineEdit::Normal);
        return;
    }
    static_cast<PasswordStyle*>(maskStyle)->mask = passwordChar.at(0).unicode();
    // The field reads the character from its style when the style changes.
    QEvent changed(QEvent::StyleChange);
    QApplication::sendEvent(field, &changed);
    field->setEchoMode(QLineEdit::Password);
}

void quilTextBox::setRightToLeft(bool on)
{
    d->rightToLeft = on;
    d->field->setLayoutDirection(on ? Qt::RightToLeft : Qt::LeftToRight);
    notify("RightToLeft");
}

bool quilTextBox::Locked() const { return d->field->isReadOnly(); }

void quilTextBox::setLocked(bool on)
{
    d->field->setReadOnly(on);
    notify("Locked");
}

void quilTextBox::setDataFormat(DataFormats f)
{
    d->dataFormat = f;
    d->describeFilter();
    notify("DataFormat");
}

void quilTextBoxPrivate::describeFilter()
{
    const QString what = quilTextBox::FilterDescription(dataFormat);
    field->setAccessibleDescription(what);
    q->setAccessibleDescription(what);
}

void quilTextBox::setTextCut(const QString& t)
{
    d->captions[0] = t;
    if (notify("textCut"))
        d->setMenuCaptions();
}

void quilTextBox::setTextCopy(const QString& t)
{
    d->captions[1] = t;
    if (notify("textCopy"))
        d->setMenuCaptions();
}

void quilTextBox::setTextPaste(const QString& t)
{
    d->captions[2] = t;
    if (notify("textPaste"))
        d->setMenuCaptions();
}

void quilTextBox::setTextDelete(const QString& t)
{
    d->captions[3] = t;
    if (notify("textDelete"))
        d->setMenuCaptions();
}

void quilTextBox::setTextSelectAll(const QString& t)
{
    d->captions[4] = t;
    if (notify("textSelectAll"))
        d->setMenuCaptions();
}

OLE_COLOR quilTextBox::BackColor() const { return d->backColor; }
OLE_COLOR quilTextBox::ForeColor() const { return d->foreColor; }
OLE_COLOR quilTextBox::SelectionColor() const { return d->selectionColor; }
int quilTextBox::Alignment() const { return d->alignment; }
bool quilTextBox::AutoSelect() const { return d->autoSelect; }
QString quilTextBox::PasswordChar() const { return d->passwordChar; }
bool quilTextBox::RightToLeft() const { return d->rightToLeft; }
DataFormats quilTextBox::DataFormat() const { return d->dataFormat; }
QString quilTextBox::textCut() const { return d->captions[0]; }
QString quilTextBox::textCopy() const { return d->captions[1]; }
QString quilTextBox::textPaste() const { return d->captions[2]; }
QString quilTextBox::textDelete() const { return d->captions[3]; }
QString quilTextBox::textSelectAll() const { return d->captions[4]; }
int quilTextBox::MaxLength() const { return d->maxLength; }
quilPUMenu* quilTextBox::ContextMenu() const { return d->menu; }
bool quilTextBox::MenuOpen() const { return d->menuOpen; }
int quilTextBox::SavedSelStart() const { return d->savedStart; }
int quilTextBox::SavedSelLength() const { return d->savedLength; }
ColorScheme quilTextBox::Scheme() const { return d->scheme; }

void quilTextBox::setMaxLength(int n)
{
    if (n < 0) {
        refuseValue("MaxLength", n, QStringLiteral("MaxLength cannot be negative (0 means no limit)"));
        return;
    }
    // The limit is on what the user enters; text already there stays whole.
    d->maxLength = n;
    notify("MaxLength");
}

int quilTextBoxPrivate::room() const
{
    if (maxLength <= 0)
        return std::numeric_limits<int>::max();
    const int kept = int(field->text().size()) - (field->hasSelectedText() ? int(field->selectedText().size()) : 0);
    return std::max(0, maxLength - kept);
}

QString quilTextBoxPrivate::fitToLimit(QString text) const
{
    const int r = room();
    if (text.size() > r)
        text.truncate(r);
    return text;
}

QSharedPointer<MenuItem> quilTextBoxPrivate::menuEntry(const char* key) const
{
    // A host may have trimmed or replaced the menu through ContextMenu().
    const auto items = menu->MenuItem();
    const QString k = QString::fromLatin1(key);
    if (!items || !items->Contains(k))
        return nullptr;
    return items->Item(k);
}

void quilTextBoxPrivate::setMenuCaptions()
{
    for (int i = 0; i < 5; ++i)
        if (const auto e = menuEntry(MenuKeys[i]))
            e->setCaption(captions[i]);
}

void quilTextBoxPrivate::applyMenuLook()
{
    HandColoursDown(menu, backColor, foreColor, selectionColor);
    // The menu takes the family only; its size stays the menu's own.
    QFont f = menu->Font();
    if (f.family() != q->Font().family()) {
        f.setFamilies(q->Font().families().isEmpty() ? QStringList{q->Font().family()} : q->Font().families());
        menu->setFont(f);
    }
}

// ------------------------------------------------------------ look and layout

void quilTextBoxPrivate::applyFieldFont()
{
    field->setFont(q->Font());
    q->layoutField();
}

void quilTextBox::layoutField()
{
    const int th = faceOf(this).TextHeight(QStringLiteral("I"));
    d->field->setGeometry(2, 2, std::max(width() - 4, 0), th);
    // A line of text is the hint; the container decides the geometry.
    if (sizeHint() != d->hinted) {
        d->hinted = sizeHint();
        updateGeometry();
    }
}

QSize quilTextBox::sizeHint() const
{
    const int th = faceOf(this).TextHeight(QStringLiteral("I"));
    return {std::max(d->field->sizeHint().width(), 4 * th) + 4, th + 4};
}

QSize quilTextBox::minimumSizeHint() const
{
    const int th = faceOf(this).TextHeight(QStringLiteral("I"));
    return {th + 4, th + 4};
}

void quilTextBox::resizeEvent(QResizeEvent* e)
{
    quilControl::resizeEvent(e);
    layoutField();
}

void quilTextBoxPrivate::applyColours(bool enabled)
{
    QPalette p = field->palette();
    const QColor face = QtColor(scheme.FaceTop);
    const QColor text = QtColor(enabled ? scheme.Text : scheme.EdgeEnd);
    // The same in every state: the field is disabled while the menu is open
    // and must not flash grey for it.
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Base, face);
        p.setColor(g, QPalette::Window, face);
        p.setColor(g, QPalette::Text, text);
    }
    field->setPalette(p);
}

void quilTextBox::Paint()
{
    platform::Surface& s = faceOf(this);
    d->scheme = SchemeNormal(d->backColor, d->foreColor, 0xFFFFFF);
    d->applyColours(drawsEnabled());
    const int w = s.ScaleWidth(), h = s.ScaleHeight();
    s.BackColor = d->scheme.FaceTop;
    s.Cls();
    GradientFrame(s, w, h, d->scheme);
}

// ------------------------------------------------------------ keys

void quilTextBoxPrivate::fieldKeyPress(QKeyEvent* e)
{
    QPointer<quilTextBox> self(q);
    short shift = quilTextBox::ShiftOf(e->modifiers());
    short keyCode = quilTextBox::KeyCodeOf(e->key());
    const QString text = e->text();
    keyZeroed = false;
    if (keyCode != 0 || !text.isEmpty()) {
        const short before = keyCode;
        emit q->KeyDown(keyCode, shift);
        if (!self)
            return;
        // A handler that zeroed the key took it: it does not go on to the window.
        keyZeroed = before != 0 && keyCode == 0;
    }
    const char16_t typed = typedCode(e);
    if (typed != 0) {
        const short filtered = q->KeyFilter(static_cast<short>(typed));
        short keyAscii = filtered;
        emit q->KeyPress(keyAscii);
        if (!self)
            return;
        const char16_t result = static_cast<char16_t>(static_cast<unsigned short>(keyAscii));
        if (typed < 32 && typed != 8) {
            // A command key (Ctrl+V, Enter) is no character: the filter's 0
            // does not cancel it, a handler's does.
            if (keyAscii == 0 && filtered != 0)
                return;
        } else {
            if (result == 0)
                return;
            if (result == 8) {
                if (typed == 8)
                    field->baseKeyPress(e);
                else if (!field->isReadOnly())
                    field->backspace();
                return;
            }
            if (result < 32)
                return;
            // A full box takes no more typing; what is there stays.
            if (room() < 1)
                return;
            if (result == typed && text == QString(QChar(typed)))
                field->baseKeyPress(e);
            else if (!field->isReadOnly())
                field->insert(QString(QChar(result)));
            return;
        }
    } else if (!text.isEmpty() && text.at(0).unicode() >= 32 && !(e->modifiers() & Qt::ControlModifier)) {
        // More than one code unit at once (a character beyond 16 bits, a compose sequence).
        insertFiltered(text, false);
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        if (!field->isReadOnly())
            pasteFrom(QClipboard::Clipboard);
        return;
    }
    // The field would delete the selection without copying it.
    if (e->matches(QKeySequence::Cut) && !passwordChar.isEmpty())
        return;
    field->baseKeyPress(e);
}

void quilTextBoxPrivate::fieldKeyRelease(QKeyEvent* e)
{
    // X11 repeats a held key as release-press pairs; only the last release is real.
    if (e->isAutoRepeat())
        return;
    short keyCode = quilTextBox::KeyCodeOf(e->key());
    short shift = quilTextBox::ShiftOf(e->modifiers());
    if (keyCode != 0 || !e->text().isEmpty())
        emit q->KeyUp(keyCode, shift);
}

void quilTextBoxPrivate::insertFiltered(const QString& text, bool blanks)
{
    if (field->isReadOnly())
        return;
    const QString t = fitToLimit(q->FilterText(text, blanks));
    if (!t.isEmpty() || field->hasSelectedText())
        field->insert(t);
}

void quilTextBoxPrivate::pasteFrom(QClipboard::Mode mode)
{
    insertFiltered(QGuiApplication::clipboard()->text(mode), true);
}

// ------------------------------------------------------------ focus

void quilTextBoxPrivate::fieldFocusIn()
{
    if (autoSelect && !keepSelection)
        field->selectAll();
    keepSelection = false;
}

} // namespace quil
