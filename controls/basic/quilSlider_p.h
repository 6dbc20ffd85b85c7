#pragma once
// The slider's state, and what the library's own code, its tools and tests
// reach beyond the public face: the look, the thumb and the labels printed.

#include <quilObjects/quilSlider.h>

#include <QString>
#include <optional>
#include <vector>

namespace quil {

class quilSliderPrivate {
public:
    enum State { StateNormal = 0, StateUnused = 1, StateHover = 2, StatePressed = 3, StateDisabled = 4, StateIdle = 5 };

    // A label as the last paint printed it.
    struct Label {
        QString text;
        int x = 0, y = 0;
        bool operator==(const Label&) const = default;
    };

    explicit quilSliderPrivate(quilSlider* owner) : q(owner) {}
    static quilSliderPrivate& of(const quilSlider* s) { return *s->d; }

    int State_() const { return state; }
    bool FocusFlag() const { return focus != 0; }
    bool Pressed() const { return pressFlag; }
    ColorScheme Scheme() const { return scheme; }
    // The thumb's offset along the groove (its left or top edge is 5 further).
    int ThumbPosition() const { return thumbPosition; }
    // Whether the point (in the slider's pixels) lies on the thumb.
    bool OverThumb(float x, float y) const;
    // The value a thumb centred at this pixel along the groove stands for.
    int ValueAt(double position) const;
    const std::vector<Label>& Labels() const { return labels; }

    void computeScheme();
    void setState(int s);
    void layoutSlider();
    int thickness() const;
    void applyPolicy();
    void resolvePending();
    void forgetPendingLater();
    int lengthAlong() const;
    int positionOf(qint64 v);
    void paintGroove();
    void paintTicks();
    void paintThumb();
    void printLabel(const QString& text, double u);

    quilSlider* const q;
    OLE_COLOR foreColor = 0;
    OLE_COLOR backColor = 0;
    OLE_COLOR tabSelectColor = 0;
    MyOrientation orientation = MyOrientation(0);
    TickStyles tickStyle = Tick_None;
    int min = 0;
    int max = 0;
    int value = 0;
    ColorScheme scheme;
    int state = StateIdle;
    int focus = 0;
    bool pressFlag = false;
    int lastReported = 0;
    int thumbPosition = 0;
    bool valueChangePending = false;
    int hintedThickness = -1;
    // A Min or Max the other end did not allow yet (Designer and uic write
    // them in their own order): taken up once it does, forgotten when the
    // event loop next runs.
    std::optional<int> pendingMin, pendingMax;
    bool forgetQueued = false;
    std::vector<Label> labels;
};

} // namespace quil
