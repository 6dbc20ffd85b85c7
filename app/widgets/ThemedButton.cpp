#include "ThemedButton.h"
#include "ThemedButtonDraw.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Mouse.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>
#include <cmath>

namespace murivo {

using namespace platform;
using namespace themed;

QString ThemedButton::opener = "xdg-open";

// ------------------------------------------------------------ ThemedButton

ThemedButton::ThemedButton(QWidget* parent)
    : QWidget(parent), backColor(GetSysColor(COLOR_BTNFACE)), highlightColor(GetSysColor(COLOR_HIGHLIGHT)),
      fontColor(GetSysColor(COLOR_BTNTEXT)), fontHighlightColor(GetSysColor(COLOR_BTNTEXT)), ttBack(GetSysColor(COLOR_INFOBK)),
      ttFore(GetSysColor(COLOR_INFOTEXT))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface.Font = QApplication::font();
}

ThemedButton::~ThemedButton()
{
    if (tip)
        delete tip.data();
}

// ------------------------------------------------------------------ layout

void ThemedButton::SetSize(int w, int h)
{
    resize(w, h);
    surface.Resize(w, h);
}

void ThemedButton::Layout()
{
    // At least 300 x 300 twips.
    if (width() < 20 || height() < 20)
        resize(std::max(width(), 20), std::max(height(), 20));
    surface.Resize(width(), height());
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    controlRect = RECT{0, 0, W, H};
    captionRect = RECT{4, 4, W - 4, H - 4};
    RECT measure = captionRect;
    surface.DrawTextA(caption, measure, DT_CALCRECT | DT_WORDBREAK | (rtl ? static_cast<unsigned>(DT_RTLREADING) : 0u));
    const int Rm = measure.right, Bm = measure.bottom, m = edgeMargin;
    const int left0 = round2((W - Rm - 4) / 2.0), right0 = round2((W + Rm - 4) / 2.0);
    const int top0 = round2((H - Bm - 4) / 2.0 + 3), bottom0 = round2((H + Bm - 4) / 2.0);
    switch (captionAlign) {
    case 0: captionRect = RECT{left0, top0, right0, bottom0}; captionFormat = 21; break;
    case 1: captionRect = RECT{m, top0, m + Rm, bottom0}; captionFormat = 20; break;
    case 2: captionRect = RECT{W - Rm - 4 - m, top0, W - 4 - m, bottom0}; captionFormat = 22; break;
    case 3: captionRect = RECT{left0, round2(m / 2.0), right0, round2(m / 2.0 + Bm - 4)}; captionFormat = 17; break;
    case 4: captionRect = RECT{left0, round2(H - (Bm - 4) - m / 2.0), right0, round2(H - m / 2.0)}; captionFormat = 25; break;
    default: break;
    }
    if (rtl)
        captionFormat |= DT_RTLREADING;
    ApplyStyleShape();
    Refresh();
}

void ThemedButton::ApplyStyleShape()
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    switch (style) {
    case 5:
    case 7:
        shape = Region::Polygon({{0, 1}, {1, 0}, {W - 1, 0}, {W, 1}, {W, H - 2}, {W - 2, H}, {2, H}, {0, H - 2}});
        break;
    case 8:
    case 9:
        shape = Region::Polygon({{0, 2}, {2, 0}, {W - 3, 0}, {W, 3}, {W, H - 3}, {W - 3, H}, {4, H}, {0, H - 4}});
        break;
    case 10: shape = Region::RoundRect(0, 0, W + 1, H + 1, 18, 18); break;
    default: shape = Region::FromRect(RECT{0, 0, W, H}); break;
    }
    if (W > 0 && H > 0)
        setMask(shape.toQRegion());
}

// ---------------------------------------------------------------- properties

