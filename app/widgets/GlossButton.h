#pragma once
// The program's owner-drawn command button: eight face styles, six colour
// schemes, five visual states, a rounded window shape, caption and picture.
// It draws into its surface and shows that image; the host notifications are
// public methods, called from Qt's events or directly by tests.

#include "platform/forms/PropertyBag.h"
#include "platform/surface/Surface.h"

#include <QImage>
#include <QWidget>
#include <optional>

namespace murivo {

using platform::OLE_COLOR;

struct GlossParams {
    int ShineStartPct, ShineStepPct, ShineLeft, ShineTop, ShineCorner, ShineBottom, ShineRight;
    int GlowWidthPct, GlowHeightPct, GlowCenterX, GlowCenterY, GlowGain;
};

class GlossButton : public QWidget {
    Q_OBJECT
public:
    enum State { StateUp = 0, StateDown = 1, StateFocus = 2, StateHover = 3, StateChecked = 4 };

    explicit GlossButton(QWidget* parent = nullptr);

    // Sets the size of the window and its surface without any notification.
    void SetSize(int w, int h);

    // Host notifications.
    void InitProperties(const QString& instanceName, bool userMode = true);
    void ReadProperties(platform::PropertyBag& bag, bool userMode = true);
    void WriteProperties(platform::PropertyBag& bag) const;
    void Show();
    void ResizeNotify();
    void EnterFocus();
    void ExitFocus();
    void KeyDownNotify(int keyCode, int shift);
    void KeyUpNotify(int keyCode, int shift);
    void ClickNotify();
    void DblClickNotify();
    void MouseDownNotify(int button, int shift, float x, float y);
    void MouseMoveNotify(int button, int shift, float x, float y);
    void MouseUpNotify(int button, int shift, float x, float y);
    // The window's own mouse move (keyState as the platform reports it: 1 = left button) and leave.
    void WindowMouseMove(int keyState, int x, int y);
    void WindowMouseLeave();
    void Terminate();

    // Public methods.
    void Redraw(int state);
    void DrawIconWCaption(int state);
    static OLE_COLOR BlendColors(OLE_COLOR c1, OLE_COLOR c2, int percent);
    static void GetRGB(int& red, int& green, int& blue, OLE_COLOR colour);
    static int ClampValue(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
    static bool InRoundRect(int x, int y, int left, int top, int w, int h, int r);
    static bool InCornerCircle(int a, int b, int r);
    GlossParams Params() const;
    int RadiusForStyle() const;   // 0 when the style has no shape

    // Properties.
    bool Enabled() const { return enabled; }
    void setEnabledProperty(bool v);
    QFont Font() const { return surface.Font; }
    void setFontProperty(const QFont& f);
    QString Caption() const { return caption; }
    void setCaption(const QString& v);
    bool IconHighLite() const { return iconHighLite; }
    void setIconHighLite(bool v);
    OLE_COLOR IconHighLiteColor() const { return iconHighLiteColor; }
    void setIconHighLiteColor(OLE_COLOR v);
    bool CaptionHighLite() const { return captionHighLite; }
    void setCaptionHighLite(bool v);
    OLE_COLOR CaptionHighLiteColor() const { return captionHighLiteColor; }
    void setCaptionHighLiteColor(OLE_COLOR v);
    OLE_COLOR ForeColor() const { return foreColor; }
    void setForeColor(OLE_COLOR v);
    QImage Picture() const { return picture; }
    void setPicture(const QImage& v);
    int PictureAlignment() const { return pictureAlignment; }
    void setPictureAlignment(int v);
    int Style() const { return style; }
    void setStyle(int v);
    bool Checked() const { return checked; }
    void setChecked(bool v);
    OLE_COLOR ColorButtonHover() const { return colorHover; }
    void setColorButtonHover(OLE_COLOR v);
    OLE_COLOR ColorButtonUp() const { return colorUp; }
    void setColorButtonUp(OLE_COLOR v);
    OLE_COLOR ColorButtonDown() const { return colorDown; }
    void setColorButtonDown(OLE_COLOR v);
    OLE_COLOR ColorBright() const { return colorBright; }
    void setColorBright(OLE_COLOR v);
    int BorderBrightness() const { return borderBrightness; }
    void setBorderBrightness(int v);
    bool DisplayHand() const { return displayHand; }
    void setDisplayHand(bool v) { displayHand = v; }
    int ColorScheme() const { return colorScheme; }
    void setColorScheme(int v);

    // The container's back colour; a host without one gives the button face.
    std::optional<OLE_COLOR> containerBackColor;
    OLE_COLOR ContainerBackColor() const;

    const platform::Surface& Surface() const { return surface; }
    // The window shape; empty for a rectangular window.
    const platform::Region& Shape() const { return shape; }
    bool InShape(int x, int y) const;
    int Radius() const { return radius; }
    bool Hovering() const { return hovering; }
    bool HasFocus() const { return hasFocus; }
    int LastState() const { return lastState; }

signals:
    void Click();
    void DblClick();
    void MouseEnter();
    void MouseLeave();
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    void MouseDown(short Button, short Shift, float X, float Y);
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    void notify(const QString& name) { emit PropertyChanged(name); }
    void ApplyShape();
    void PaintStandard(int state);
    void PaintFlat(int state);
    void PaintGloss(int state);
    void PaintGlow(OLE_COLOR F, OLE_COLOR bright, const GlossParams& p);
    void PaintPill(int state);
    void ChamferFrame(OLE_COLOR k1, OLE_COLOR k2, OLE_COLOR k3);
    void rowLerp(int y, int x1, int x2, QRgb a, QRgb z, double t);
    void colourSetter(OLE_COLOR& field, OLE_COLOR v, const char* name);

    platform::Surface surface;
    platform::Region shape;
    std::vector<unsigned char> interiorMask;
    bool enabled = true;
    QString caption = "GlossButton";
    bool iconHighLite = false;
    OLE_COLOR iconHighLiteColor = 0x00FF00;
    bool captionHighLite = false;
    OLE_COLOR captionHighLiteColor = 0x00FF00;
    OLE_COLOR foreColor = 0;
    QImage picture;
    int pictureAlignment = 0;
    int style = 0;
    bool checked = false;
    OLE_COLOR colorHover = 0xFFC090;
    OLE_COLOR colorUp = 0xE99950;
    OLE_COLOR colorDown = 0xE99950;
    OLE_COLOR colorBright = 0xFFEDB0;
    int borderBrightness = 0;
    bool displayHand = false;
    int colorScheme = 0;

    bool hovering = false;
    bool hasFocus = false;
    // The Enter press this button received; a release alone (the press went
    // to a message box that closed on it) does not click.
    bool enterPressed = false;
    bool ready = false;
    int radius = 0;
    bool trackingAvailable = false;
    int lastState = -1;
    bool pressedInside = false;
};

} // namespace murivo
