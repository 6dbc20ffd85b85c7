#pragma once
// The list's state, and what the library's own code and tests reach beyond
// the public face: the highlighted row, the look and the shortened text.

#include <quilObjects/quilListbox.h>

#include <QPointer>
#include <QSize>

namespace quil {

class quilListboxPrivate {
public:
    explicit quilListboxPrivate(quilListbox* owner) : q(owner) {}
    static quilListboxPrivate& of(const quilListbox* l) { return *l->d; }

    short HighlightedItem() const { return highlighted; }
    ColorScheme Scheme() const { return scheme; }
    // The text printed for a caption starting at x: tabs removed, shortened to fit.
    QString FittedText(const QString& caption, int x) const;

    void computeScheme();
    void placeScrollBar();
    void layoutRows();
    void repaint(bool hoverFrame);
    void itemsChanged();
    void applyItemsChange();
    int count() const;
    // The entry under a point, or 0.
    short entryAt(float x, float y) const;
    // Raises ItemClicked for entry i; false when a handler deleted the list.
    bool raiseItemClicked(short i);
    // The entry a navigation key moves the selection to, or 0.
    short keyTarget(short keyCode) const;

    quilListbox* const q;
    QSharedPointer<ComboDatas> items = QSharedPointer<ComboDatas>::create();
    QSharedPointer<MenuItemListings> rows = QSharedPointer<MenuItemListings>::create();
    QMetaObject::Connection added, changedConn;
    quilScrollBar* bar = nullptr;
    QPointer<QObject> imageList;
    OLE_COLOR backColor = 0xFFFFFF;
    OLE_COLOR foreColor = 0xC00000;
    OLE_COLOR selectionColor = 33023;
    ColorScheme scheme;
    short selected = 0;
    short highlighted = 0;
    bool hoverSelect = false;
    bool valueFont = false;
    bool mouseDown = false;
    bool focusFlag = false;
    bool hoverFrame = false;
    bool painted = false;
    bool paintedHover = false;
    bool itemsPending = false;
    QSize placed;
};

} // namespace quil
