#include "GlossButton.h"

#include "platform/forms/Forms.h"
#include "platform/forms/Mouse.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace murivo {

using namespace platform;

namespace {

int round2(double v) { return static_cast<int>(RoundHalfEven(v)); }

// The key state of a mouse-move notification: 1 left, 2 right, 4 shift, 8 control, 16 middle.
int keyStateOf(Qt::MouseButtons b, Qt::KeyboardModifiers m)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (m & Qt::ShiftModifier ? 4 : 0)
        | (m & Qt::ControlModifier ? 8 : 0) | (b & Qt::MiddleButton ? 16 : 0);
}

} // namespace

GlossButton::GlossButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface.Font = QApplication::font();
}

// ------------------------------------------------------------------ helpers

void GlossButton::GetRGB(int& red, int& green, int& blue, OLE_COLOR colour)
{
    const OLE_COLOR v = OleTranslateColor(colour);
    red = static_cast<int>(v & 0xFF);
    green = static_cast<int>((v >> 8) & 0xFF);
    blue = static_cast<int>((v >> 16) & 0xFF);
}

OLE_COLOR GlossButton::BlendColors(OLE_COLOR c1, OLE_COLOR c2, int p)
{
    p = ClampValue(p, 0, 100);
    int r1, g1, b1, r2, g2, b2;
    GetRGB(r1, g1, b1, c1);
    GetRGB(r2, g2, b2, c2);
    return RGB(r1 + ((r2 - r1) * p) / 100, g1 + ((g2 - g1) * p) / 100, b1 + ((b2 - b1) * p) / 100);
}

bool GlossButton::InCornerCircle(int a, int b, int r)
{
    const long long d = static_cast<long long>(r) * r - static_cast<long long>(a) * a;
    if (d < 0)
        return false;
    return std::abs(b - r) < round2(std::sqrt(static_cast<double>(d)));
}

bool GlossButton::InRoundRect(int x, int y, int left, int top, int w, int h, int r)
{
    const int dx = x - left, dy = y - top;
    if (r < dx && r < dy && dx + r < w && dy + r < h)
        return true;
    if (dy <= r && dx < r)
        return InCornerCircle(dx - r, dy, r);
    if (dy <= r && dx + r > w)
        return InCornerCircle(dx - w + r, dy, r);
    if (dy + r >= h && dx < r)
        return InCornerCircle(dx - r, dy - h + 2 * r, r);
    if (dy + r >= h && dx + r > w)
        return InCornerCircle(dx - w + r, dy - h + 2 * r, r);
    return 0 < dx && dx < w && 0 < dy && dy < h;
}

int GlossButton::RadiusForStyle() const
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    switch (style) {
    case 2:
    case 4:
    case 5: return ClampValue(H / 2 + 1, 1, W / 2);
    case 3: return 12;
    case 6: return ClampValue(H / 3, 1, W / 3);
    case 7: return ClampValue(H / 4 + 1, 1, W / 4);
    default: return 0;
    }
}

GlossParams GlossButton::Params() const
{
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight(), r = radius;
    const int cx = round2(W / 2.0);
    switch (style) {
    case 2: return {0, 50, r / 2, 1, r / 2, round2(1.1 * r), W + 2 * r, 300, 60, cx, H, 120};
    case 3: return {0, 70, r / 3, 0, 10, 12, W + 2 * r, 200, H > 0 ? std::min(100 - 700 / H, 80) : 0, cx, H, 130};
    case 4: return {0, 70, r / 3 - 1, 0, r / 2, r, W + 2 * r, 200, 70, cx, H, 130};
    case 5: return {0, 40, -1 - r / 2, -r, r, r + 1, W + 2 * r, 60, 60, cx, H, 130};
    default: return {0, 50, round2(r / 2.0), 2, round2(r / 2.0), r + 1, W - r, 60, 60, cx, round2(H / 2.0), 100};
    }
}

OLE_COLOR GlossButton::ContainerBackColor() const
{
    if (containerBackColor)
        return *containerBackColor;
    if (parentWidget())
        return FromQRgb(parentWidget()->palette().color(parentWidget()->backgroundRole()).rgb());
    return 0x8000000F;
}

bool GlossButton::InShape(int x, int y) const
{
    if (x < 0 || y < 0 || x >= surface.ScaleWidth() || y >= surface.ScaleHeight())
        return false;
    return style < 2 || style > 7 || shape.contains(x, y);
}

// ------------------------------------------------------------------- shape

