#pragma once
// What the library's own controls and tests reach of quilControl beyond its
// public face: the platform surface it paints on, the hover poll and the
// pointer source tests replace.

#include <quilObjects/Surface.h>
#include <quilObjects/quilControl.h>

#include "platform/surface/Surface.h"

#include <QPoint>
#include <QTimer>
#include <functional>

namespace quil {

class SurfacePrivate {
public:
    platform::Surface face;
};

class quilControlPrivate {
public:
    static quilControlPrivate& of(const quilControl* c) { return *c->d; }

    SurfacePrivate surface;
    Surface published { &surface };
    QTimer poll;
    QPoint lastSeen;
    bool enabled = true;
    bool quiet = false;
    // A left press seen, its release not yet.
    bool pressedInside = false;
    // The last mouse notification had no control reacting to it.
    bool unheard = false;
    // The control acted on the key being handled.
    bool keyUsed = false;

    // One tick of the hover poll, as its timer runs it.
    static void PollTick(quilControl* c);
    // The screen position of the pointer; tests replace its source for every control at once.
    using PointerSource = std::function<QPoint()>;
    static void SetPointerSource(PointerSource source);
    static QPoint PointerPosition();
};

// Tells assistive technology of a property's change (Announce.cpp).
void Announce(quilControl* c, const char* name);

// The platform surface a control of the library paints its face on.
inline platform::Surface& faceOf(const quilControl* c) { return quilControlPrivate::of(c).surface.face; }

} // namespace quil