#define SETTER(NAME, FIELD, TYPE, EXTRA)                                                                                 \
    void ThemedButton::set##NAME(TYPE v)                                                                                 \
    {                                                                                                                    \
        FIELD = v;                                                                                                       \
        notify(#NAME);                                                                                                   \
        EXTRA;                                                                                                           \
    }

void ThemedButton::setStyle(int v)
{
    style = v;
    notify("Style");
    Layout();
    Refresh();
    Layout();
    Refresh();
}

void ThemedButton::setCaption(const QString& v)
{
    caption = v;
    notify("Caption");
    grabAccessKey();
    Layout();
}

SETTER(Icon, icon, const QImage&, Layout())
SETTER(IconSize, iconSize, int, Layout())
SETTER(IconAlign, iconAlign, int, Layout())
SETTER(CaptionAlign, captionAlign, int, Layout())
SETTER(ShowFocus, showFocus, bool, Refresh())
SETTER(UseCustomColors, useCustomColors, bool, Refresh())
SETTER(Backcolor, backColor, OLE_COLOR, Refresh())
SETTER(HighlightColor, highlightColor, OLE_COLOR, Refresh())
SETTER(FontColor, fontColor, OLE_COLOR, Refresh())
SETTER(FontHighlightColor, fontHighlightColor, OLE_COLOR, Refresh())
SETTER(ToolTipType, toolTipType, int, Refresh())
SETTER(ButtonType, buttonType, int, Refresh())
SETTER(Value, value, bool, Refresh())
SETTER(MaskColor, maskColor, OLE_COLOR, Refresh())
SETTER(UseMaskColor, useMaskColor, bool, Refresh())
SETTER(RoundedBordersByTheme, roundedByTheme, bool, Refresh())
SETTER(ToolTipBackColor, ttBack, OLE_COLOR, Refresh())
SETTER(ToolTipForeColor, ttFore, OLE_COLOR, Refresh())

void ThemedButton::setNonThemeStyle(int v)
{
    nonThemeStyle = v;
    notify("NonThemeStyle");
    Layout();
}

void ThemedButton::setEnabledProperty(bool v)
{
    enabled = v;
    state = 1;
    Refresh();
    notify("Enabled");
}

void ThemedButton::setToolTipText(const QString& v)
{
    // A host's assignment reaches the container's copy first.
    containerToolTip = v;
    toolTipText = v;
    ShowTip();
    notify("ToolTipText");
    Refresh();
}

void ThemedButton::setToolTipTitle(const QString& v)
{
    toolTipTitle = v;
    notify("TooltipTitle");
    Refresh();
}

void ThemedButton::setToolTipIcon(int v)
{
    toolTipIcon = v;
    notify("TooltipIcon");
    Refresh();
}

void ThemedButton::setFontProperty(const QFont& f)
{
    surface.Font = f;
    Refresh();
    notify("Font");
}

void ThemedButton::setMousePointer(int v)
{
    mousePointer = v;
    // Pointer numbers of the platform: 0 default, 1 arrow, 2 cross, 3 I-beam, 11 hourglass, 99 custom.
    switch (v) {
    case 2: setCursor(Qt::CrossCursor); break;
    case 3: setCursor(Qt::IBeamCursor); break;
    case 11: setCursor(Qt::WaitCursor); break;
    case 1: setCursor(Qt::ArrowCursor); break;
    default: unsetCursor(); break;
    }
    notify("MousePointer");
}

void ThemedButton::setRightToLeft(bool v)
{
    rtl = v;
    notify("bRTLText");
    Refresh();
}

#undef SETTER

// ----------------------------------------------------------- notifications

void ThemedButton::InitProperties(const QString& instanceName)
{
    style = 0;
    caption = instanceName;
    iconSize = 16;
    icon = QImage();
    captionFormat = 17;
    enabled = true;
    showFocus = useCustomColors = false;
    backColor = OleTranslateColor(0x8000000F);
    highlightColor = OleTranslateColor(0x8000000D);
    fontColor = fontHighlightColor = OleTranslateColor(0x80000012);
    toolTipType = 1;
    captionAlign = 0;
    iconAlign = 1;
    edgeMargin = 4;
    ttBack = ttFore = 0;
    grabAccessKey();
}

void ThemedButton::ReadProperties(PropertyBag& bag, bool runTime)
{
    state = 1;
    userMode = runTime;
    auto colour = [&](const char* name, OLE_COLOR def) {
        return static_cast<OLE_COLOR>(BagInt(bag.ReadProperty(name, static_cast<qint64>(def)), def));
    };
    icon = BagImage(bag.ReadProperty("Icon", QVariant()));
    style = static_cast<qint16>(BagInt(bag.ReadProperty("Style", 3), 3));
    caption = bag.ReadProperty("Caption", "ThemedButton").toString();
    iconSize = static_cast<qint16>(BagInt(bag.ReadProperty("IconSize", 16), 16));
    captionAlign = static_cast<int>(BagInt(bag.ReadProperty("CaptionAlign", 0), 0));
    iconAlign = static_cast<int>(BagInt(bag.ReadProperty("IconAlign", 1), 1));
    nonThemeStyle = static_cast<int>(BagInt(bag.ReadProperty("iNonThemeStyle", 5), 5));
    enabled = BagBool(bag.ReadProperty("Enabled", true), true);
    showFocus = BagBool(bag.ReadProperty("ShowFocus", false), false);
    useCustomColors = BagBool(bag.ReadProperty("USeCustomColors", false), false);
    backColor = colour("BackColor", sys(COLOR_BTNFACE));
    highlightColor = colour("HighlightColor", sys(COLOR_HIGHLIGHT));
    fontColor = colour("FontColor", sys(COLOR_BTNTEXT));
    fontHighlightColor = colour("FontHighlightColor", sys(COLOR_BTNTEXT));
    containerToolTip = bag.ReadProperty("ToolTipText", toolTipText).toString();
    toolTipText = bag.ReadProperty("ToolTipText", QString()).toString();
    setToolTip(containerToolTip);
    toolTipTitle = bag.ReadProperty("Tooltiptitle", QString()).toString();
    toolTipIcon = static_cast<int>(BagInt(bag.ReadProperty("ToolTipIcon", 0), 0));
    toolTipType = static_cast<int>(BagInt(bag.ReadProperty("ToolTipType", 1), 1));
    ttBack = colour("ttBackColor", sys(COLOR_INFOBK));
    ttFore = colour("ttForeColor", sys(COLOR_INFOTEXT));
    surface.Font = BagFont(bag.ReadProperty("Font", surface.Font), surface.Font);
    buttonType = static_cast<int>(BagInt(bag.ReadProperty("ButtonType", 0), 0));
    value = BagBool(bag.ReadProperty("Value", false), false);
    useMaskColor = BagBool(bag.ReadProperty("UseMaskColor", false), false);
    maskColor = colour("MaskColor", 0xC0C0C0);
    mousePointer = static_cast<qint16>(BagInt(bag.ReadProperty("MousePointer", 0), 0));
    roundedByTheme = BagBool(bag.ReadProperty("RoundedBordersByTheme", true), true);
    rtl = BagBool(bag.ReadProperty("bRTLText", false), false);
    if (runTime)
        trackingAvailable = true;   // Qt's enter and leave events
    grabAccessKey();
    Layout();
}

void ThemedButton::WriteProperties(PropertyBag& bag) const
{
    auto colour = [&](const char* name, OLE_COLOR v, OLE_COLOR def) {
        bag.WriteProperty(name, static_cast<qint64>(v), static_cast<qint64>(def));
    };
    bag.WriteProperty("Icon", icon);
    bag.WriteProperty("Style", style, 3);
    bag.WriteProperty("Caption", caption, QString());
    bag.WriteProperty("IconSize", iconSize, 16);
    bag.WriteProperty("IconAlign", iconAlign, 1);
    bag.WriteProperty("CaptionAlign", captionAlign, 0);
    bag.WriteProperty("iNonThemeStyle", nonThemeStyle, 5);
    bag.WriteProperty("Enabled", enabled, true);
    bag.WriteProperty("ShowFocus", showFocus, false);
    bag.WriteProperty("USeCustomColors", useCustomColors, false);
    colour("BackColor", backColor, sys(COLOR_BTNFACE));
    colour("HighlightColor", highlightColor, sys(COLOR_HIGHLIGHT));
    colour("FontColor", fontColor, sys(COLOR_BTNTEXT));
    colour("FontHighlightColor", fontHighlightColor, sys(COLOR_BTNTEXT));
    bag.WriteProperty("ToolTipText", toolTipText, containerToolTip);
    bag.WriteProperty("Tooltiptitle", toolTipTitle);
    bag.WriteProperty("ToolTipIcon", toolTipIcon);
    bag.WriteProperty("ToolTipType", toolTipType);
    colour("ttBackColor", ttBack, sys(COLOR_INFOBK));
    colour("ttForeColor", ttFore, sys(COLOR_INFOTEXT));
    bag.WriteProperty("Font", surface.Font);
    bag.WriteProperty("ButtonType", buttonType, 0);
    bag.WriteProperty("Value", value, false);
    colour("MaskColor", maskColor, 0xC0C0C0);
    bag.WriteProperty("UseMaskColor", useMaskColor, false);
    bag.WriteProperty("MousePointer", mousePointer, 0);
    bag.WriteProperty("RoundedBordersByTheme", roundedByTheme, true);
    bag.WriteProperty("bRTLText", rtl, false);
}

void ThemedButton::Show()
{
    shown = true;
    Layout();
    Refresh();
}

void ThemedButton::Hide()
{
    shown = false;
    containerToolTip = toolTipText;
    setToolTip(containerToolTip);
}

void ThemedButton::ResizeNotify() { Layout(); }

void ThemedButton::EnterFocus()
{
    hasFocus = true;
    Refresh();
}

void ThemedButton::ExitFocus()
{
    hasFocus = false;
    Refresh();
}

void ThemedButton::MouseDownNotify(int b)
{
    if (b == 1) {
        state = StatePressed;
        Refresh();
    }
}

void ThemedButton::MouseUpNotify(int b)
{
    if (b == 1) {
        if (buttonType == 1 && !value) {
            state = StatePressed;
        } else {
            state = StateHot;
            DoEvents();
            if (hovering)
                emit Click();
        }
        Refresh();
    }
    lastButton = b;
}

void ThemedButton::ClickNotify()
{
    if (lastButton != 1)
        return;
    if (buttonType == 1)
        value = !value;
    state = StateHot;
    Refresh();
}

void ThemedButton::DblClickNotify()
{
    if (lastButton == 1)
        MouseDownNotify(1);
}

void ThemedButton::KeyDownNotify(int key)
{
    switch (key) {
    case 32:
        state = StatePressed;
        Refresh();
        break;
    case 39:
    case 40: focusNextChild(); break;
    case 37:
    case 38: focusPreviousChild(); break;
    case 9: emit MouseLeave(); break;
    default: break;
    }
}

void ThemedButton::KeyUpNotify(int key)
{
    if (key != 32)
        return;
    lastButton = 1;   // the click action below acts for the left button
    ClickNotify();
    emit Click();
    state = StateNormal;
    Refresh();
}

void ThemedButton::AccessKeyPress()
{
    lastButton = 1;
    if (buttonType == 1)
        value = !value;
    state = StateNormal;
}

void ThemedButton::AmbientChanged(const QString& name)
{
    if (name == "DisplayAsDefault")
        Refresh();
}

void ThemedButton::WindowMouseMove()
{
    if (!trackingAvailable || hovering)
        return;
    hovering = true;
    state = StateHot;
    Refresh();
    emit MouseEnter();
    ShowTip();
}

void ThemedButton::WindowMouseLeave()
{
    if (!trackingAvailable)
        return;
    hovering = false;
    state = StateNormal;
    HideTip();
    Refresh();
    emit MouseLeave();
}

void ThemedButton::Terminate() { trackingAvailable = false; }

// -------------------------------------------------------------- shell and about

long ThemedButton::OpenLink(const QString& link)
{
    // The link is one argument of the opener: nothing passes through a shell.
    if (link.isEmpty())
        return 2;
    return QProcess::startDetached(opener, {link}) ? 42 : 2;
}

std::unique_ptr<QDialog> ThemedButton::AboutBox()
{
    auto box = std::make_unique<QDialog>(this);
    box->setWindowTitle("About ThemedButton");
    auto* lay = new QVBoxLayout(box.get());
    lay->addWidget(new QLabel(QString("ThemedButton %1").arg(Version()), box.get()));
    auto* buttons = new QDialogButtonBox(box.get());
    QPushButton* close = buttons->addButton("Close", QDialogButtonBox::AcceptRole);
    QObject::connect(close, &QPushButton::clicked, box.get(), &QDialog::accept);
    lay->addWidget(buttons);
    return box;
}

void ThemedButton::About() { AboutBox()->exec(); }

void ThemedButton::grabAccessKey()
{
    if (accessShortcut)
        releaseShortcut(accessShortcut);
    accessShortcut = 0;
    const QKeySequence key = QKeySequence::mnemonic(caption);
    if (!key.isEmpty())
        accessShortcut = grabShortcut(key);
}

// ----------------------------------------------------------------- Qt glue

void ThemedButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, surface.Image());
}