void GlossButton::ApplyShape()
{
    interiorMask.clear();
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    if (style < 2 || style > 7) {
        shape = Region();
        clearMask();
        return;
    }
    const int r = RadiusForStyle();
    // The left half decides; the right half mirrors it about x = W / 2.
    shape = Region::FromTest(QRect(0, 0, W, H), [=](int x, int y) { return InRoundRect(std::min(x, W - x), y, 0, 0, W, H, r); });
    if (W > 0 && H > 0)
        setMask(shape.toQRegion());
    radius = std::max(r, 1);
    interiorMask.assign(static_cast<size_t>(std::max(0, W) * std::max(0, H)), 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x <= W / 2 && x < W; ++x)
            interiorMask[static_cast<size_t>(y * W + x)] = InRoundRect(x, y, 1, 1, W - 2, H - 2, radius) ? 1 : 0;
}

// -------------------------------------------------------------- properties

void GlossButton::setEnabledProperty(bool v)
{
    enabled = v;
    notify("Enabled");
    Redraw(0);
}

void GlossButton::setFontProperty(const QFont& f)
{
    surface.Font = f;
    notify("Font");
    Redraw(0);
}

void GlossButton::setCaption(const QString& v)
{
    caption = v;
    notify("Caption");
    Redraw(0);
}

void GlossButton::setIconHighLite(bool v)
{
    iconHighLite = v;
    notify("IconHighLite");
}

void GlossButton::setIconHighLiteColor(OLE_COLOR v)
{
    iconHighLiteColor = v;
    notify("IconHighLiteColor");
}

void GlossButton::setCaptionHighLite(bool v)
{
    captionHighLite = v;
    notify("CaptionHighLite");
}

void GlossButton::setCaptionHighLiteColor(OLE_COLOR v)
{
    captionHighLiteColor = v;
    notify("CaptionHighLiteColor");
}

void GlossButton::setForeColor(OLE_COLOR v)
{
    foreColor = v;
    surface.ForeColor = v;
    notify("ForeColor");
    Redraw(0);
}

void GlossButton::setPicture(const QImage& v)
{
    picture = v;
    notify("Picture");
    Redraw(0);
}

void GlossButton::setPictureAlignment(int v)
{
    if (v == pictureAlignment)
        return;
    pictureAlignment = v;
    notify("PictureAlignment");
    Redraw(0);
}

void GlossButton::setStyle(int v)
{
    if (v == style)
        return;
    style = v;
    notify("Style");
    ApplyShape();
    Redraw(0);
}

void GlossButton::setChecked(bool v)
{
    checked = v;
    if (v)
        Redraw(StateChecked);
    else if (hovering)
        Redraw(StateHover);
    else
        Redraw(StateUp);
    notify("Checked");
}

void GlossButton::colourSetter(OLE_COLOR& field, OLE_COLOR v, const char* name)
{
    field = v;
    if (colorScheme != 0) {
        colorScheme = 0;
        notify("ColorScheme");
    }
    notify(name);
    Redraw(0);
}

void GlossButton::setColorButtonHover(OLE_COLOR v) { colourSetter(colorHover, v, "ColorButtonHover"); }
void GlossButton::setColorButtonUp(OLE_COLOR v) { colourSetter(colorUp, v, "ColorButtonUp"); }
void GlossButton::setColorButtonDown(OLE_COLOR v) { colourSetter(colorDown, v, "ColorButtonDown"); }
void GlossButton::setColorBright(OLE_COLOR v) { colourSetter(colorBright, v, "ColorBright"); }

void GlossButton::setBorderBrightness(int v)
{
    borderBrightness = ClampValue(v, -100, 100);
    notify("BorderBrightness");
    Redraw(0);
}

void GlossButton::setColorScheme(int s)
{
    static const OLE_COLOR schemes[6][4] = {
        {0xD06720, 0xE99950, 0xA06710, 0xFFEDB0}, {0xD09060, 0xE06000, 0xA98050, 0xFFFAFA},
        {0x800000, 0xA00000, 0xF00000, 0xFF0000}, {0x000080, 0x0000A0, 0x0000F0, 0x0000FF},
        {0x008000, 0x00A000, 0x00C000, 0x00FF00}, {0x008080, 0x00A0A0, 0x00C0C0, 0x00FFFF},
    };
    if (s >= 1 && s <= 6) {
        const OLE_COLOR* c = schemes[s - 1];
        setColorButtonUp(c[0]);
        setColorButtonHover(c[1]);
        setColorButtonDown(c[2]);
        setColorBright(c[3]);
    }
    colorScheme = s;
    notify("ColorScheme");
    Redraw(0);
}

// ----------------------------------------------------------- notifications

void GlossButton::InitProperties(const QString& instanceName, bool userMode)
{
    if (!userMode) {
        enabled = true;
        colorUp = colorDown = 0xE99950;
        colorHover = 0xFFC090;
        colorBright = 0xFFEDB0;
    }
    caption = instanceName;
    ready = true;
}

