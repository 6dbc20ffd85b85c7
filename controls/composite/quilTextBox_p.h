#pragma once
// The text box's state and workings, out of the installed header; its field
// routes every event through here.

#include <quilObjects/quilTextBox.h>

#include <QClipboard>
#include <QProxyStyle>
#include <QSize>

class QKeyEvent;

namespace quil {

class MenuItem;
class TextField;
class quilPUMenu;

class quilTextBoxPrivate {
public:
    explicit quilTextBoxPrivate(quilTextBox* box) : q(box) {}
    static quilTextBoxPrivate& of(const quilTextBox* box) { return *box->d; }
    // The platform's shift state, as the box's events give it.
    static short shiftOf(Qt::KeyboardModifiers m) { return quilTextBox::ShiftOf(m); }

    void applyFieldFont();
    // enabled: whether the face shows the enabled look.
    void applyColours(bool enabled);
    void applyMenuLook();
    void setMenuCaptions();
    void applyPassword();
    void applyAlignment();
    void describeFilter();
    // The field's events, routed here.
    void fieldKeyPress(QKeyEvent* e);
    void fieldKeyRelease(QKeyEvent* e);
    void fieldFocusIn();
    void pasteFrom(QClipboard::Mode mode);
    void insertFiltered(const QString& text, bool blanks);
    // The saved selection, kept within the current text.
    void clampSaved();
    void applySelection();
    // The context menu's entry by key; none when a host removed it or the list.
    QSharedPointer<MenuItem> menuEntry(const char* key) const;
    // How many characters typing or pasting may still add (over the selection).
    int room() const;
    QString fitToLimit(QString text) const;

    quilTextBox* q;
    TextField* field = nullptr;
    // The field's own style, which gives it the password character. An
    // application style sheet wraps it in a style of Qt's, so the field's
    // style() is not always this one.
    QProxyStyle* maskStyle = nullptr;
    quilPUMenu* menu = nullptr;
    OLE_COLOR backColor = 0xFFFFFF;
    OLE_COLOR foreColor = 0xC00000;
    OLE_COLOR selectionColor = 33023;
    ColorScheme scheme;
    QString captions[5];
    QString passwordChar;
    DataFormats dataFormat = df_AllChars;
    int alignment = 0;
    int maxLength = 0;
    int savedStart = 0;
    int savedLength = 0;
    bool autoSelect = false;
    bool rightToLeft = false;
    bool keepSelection = false;
    bool menuOpen = false;
    // The last key's KeyDown handler set its code to 0.
    bool keyZeroed = false;
    // The selection code asked for, and whether it is being applied.
    int wantStart = 0;
    int wantLength = 0;
    bool applyingSelection = false;
    QSize hinted;
};

} // namespace quil
