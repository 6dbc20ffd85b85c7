#pragma once
// The popup menu's state and what the library's own hosts and the tests
// reach of it: the popup window's pointer, the watch's tick and the source
// of the held mouse buttons.

#include <quilObjects/quilPUMenu.h>

#include <QPointer>
#include <QWidget>
#include <QSharedPointer>
#include <QTimer>
#include <functional>

namespace quil {

class PUMenuWindow;
class PressWatch;

class quilPUMenuPrivate {
public:
    explicit quilPUMenuPrivate(quilPUMenu* q);
    static quilPUMenuPrivate& of(const quilPUMenu* m) { return *m->d; }

    // What the popup window hears, in its own pixels; tests may call them.
    void MenuMouseMove(float y);
    void MenuClick();
    // One tick of the watch over an open menu.
    void FocusTick();

    // The open menu's keyboard: every key is the menu's. Up and Down (Tab
    // and Backtab, Home and End) move the hovered row through MenuMouseMove
    // as the pointer does, over the rows that can be picked; Enter and Space
    // pick it as a click does; Escape closes the menu.
    void MenuKey(int qtKey);
    // The focus goes back where it was when the menu opened from the keyboard.
    void giveFocusBack();

    // The mouse buttons held anywhere on the screen; tests replace it.
    using ButtonSource = std::function<Qt::MouseButtons()>;
    static void SetButtonSource(ButtonSource source);

    void computeScheme();
    void drawMenu();
    int textHeight() const;
    int iconColumnWidth() const;
    int rowHeight(const quil::MenuItem& item) const;
    void drawItemIcon(const quil::MenuItem& item, int t, int h);

    quilPUMenu* const q;
    QSharedPointer<MenuItems> items;
    QSharedPointer<MenuItemListings> rows;
    PUMenuWindow* win = nullptr;
    QTimer focusTimer;
    QPointer<QObject> imageList;
    OLE_COLOR backColor = 0xFFFFFF;
    OLE_COLOR foreColor = 0xC00000;
    OLE_COLOR selectionColor = 33023;
    ColorScheme scheme;
    QString openGroup;
    short hoverRow = 0;
    int topGap = 0;
    bool menuVisible = false;
    bool greysDisabled = false;
    // What closes the open menu, and which opening it belongs to.
    PressWatch* watch = nullptr;
    unsigned openings = 0;
    // Hears the keys while the menu is open.
    QObject* keys = nullptr;
    // The widget that had the focus when a key opened the menu.
    QPointer<QWidget> priorFocus;
};

} // namespace quil