void GlossButton::ReadProperties(PropertyBag& bag, bool userMode)
{
    const QFont ambient = parentWidget() ? parentWidget()->font() : QApplication::font();
    enabled = BagBool(bag.ReadProperty("Enabled", true), true);
    surface.Font = BagFont(bag.ReadProperty("Font", ambient), ambient);
    caption = bag.ReadProperty("Caption", "GlossButton").toString();
    iconHighLite = BagBool(bag.ReadProperty("IconHighLite", false), false);
    iconHighLiteColor = static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("IconHighLiteColor", 0x00FF00), 0x00FF00));
    captionHighLite = BagBool(bag.ReadProperty("CaptionHighLite", false), false);
    captionHighLiteColor = static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("CaptionHighLiteColor", 0x00FF00), 0x00FF00));
    foreColor = static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("ForeColor", 0), 0));
    picture = BagImage(bag.ReadProperty("Picture", QVariant()));
    pictureAlignment = static_cast<int>(BagInt(bag.ReadProperty("PictureAlignment", 0), 0));
    style = static_cast<qint16>(BagInt(bag.ReadProperty("Style", 0), 0));
    checked = BagBool(bag.ReadProperty("Checked", checked), checked);
    colorHover = static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("ColorButtonHover", 0xFFC090), 0xFFC090));
    colorUp = static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("ColorButtonUp", 0xE99950), 0xE99950));
    colorDown = static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("ColorButtonDown", 0xE99950), 0xE99950));
    colorBright = static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("ColorBright", 0xFFEDB0), 0xFFEDB0));
    borderBrightness = static_cast<int>(BagInt(bag.ReadProperty("BorderBrightness", 0), 0));
    displayHand = BagBool(bag.ReadProperty("DisplayHand", false), false);
    colorScheme = static_cast<int>(BagInt(bag.ReadProperty("ColorScheme", 0), 0));
    surface.ForeColor = foreColor;
    // A custom pointer without an image: the platform's own arrow shows either way.
    unsetCursor();
    if (userMode)
        trackingAvailable = true;   // Qt's enter and leave events
    ready = true;
}

void GlossButton::WriteProperties(PropertyBag& bag) const
{
    const QFont ambient = parentWidget() ? parentWidget()->font() : QApplication::font();
    bag.WriteProperty("Enabled", enabled, true);
    bag.WriteProperty("Font", surface.Font, ambient);
    bag.WriteProperty("Caption", caption, QString("GlossButton"));
    bag.WriteProperty("IconHighLite", iconHighLite, false);
    bag.WriteProperty("IconHighLiteColor", static_cast<qint64>(iconHighLiteColor), static_cast<qint64>(0x00FF00));
    bag.WriteProperty("CaptionHighLite", captionHighLite, false);
    bag.WriteProperty("CaptionHighLiteColor", static_cast<qint64>(captionHighLiteColor), static_cast<qint64>(0x00FF00));
    bag.WriteProperty("ForeColor", static_cast<qint64>(foreColor), static_cast<qint64>(0));
    bag.WriteProperty("Picture", picture, QImage());
    bag.WriteProperty("PictureAlignment", pictureAlignment, 0);
    bag.WriteProperty("Style", style, 0);
    bag.WriteProperty("Checked", checked);
    bag.WriteProperty("ColorButtonHover", static_cast<qint64>(colorHover));
    bag.WriteProperty("ColorButtonUp", static_cast<qint64>(colorUp));
    bag.WriteProperty("ColorButtonDown", static_cast<qint64>(colorDown));
    bag.WriteProperty("BorderBrightness", borderBrightness);
    bag.WriteProperty("ColorBright", static_cast<qint64>(colorBright));
    bag.WriteProperty("DisplayHand", displayHand);
    bag.WriteProperty("ColorScheme", colorScheme);
}

void GlossButton::SetSize(int w, int h)
{
    resize(w, h);
    surface.Resize(w, h);
}

void GlossButton::Show()
{
    ApplyShape();
    Redraw(0);
}

void GlossButton::ResizeNotify()
{
    ApplyShape();
    Redraw(0);
}

void GlossButton::EnterFocus()
{
    hasFocus = true;
    if (enabled && !checked && !hovering)
        Redraw(StateFocus);
}

void GlossButton::ExitFocus()
{
    hasFocus = false;
    if (enabled && !checked)
        Redraw(StateUp);
}

void GlossButton::KeyDownNotify(int keyCode, int)
{
    if (enabled && keyCode == 13)
        MouseDownNotify(1, 0, 0, 0);
}

