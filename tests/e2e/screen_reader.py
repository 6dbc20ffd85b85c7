#!/usr/bin/python3
# A screen reader's session with the gallery, through the AT-SPI bus: walk
# the tree, press a button through its action, move a slider by a key and
# listen for the value event. Prints what it met, one fact a line; the test
# that runs it decides what is right.
import sys

import pyatspi
from gi.repository import GLib


def out(*words):
    print(*words, flush=True)


def find_app(name, tries=100):
    for _ in range(tries):
        for a in pyatspi.Registry.getDesktop(0):
            if a is not None and a.name == name:
                return a
        GLib.usleep(100000)
    return None


def walk(a, depth=0):
    yield a, depth
    for i in range(a.childCount):
        c = a.getChildAtIndex(i)
        if c is not None:
            yield from walk(c, depth + 1)


def extents(a):
    try:
        e = a.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return e.x, e.y, e.width, e.height
    except NotImplementedError:
        return None


def main():
    app = find_app("quil-gallery")
    if app is None:
        out("no-app")
        return 1
    objects = list(walk(app))
    out("objects", len(objects))
    for a, depth in objects:
        box = extents(a)
        size = "%dx%d" % box[2:] if box else "-"
        out("node", depth, a.getRoleName().replace(" ", "_"), size, repr(a.name))

    def first(role, name=None):
        for a, _ in objects:
            if a.getRoleName() == role and (name is None or a.name == name):
                return a
        return None

    button = first("push button", sys.argv[1] if len(sys.argv) > 1 else "Orange")
    slider = first("slider")
    opener = first("push button", "Menu...")
    log = first("text", "Event log")
    if button is None or slider is None or log is None or opener is None:
        out("missing", button is None, slider is None, log is None, opener is None)
        return 1

    state = {"keyed": False, "done": False, "menu": 0, "rows": 0}
    keys = {"Right": 0xFF53, "Down": 0xFF54, "Escape": 0xFF1B, "space": 0x20}

    def key(name):
        pyatspi.Registry.generateKeyboardEvent(keys[name], None, pyatspi.KEY_SYM)

    def finish():
        if state["done"]:
            return False
        state["done"] = True
        text = log.queryText()
        for line in text.getText(0, text.characterCount).splitlines():
            out("log", line)
        out("slider", int(slider.queryValue().currentValue))
        pyatspi.Registry.stop()
        return False

    # Each step waits for what a screen reader would hear of the last one:
    # the slider moved by a key, then a popup menu opened by Space, walked
    # by Down and closed by Escape, the focus back on its button.
    def on_event(e):
        if e.source == slider:
            if e.type.startswith("focus") and not state["keyed"]:
                state["keyed"] = True
                out("heard-focus")
                key("Right")
            elif e.type == "object:property-change:accessible-value":
                out("heard-value", int(slider.queryValue().currentValue))
                opener.queryComponent().grabFocus()
            return
        if not e.type.startswith("focus"):
            return
        role = e.source.getRoleName()
        out("focus", role.replace(" ", "_"), repr(e.source.name))
        if e.source == opener:
            state["menu"] += 1
            key("space") if state["menu"] == 1 else GLib.idle_add(finish)
        elif role == "popup menu":
            key("Down")
        elif role == "menu item":
            state["rows"] += 1
            key("Down" if state["rows"] == 1 else "Escape")

    pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-value", "focus:")

    def act():
        action = button.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        out("button-actions", ",".join(names))
        action.doAction(names.index("Press"))
        slider.queryComponent().grabFocus()
        return False

    GLib.idle_add(act)
    # Only a guard: a bridge that never answers ends the session unheard.
    GLib.timeout_add_seconds(40, finish)
    pyatspi.Registry.start()
    return 0


sys.exit(main())
