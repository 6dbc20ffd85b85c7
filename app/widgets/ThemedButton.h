#pragma once
// The second push button of the program: eleven face styles, an icon, a
// caption in five placements, a tool-tip window of its own, a toggle mode,
// and OpenLink. It repaints its whole face at every paint.

#include "platform/forms/PropertyBag.h"
#include "platform/surface/Surface.h"

#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace murivo {

using platform::OLE_COLOR;
using platform::RECT;

// The control's own tip: a balloon (with a pointer) or a rectangle, with title and icon.
class TipWindow : public QWidget {
    Q_OBJECT
public:
    TipWindow(bool balloon, QWidget* owner);
    void setContent(const QString& text, const QString& title, int icon, OLE_COLOR fore, OLE_COLOR back);
    bool Balloon() const { return balloon; }
    QString Text() const { return text; }
    QString Title() const { return title; }
    int Icon() const { return icon; }
    QColor Fore() const { return fore; }
    QColor Back() const { return back; }
    void showNear(const QPoint& global);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    bool balloon;
    QString text, title;
    int icon = 0;
    QColor fore, back;
};

class ThemedButton : public QWidget {
    Q_OBJECT
public:
    enum State { StateNormal = 1, StateHot = 2, StatePressed = 3, StateDisabled = 4, StateDefaulted = 5 };

    explicit ThemedButton(QWidget* parent = nullptr);
    ~ThemedButton() override;

    // Host notifications.
    void InitProperties(const QString& instanceName);
    void ReadProperties(platform::PropertyBag& bag, bool userMode = true);
    void WriteProperties(platform::PropertyBag& bag) const;
    void Show();
    void Hide();
    void ResizeNotify();
    void EnterFocus();
    void ExitFocus();
    void MouseDownNotify(int button);
    void MouseUpNotify(int button);
    void ClickNotify();
    void DblClickNotify();
    void KeyDownNotify(int keyCode);
    void KeyUpNotify(int keyCode);
    void AccessKeyPress();
    void AmbientChanged(const QString& name);
    void WindowMouseMove();
    void WindowMouseLeave();
    void Terminate();

    // Public methods.
    void Refresh();
    bool PaintIconGrayscale(platform::Surface* target, const QImage& icon, int x, int y, int height, int width);
    long OpenLink(const QString& link);
    QString Version() const { return "1.0"; }
    void About();
    std::unique_ptr<QDialog> AboutBox();

    // Colour helpers and line primitives, shared with the face painters.
    static OLE_COLOR AddToChannels(OLE_COLOR c, int k);
    static OLE_COLOR LightenColor(OLE_COLOR c, int k);
    static OLE_COLOR AverageColor(OLE_COLOR a, OLE_COLOR b);
    void VerticalGradient(OLE_COLOR c1, OLE_COLOR c2, int x1, int y, int x2, int n);
    void HorizontalGradient(OLE_COLOR c1, OLE_COLOR c2, int x1, int y1, int x2, int y2);
    void OutlineRect(int x, int y, int w, int h, OLE_COLOR c);
    void EtchedFrame(int x, int y, int w, int h, OLE_COLOR outer, OLE_COLOR inner, OLE_COLOR corner);

    // Properties.
    int Style() const { return style; }
    void setStyle(int v);
    QString Caption() const { return caption; }
    void setCaption(const QString& v);
    QImage Icon() const { return icon; }
    void setIcon(const QImage& v);
    int IconSize() const { return iconSize; }
    void setIconSize(int v);
    int IconAlign() const { return iconAlign; }
    void setIconAlign(int v);
    int CaptionAlign() const { return captionAlign; }
    void setCaptionAlign(int v);
    int NonThemeStyle() const { return nonThemeStyle; }
    void setNonThemeStyle(int v);
    bool Enabled() const { return enabled; }
    void setEnabledProperty(bool v);
    bool ShowFocus() const { return showFocus; }
    void setShowFocus(bool v);
    bool UseCustomColors() const { return useCustomColors; }
    void setUseCustomColors(bool v);
    OLE_COLOR Backcolor() const { return backColor; }
    void setBackcolor(OLE_COLOR v);
    OLE_COLOR HighlightColor() const { return highlightColor; }
    void setHighlightColor(OLE_COLOR v);
    OLE_COLOR FontColor() const { return fontColor; }
    void setFontColor(OLE_COLOR v);
    OLE_COLOR FontHighlightColor() const { return fontHighlightColor; }
    void setFontHighlightColor(OLE_COLOR v);
    QString ToolTipText() const { return toolTipText; }
    void setToolTipText(const QString& v);
    QString ToolTipTitle() const { return toolTipTitle; }
    void setToolTipTitle(const QString& v);
    int ToolTipIcon() const { return toolTipIcon; }
    void setToolTipIcon(int v);
    int ToolTipType() const { return toolTipType; }
    void setToolTipType(int v);
    OLE_COLOR ToolTipBackColor() const { return ttBack; }
    void setToolTipBackColor(OLE_COLOR v);
    OLE_COLOR ToolTipForeColor() const { return ttFore; }
    void setToolTipForeColor(OLE_COLOR v);
    QFont Font() const { return surface.Font; }
    void setFontProperty(const QFont& f);
    int ButtonType() const { return buttonType; }
    void setButtonType(int v);
    bool Value() const { return value; }
    void setValue(bool v);
    OLE_COLOR MaskColor() const { return maskColor; }
    void setMaskColor(OLE_COLOR v);
    bool UseMaskColor() const { return useMaskColor; }
    void setUseMaskColor(bool v);
    int MousePointer() const { return mousePointer; }
    void setMousePointer(int v);
    bool RoundedBordersByTheme() const { return roundedByTheme; }
    void setRoundedBordersByTheme(bool v);
    bool RightToLeft() const { return rtl; }
    void setRightToLeft(bool v);

