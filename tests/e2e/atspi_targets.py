# SPDX-License-Identifier: GPL-3.0-or-later
"""Plays the game as a pupil does, seeing it through the accessibility bus.

Usage:
  atspi_targets.py labels PID            score, pupil, record name, record score: one
                                         "key: value" line each, an empty label as empty
  atspi_targets.py hit PID               clicks a good target (a multiple of 5, or of
                                         $ZANFIRO_E2E_DIVISOR when set) right after a
                                         shuffle tick, then prints "clicked: N" and what came of
                                         it: "score: S" or "box: TEXT"
  atspi_targets.py decoy PID             the same with a decoy (a number that is not)
  atspi_targets.py box PID               "box: TEXT" for the message box that is open
  atspi_targets.py wait-score PID TEXT   waits until the score reads TEXT; prints "score: S"
  atspi_targets.py area PID              "client: X Y W H" and "area: X Y W H" on the desktop:
                                         the client area and the controls' area inside it
A click that meets neither a good target nor a decoy (the shuffle moved it in between, or
something else covers it) is tried again after the next tick. Exits non-zero, saying why on
stderr, when the window cannot be read or nothing came of a few clicks.
"""
import ctypes
import os
import sys
import time

import pyatspi

from atspi_read import find_application, fresh_name, showing, shown, walk

TITLES = {
    "Punti complessivi": "score",
    "Sfidante": "pupil",
    "Il record  è di ": "record name",
    "con punti": "record score",
}
BOX_ROLES = (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)
POLL = 0.015
SHUFFLE_TICK = 1.3
PARKING = (1200, 1000)
DIVISOR = int(os.environ.get("ZANFIRO_E2E_DIVISOR", "5"))
CLICK_HOLD = 0.02


def fail(why):
    print("atspi_targets: " + why, file=sys.stderr)
    sys.exit(1)


def main_window(app):
    for top in app:
        if top is not None and top.getRole() == pyatspi.ROLE_FRAME:
            return top
    fail("no main window")


def titled_values(app):
    """Each value label with the caption that titles it."""
    values = {}
    for node in walk(main_window(app)):
        for relation in node.getRelationSet():
            if relation.getRelationType() != pyatspi.RELATION_LABELLED_BY:
                continue
            for i in range(relation.getNTargets()):
                caption = relation.getTarget(i).name
                if caption in TITLES:
                    values[TITLES[caption]] = (node, caption)
    missing = sorted(set(TITLES.values()) - set(values))
    if missing:
        fail("no label titled for: " + ", ".join(missing))
    return values


def value_text(entry):
    # Qt names a label with no text after the caption that titles it, so that caption is what
    # an empty label reads as.
    node, caption = entry
    name = fresh_name(node) or ""
    return "" if name == caption else name