void ThemedButton::resizeEvent(QResizeEvent*) { ResizeNotify(); }
void ThemedButton::showEvent(QShowEvent*) { Show(); }
void ThemedButton::hideEvent(QHideEvent*) { Hide(); }
void ThemedButton::focusInEvent(QFocusEvent*) { EnterFocus(); }
void ThemedButton::focusOutEvent(QFocusEvent*)
{
    spacePressed = false;
    ExitFocus();
}

bool ThemedButton::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Tab)
        KeyDownNotify(9);   // before the focus moves on
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == accessShortcut) {
        AccessKeyPress();
        return true;
    }
    return QWidget::event(e);
}

void ThemedButton::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Space:
        if (!e->isAutoRepeat()) {
            spacePressed = true;
            KeyDownNotify(32);
        }
        break;
    case Qt::Key_Right: KeyDownNotify(39); break;
    case Qt::Key_Down: KeyDownNotify(40); break;
    case Qt::Key_Left: KeyDownNotify(37); break;
    case Qt::Key_Up: KeyDownNotify(38); break;
    default: QWidget::keyPressEvent(e); break;
    }
}

void ThemedButton::keyReleaseEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat()) {
        if (spacePressed) {
            spacePressed = false;
            KeyUpNotify(32);
        }
    } else
        QWidget::keyReleaseEvent(e);
}

void ThemedButton::mousePressEvent(QMouseEvent* e)
{
    MouseDownNotify(VbButton(e->button()));
}

void ThemedButton::mouseReleaseEvent(QMouseEvent* e)
{
    MouseUpNotify(VbButton(e->button()));
    if (rect().contains(e->position().toPoint()))
        ClickNotify();
}

void ThemedButton::mouseDoubleClickEvent(QMouseEvent*) { DblClickNotify(); }
void ThemedButton::enterEvent(QEnterEvent*) { WindowMouseMove(); }
void ThemedButton::leaveEvent(QEvent*)
{
    if (hovering)
        WindowMouseLeave();
}

void ThemedButton::changeEvent(QEvent* e)
{
    // The desktop's theme or colours changed.
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::StyleChange)
        Refresh();
    QWidget::changeEvent(e);
}


} // namespace murivo
