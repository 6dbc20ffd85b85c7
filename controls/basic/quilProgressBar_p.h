#pragma once
// The progress bar's state, its painting steps and the searching animation's
// tick, which tests step by hand.

#include <quilObjects/quilProgressBar.h>

class QTimer;

namespace quil {

class quilProgressBarPrivate {
public:
    explicit quilProgressBarPrivate(quilProgressBar* q) : q(q) {}
    static quilProgressBarPrivate& of(const quilProgressBar* b) { return *b->d; }

    // One step of the animation, as the timer runs it.
    void SearchTick();

    void paintBlocks();
    void paintComet();
    void paintCaption();
    void updateTimer();
    void applyPolicy();

    quilProgressBar* q;
    OLE_COLOR foreColor = 0;
    OLE_COLOR backColor = 0;
    QString caption;
    short value = 0;
    MyOrientation orientation = MyOrientation(0);
    MyType style = tNormal;
    // How many blocks fit, as the last block-style paint found.
    short capacity = 0;
    bool searching = false;
    QTimer* searchTimer = nullptr;
};

} // namespace quil