def extents(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def inside(point, rect):
    x, y, w, h = rect
    return x <= point[0] < x + w and y <= point[1] < y + h


def fillers(node):
    return [c for c in node if c is not None and c.getRole() == pyatspi.ROLE_FILLER]


def client_and_area(app):
    """The client area, and the area of the design's aspect inside it where the controls stand."""
    clients = fillers(main_window(app))
    if not clients:
        fail("no client area in the window")
    areas = fillers(clients[0])
    if len(areas) != 1:
        fail("no controls' area in the client area")
    return clients[0], areas[0]


class Board:
    """The controls' area of the window and the controls on it, read afresh at every look."""

    def __init__(self, app):
        self.client = client_and_area(app)[1]
        self.controls = [c for c in self.client if c is not None]
        self.targets = [i for i, c in enumerate(self.controls)
                        if c.getRole() == pyatspi.ROLE_PUSH_BUTTON and is_number(fresh_name(c))]
        if len(self.targets) != 6:
            fail("%d target buttons, expected 6" % len(self.targets))

    def look(self):
        """(index, number, rect) of every showing target, in the order of the tree."""
        seen = []
        for index in self.targets:
            node = self.controls[index]
            node.clear_cache()
            if showing(node):
                seen.append((index, node.name, extents(node)))
        return tuple(seen)

    def after_tick(self, seconds=2 * SHUFFLE_TICK + 0.4):
        """Waits for the targets on show to change, then looks again at once: the next tick is a
        whole interval away, and the first look may have straddled this one."""
        before = self.look()
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            time.sleep(POLL)
            if self.look() != before:
                break
        return self.look()

    def covers(self):
        """(index, rect) of everything showing on the client area."""
        rects = []
        for index, node in enumerate(self.controls):
            node.clear_cache()
            if showing(node):
                rects.append((index, extents(node)))
        return rects


def is_number(text):
    return bool(text) and text.lstrip("-").isdigit()


def spot(index, rect, client, others):
    """The point of a target nearest its centre that no other control covers, if the whole
    target lies on the client area."""
    x, y, w, h = rect
    cx, cy, cw, ch = client
    if w <= 0 or h <= 0 or x < cx or y < cy or x + w > cx + cw or y + h > cy + ch:
        return None
    centre = (x + w // 2, y + h // 2)
    points = [(px, py) for px in range(x + 4, x + w - 4, 4) for py in range(y + 4, y + h - 4, 4)]
    points.sort(key=lambda p: (p[0] - centre[0]) ** 2 + (p[1] - centre[1]) ** 2)
    for point in [centre] + points:
        if not any(inside(point, other) for i, other in others if i != index):
            return point
    return None


def choose(board, seen, wanted):
    client = extents(board.client)
    others = board.covers()
    for index, number, rect in seen:
        if is_number(number) and wanted(int(number)):
            point = spot(index, rect, client, others)
            if point:
                return number, point
    return None


def open_box(app):
    """The text of a message box on show, or None."""
    app.clear_cache()
    for top in app:
        if top is None or top.getRole() not in BOX_ROLES:
            continue
        for node in walk(top):
            if node.getRole() == pyatspi.ROLE_LABEL and showing(node) and fresh_name(node):
                return node.name
    return None


def outcome(app, score, before, seconds=3.0):
    """What a click came to: ("box", text), ("score", text), or None when nothing happened."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        text = open_box(app)
        if text is not None:
            return "box", text
        now = value_text(score)
        if now != before:
            return "score", now
        time.sleep(0.05)
    return None


class Pointer:
    """The mouse, worked through the X server's test extension as xdotool works it, but with no
    new process started between seeing a target and clicking it."""

    def __init__(self):
        self.x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
        self.xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(None)
        if not self.display:
            fail("no X display")

    def click(self, point):
        # Then off the window, so that no tooltip comes up under the resting pointer and passes
        # for a box.
        # The button goes down and up a few milliseconds apart, as under a finger: a window
        # manager that takes the press to raise the window first would otherwise pass on the
        # release with it.
        self.xtst.XTestFakeMotionEvent(self.display, -1, point[0], point[1], 0)
        self.xtst.XTestFakeButtonEvent(self.display, 1, True, 0)
        self.x11.XSync(self.display, False)
        time.sleep(CLICK_HOLD)
        self.xtst.XTestFakeButtonEvent(self.display, 1, False, 0)
        self.xtst.XTestFakeMotionEvent(self.display, -1, PARKING[0], PARKING[1], 0)
        self.x11.XSync(self.display, False)


def play(app, wanted, what, attempts=8):
    # An open box keeps the window from clicks, and would pass for what the click brought up.
    if open_box(app) is not None:
        fail("a message box is open: %s" % shown(open_box(app)))
    board = Board(app)
    score = titled_values(app)["score"]
    pointer = Pointer()
    for _ in range(attempts):
        seen = board.after_tick()
        choice = choose(board, seen, wanted)
        if choice is None:
            continue
        before = value_text(score)
        number, point = choice
        pointer.click(point)
        result = outcome(app, score, before)
        if result:
            print("clicked: %s" % number)
            print("%s: %s" % (result[0], shown(result[1])))
            return
        print("atspi_targets: the click at %d,%d met no target; again" % point, file=sys.stderr)
    fail("no click on a %s came to anything in %d tries" % (what, attempts))


def wait_box(app, seconds=5.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        text = open_box(app)
        if text is not None:
            print("box: %s" % shown(text))
            return
        time.sleep(0.05)
    fail("no message box")


def wait_score(app, expected, seconds=3.0):
    score = titled_values(app)["score"]
    deadline = time.monotonic() + seconds
    while True:
        now = value_text(score)
        if now == expected or time.monotonic() > deadline:
            print("score: %s" % shown(now))
            sys.exit(0 if now == expected else 1)
        time.sleep(0.05)


def main():
    if len(sys.argv) < 3:
        fail("usage: atspi_targets.py labels|hit|decoy|box|wait-score|area PID [TEXT]")
    command, app = sys.argv[1], find_application(int(sys.argv[2]))
    if command == "labels":
        values = titled_values(app)
        for key in ("score", "pupil", "record name", "record score"):
            print("%s: %s" % (key, shown(value_text(values[key]))))
    elif command == "hit":
        play(app, lambda n: n % DIVISOR == 0, "good target")
    elif command == "decoy":
        play(app, lambda n: n % DIVISOR != 0, "decoy")
    elif command == "box":
        wait_box(app)
    elif command == "wait-score" and len(sys.argv) == 4:
        wait_score(app, sys.argv[3])
    elif command == "area":
        for key, node in zip(("client", "area"), client_and_area(app)):
            print("%s: %d %d %d %d" % ((key,) + extents(node)))
    else:
        fail("unknown command " + " ".join(sys.argv[1:]))


if __name__ == "__main__":
    main()
