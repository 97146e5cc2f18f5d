# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the game window as a screen reader does, through the accessibility bus.

Usage: atspi_read.py PID

Prints one "key: value" line per fact, for the calling test to check:
  score, pupil, record name, record score  the labels a caption titles ("labelled by")
  clock, clock a second later              the countdown, read twice
  clock announcements                      name changes of the clock heard in that second
  target                                   the number on a target button that is showing
  hidden button                            a control never shown, with its showing state
Exits non-zero, saying why on stderr, when the window cannot be read.
"""
import re
import sys
import time

import pyatspi
from gi.repository import GLib

TITLES = {
    "Punti complessivi": "score",
    "Tempo restante": "clock",
    "Sfidante": "pupil",
    "Il record  è di ": "record name",
    "con punti": "record score",
}
NEVER_SHOWN = "Inizio"


def fail(why):
    print("atspi_read: " + why, file=sys.stderr)
    sys.exit(1)


def find_application(pid, seconds=10.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
        time.sleep(0.2)
    fail("no application with process id %d on the accessibility bus" % pid)


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def fresh_name(node):
    # The client library may keep a name it read before; a screen reader asks again.
    node.clear_cache()
    return node.name


def shown(text):
    # One line per fact: a line break inside a name is printed as \n.
    return (text or "").replace("\\", "\\\\").replace("\n", "\\n")


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def titled_values(app):
    values = {}
    for node in walk(app):
        for relation in node.getRelationSet():
            if relation.getRelationType() != pyatspi.RELATION_LABELLED_BY:
                continue
            for i in range(relation.getNTargets()):
                key = TITLES.get(relation.getTarget(i).name)
                if key:
                    values[key] = node
    missing = sorted(set(TITLES.values()) - set(values))
    if missing:
        fail("no label titled for: " + ", ".join(missing))
    return values


class NameChanges:
    """The names a screen reader is told about as they change, for one object."""

    EVENT = "object:property-change:accessible-name"

    def __init__(self, source):
        self.source = source
        self.heard = []
        pyatspi.Registry.registerEventListener(self.on_change, self.EVENT)

    def on_change(self, event):
        if event.source == self.source:
            self.heard.append(event.source.name)

    def listen(self, seconds):
        GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
        pyatspi.Registry.start()

    def close(self):
        pyatspi.Registry.deregisterEventListener(self.on_change, self.EVENT)


def showing_target(app, seconds=6.0):
    # A shuffle tick may hide every target it has just shown, so a few ticks are watched.
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for node in walk(app):
            if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and showing(node) \
                    and re.fullmatch(r"-?[0-9]+", fresh_name(node) or ""):
                return shown(node.name)
        time.sleep(0.3)
    fail("no target button showing a number")


def main():
    if len(sys.argv) != 2:
        fail("usage: atspi_read.py PID")
    app = find_application(int(sys.argv[1]))
    values = titled_values(app)
    for key in ("score", "pupil", "record name", "record score"):
        print("%s: %s" % (key, shown(fresh_name(values[key]))))
    clock = values["clock"]
    # The game hears of a new listener over the bus: give that a moment before the first read.
    changes = NameChanges(clock)
    changes.listen(0.5)
    print("clock: %s" % shown(fresh_name(clock)))
    changes.listen(1.2)
    print("clock a second later: %s" % shown(fresh_name(clock)))
    changes.close()
    print("clock announcements: %s" % " ".join(shown(name) for name in changes.heard))
    print("target: %s" % showing_target(app))
    hidden = [n for n in walk(app) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == NEVER_SHOWN]
    if not hidden:
        fail("the %s button is not in the tree" % NEVER_SHOWN)
    print("hidden button: %s showing=%s" % (NEVER_SHOWN, "yes" if showing(hidden[0]) else "no"))


if __name__ == "__main__":
    main()
