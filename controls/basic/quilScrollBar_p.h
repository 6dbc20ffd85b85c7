#pragma once
// The scroll bar's state, and what the library's own code, its tools and
// tests reach beyond the public face: the geometry along the bar, the look
// and the arrow buttons.

#include <quilObjects/quilScrollBar.h>

#include <QSize>
#include <optional>

namespace quil {

class quilXButton;

class quilScrollBarPrivate {
public:
    enum State { StateNormal = 0, StateUnused = 1, StateHover = 2, StateDragging = 3, StateDisabled = 4, StateLeft = 5 };

    // Geometry along the bar, in pixels.
    struct Geometry {
        int L = 0, T = 0, s = 0, b = 0, TL = 0, TR = 0;
    };

    explicit quilScrollBarPrivate(quilScrollBar* owner) : q(owner) {}
    static quilScrollBarPrivate& of(const quilScrollBar* b) { return *b->d; }

    Geometry Layout() const;
    int ThumbOffset() const { return thumbOffset; }
    int State_() const { return state; }
    bool Dragging() const { return dragging; }
    ColorScheme Scheme() const { return scheme; }
    // The arrow with that index (0 left or top, 1 right or bottom).
    quilControl* Arrow(int index) const;
    // Whether the point (in the bar's pixels) lies on the thumb.
    bool OverThumb(int x, int y) const;

    void computeScheme();
    void setState(int s);
    void layoutBar();
    void setUpArrows();
    void paintThumb(const Geometry& g);
    int offsetForValue(const Geometry& g) const;
    int valueForOffset(double d, const Geometry& g) const;
    void arrowClicked(int index);
    // Arrows step, Page Up and Down move a tenth of the range, Home and End go
    // to the ends, as on a QScrollBar; false for a key the bar does not use.
    bool moveByKey(short keyCode);
    void wireArrow(int index);
    void applyPolicy();
    void resolvePending();
    void settle();
    void forgetPendingLater();

    quilScrollBar* const q;
    OLE_COLOR foreColor = 0;
    OLE_COLOR backColor = 0;
    int min = 0;
    int max = 0;
    int value = 0;
    MyOrientation orientation = MyOrientation(0);
    int state = StateNormal;
    ColorScheme scheme;
    bool dragging = false;
    int lastReported = 0;
    int thumbOffset = 0;
    int grabOffset = 0;
    bool valueChangePending = false;
    QSize laidOut;
    // Writes that the range did not allow yet (Designer and uic write Min,
    // Max and Value in their own order): taken up once the range allows
    // them, forgotten when the event loop next runs.
    std::optional<int> pendingMin, pendingMax, pendingValue;
    bool forgetQueued = false;
    quilXButton* arrows[2] = {nullptr, nullptr};
};

} // namespace quil