    // What the host provides.
    QString containerToolTip;        // the container's tool-tip text for the control
    bool displayAsDefault = false;   // the container marks this as its default button
    bool userMode = true;
    // Whether the desktop's style can draw push buttons (Style 6); tests turn it off.
    bool themeAvailable = true;
    // How links are opened: the program is given the link as its one argument.
    static QString opener;

    // Inspection.
    const platform::Surface& Surface() const { return surface; }
    const platform::Region& Shape() const { return shape; }
    bool InShape(int x, int y) const { return shape.contains(x, y); }
    int StateField() const { return state; }
    int LastPaintedState() const { return paintedState; }
    int EdgeMargin() const { return edgeMargin; }
    RECT CaptionRect() const { return captionRect; }
    unsigned CaptionFormat() const { return captionFormat; }
    TipWindow* tipWindow() const { return tip.data(); }
    bool Hovering() const { return hovering; }
    // Tests size the surface without showing a window.
    void SetSize(int w, int h);
    // Paints the face of a given visual state, as the renderer shows states.
    void PaintState(int s)
    {
        state = s;
        Refresh();
    }

signals:
    void Click();
    void MouseEnter();
    void MouseLeave();
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void focusOutEvent(QFocusEvent*) override;
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void changeEvent(QEvent*) override;

private:
    void notify(const QString& name) { emit PropertyChanged(name); }
    void Layout();
    void ApplyStyleShape();
    void ShowTip();
    void HideTip();
    void paintFace(int s);
    void Face0(int s);
    void Face1(int s);
    void Face2(int s);
    void Face3(int s);
    void Face4(int s);
    bool DrawThemed(int s);
    void Face5System(int s);
    void Face5Custom(int s);
    void Face7(int s);
    void Face8(int s);
    void Face9(int s);
    void Face10(int s);
    void drawIcon(int s);
    void DrawPicture(int x, int y, int size, std::optional<OLE_COLOR> solid, bool grey);
    void drawCaption(int s);
    void setBackground(OLE_COLOR c);
    void line(int x1, int y1, int x2, int y2, OLE_COLOR c) { surface.Line(x1, y1, x2, y2, c); }
    void set(int x, int y, OLE_COLOR c) { surface.SetPixelV(x, y, c); }
    OLE_COLOR sys(int n) const;
    OLE_COLOR base() const;
    OLE_COLOR hl() const;
    void grabAccessKey();

    platform::Surface surface;
    platform::Region shape;
    QPointer<TipWindow> tip;
    int style = 3;
    QString caption = "ThemedButton";
    QImage icon;
    int iconSize = 16;
    int iconAlign = 1;
    int captionAlign = 0;
    int nonThemeStyle = 5;
    bool enabled = true;
    bool showFocus = false;
    bool useCustomColors = false;
    OLE_COLOR backColor;
    OLE_COLOR highlightColor;
    OLE_COLOR fontColor;
    OLE_COLOR fontHighlightColor;
    QString toolTipText;
    QString toolTipTitle;
    int toolTipIcon = 0;
    int toolTipType = 1;
    OLE_COLOR ttBack;
    OLE_COLOR ttFore;
    int buttonType = 0;
    bool value = false;
    OLE_COLOR maskColor = 0xC0C0C0;
    bool useMaskColor = false;
    int mousePointer = 0;
    bool roundedByTheme = true;
    bool rtl = false;

    bool hasFocus = false;
    bool shown = false;
    int state = 1;
    int paintedState = 0;
    int edgeMargin = 3;
    RECT controlRect;
    RECT captionRect;
    unsigned captionFormat = 17;
    bool hovering = false;
    int lastButton = 0;
    // The Space press this button received; a release alone does not click.
    bool spacePressed = false;
    bool trackingAvailable = false;
    int accessShortcut = 0;
};

} // namespace murivo
