#pragma once
// The button bar's state and its layout, which the bar's accessibility
// interface and the tests read, and the hover test the tests drive.

#include <quilObjects/quilToolbar.h>

#include <QMetaObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <vector>

namespace quil {

class quilToolbarPrivate {
public:
    explicit quilToolbarPrivate(quilToolbar* q) : q(q) {}
    static quilToolbarPrivate& of(const quilToolbar* t) { return *t->d; }

    // Where one button lies: its drawn box and the area the pointer hits.
    struct ButtonBox {
        QRect frame;   // left x - 7, top 3, w wide, h + 6 high; the outline reaches one pixel further
        QRect hit;     // the pixels that count as over the button
        int textX = 0, textY = 0;
        int x = 0;     // the running position the button was laid out at
        int w = 0, h = 0;
    };
    // Button i (1-based) as the current font and image list lay it out; an
    // empty box for a bad number.
    ButtonBox Box(int i) const;
    std::vector<ButtonBox> layout() const;

    // What the bar hears of the pointer, in its own pixels; tests may call it.
    void HoverTest(float x, float y);
    // The pointer over button i, whose box is b.
    void hoverItem(int i, const ButtonBox& b);

    // The keyboard: Left and Right move the current button (shown with the
    // hover look while the bar has the focus) between the buttons that can
    // be pressed; Enter and Space press it, and Down a menu button, as a
    // click does.
    void hookKeys();
    bool pressable(int i) const;
    // The next pressable button from i in the direction step, or 0.
    int nextPressable(int i, int step) const;
    // Keeps the keyboard's current button on one that can be pressed, or 0.
    void settleKeyButton();
    // A click on button i, press and release; false when a handler deleted the bar.
    bool pressByKey(int i);

    void applyLook();
    void openButtonMenu(int width);
    void drawButtonBox(const QRect& r, OLE_COLOR c1, OLE_COLOR c2);
    void drawButtonIcon(const ToolbarItem& item, int x, int y, int h);
    void drawDownArrow(int x, int y, int w, OLE_COLOR c);
    // Repaints when something the face shows has changed since the last paint.
    void refreshIfChanged();
    bool validButton(int i) const;

    quilToolbar* const q;
    QSharedPointer<quil::ToolbarItems> items;
    QMetaObject::Connection added, changedConn;
    quilPUMenu* menu = nullptr;
    QPointer<QObject> menuImageList;
    QPointer<QObject> imageList;
    OLE_COLOR backColor = 0xFFFFFF;
    OLE_COLOR foreColor = 0xC00000;
    OLE_COLOR selectionColor = 33023;
    ColorScheme scheme;
    short hoverButton = 0;
    // The keyboard's current button.
    short keyButton = 0;
    short menuButton = 0;
    int menuLeft = 0;
    int menuTop = 0;
    int barHeight = 0;
    QSize hinted;
    bool buttonDown = false;
    // What the last paint showed of the pointer's state.
    short paintedHover = -1;
    bool paintedDown = false;
};

} // namespace quil