void GlossButton::KeyUpNotify(int keyCode, int)
{
    if (enabled && keyCode == 13) {
        MouseUpNotify(1, 0, 0, 0);
        emit Click();
    }
}

void GlossButton::ClickNotify()
{
    if (enabled)
        emit Click();
}

void GlossButton::DblClickNotify()
{
    if (!enabled)
        return;
    Redraw(StateDown);
    emit DblClick();
}

void GlossButton::MouseDownNotify(int b, int s, float x, float y)
{
    if (!enabled)
        return;
    hasFocus = true;
    Redraw(StateDown);
    emit MouseDown(static_cast<short>(b), static_cast<short>(s), x, y);
}

void GlossButton::MouseMoveNotify(int b, int s, float x, float y)
{
    if (!enabled)
        return;
    emit MouseMove(static_cast<short>(b), static_cast<short>(s), x, y);
    const float W = static_cast<float>(surface.ScaleWidth()), H = static_cast<float>(surface.ScaleHeight());
    if (b == 1 && (x < 0 || x > W || y < 0 || y > H)) {
        hovering = false;
        Redraw(StateUp);
    }
}

void GlossButton::MouseUpNotify(int b, int s, float x, float y)
{
    if (!enabled)
        return;
    if (!checked) {
        if (hovering)
            Redraw(StateHover);
        else if (hasFocus)
            Redraw(StateFocus);
    }
    emit MouseUp(static_cast<short>(b), static_cast<short>(s), x, y);
}

void GlossButton::WindowMouseMove(int keyState, int x, int y)
{
    if (!trackingAvailable || keyState == 1 || hovering)
        return;
    const int sx = static_cast<qint16>(x), sy = static_cast<qint16>(y);
    if (0 < sx && sx < surface.ScaleWidth() && 0 < sy && sy < surface.ScaleHeight()) {
        hovering = true;
        emit MouseEnter();
        Redraw(StateHover);
    }
}

void GlossButton::WindowMouseLeave()
{
    hovering = false;
    emit MouseLeave();
    if (!checked)
        Redraw(hasFocus ? StateFocus : StateUp);
}

void GlossButton::Terminate()
{
    trackingAvailable = false;
    interiorMask.clear();
}

// ----------------------------------------------------------------- Qt glue

void GlossButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, surface.Image());
}

void GlossButton::resizeEvent(QResizeEvent*)
{
    surface.Resize(width(), height());
    ResizeNotify();
}

void GlossButton::showEvent(QShowEvent*) { Show(); }
void GlossButton::focusInEvent(QFocusEvent*) { EnterFocus(); }
void GlossButton::focusOutEvent(QFocusEvent*)
{
    enterPressed = false;
    ExitFocus();
}

void GlossButton::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (!e->isAutoRepeat()) {
            enterPressed = true;
            KeyDownNotify(13, VbShift(e->modifiers()));
        }
    } else {
        QWidget::keyPressEvent(e);
    }
}

void GlossButton::keyReleaseEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !e->isAutoRepeat()) {
        if (enterPressed) {
            enterPressed = false;
            KeyUpNotify(13, VbShift(e->modifiers()));
        }
    } else {
        QWidget::keyReleaseEvent(e);
    }
}

void GlossButton::mousePressEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    pressedInside = true;
    MouseDownNotify(VbButton(e->button()), VbShift(e->modifiers()), static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void GlossButton::mouseMoveEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    MouseMoveNotify(VbButtons(e->buttons()), VbShift(e->modifiers()), static_cast<float>(p.x()), static_cast<float>(p.y()));
    WindowMouseMove(keyStateOf(e->buttons(), e->modifiers()), static_cast<int>(p.x()), static_cast<int>(p.y()));
}

void GlossButton::mouseReleaseEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    MouseUpNotify(VbButton(e->button()), VbShift(e->modifiers()), static_cast<float>(p.x()), static_cast<float>(p.y()));
    // A click is a release over the button that was pressed.
    if (pressedInside && InShape(static_cast<int>(p.x()), static_cast<int>(p.y())))
        ClickNotify();
    pressedInside = false;
}

void GlossButton::mouseDoubleClickEvent(QMouseEvent*) { DblClickNotify(); }

void GlossButton::enterEvent(QEnterEvent* e)
{
    const QPointF p = e->position();
    WindowMouseMove(keyStateOf(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers()),
                    static_cast<int>(p.x()), static_cast<int>(p.y()));
}

void GlossButton::leaveEvent(QEvent*)
{
    // A leave arrives only after an enter asked for one.
    if (hovering)
        WindowMouseLeave();
}

} // namespace murivo
