# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the teacher's window as a screen reader does, through the accessibility bus.

Usage:
  desk_read.py rows PID [COLUMN]  the class table, one row a line in the order shown: the
                                  column named, or name, games, best, last, hits and misses
                                  separated by tabs
  desk_read.py centre PID NAME    "X Y" on the desktop: the middle of the button or column
                                  header named NAME
  desk_read.py expect LOG         the rows the table must show for the game log LOG (name,
                                  games, best, last, hits, misses), counted here on their own
Exits non-zero, saying why on stderr, when the window cannot be read.
"""
import csv
import sys
import time

import pyatspi

from atspi_read import find_application, fresh_name, walk

TABLE = "Risultati della classe"
CHECKED = ["Nome", "Partite", "Migliore", "Ultima", "Colpiti", "Errori"]


def fail(why):
    print("desk_read: " + why, file=sys.stderr)
    sys.exit(1)


def class_table(app, seconds=10.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for node in walk(app):
            if node.getRole() == pyatspi.ROLE_TABLE and node.name == TABLE:
                return node.queryTable()
        time.sleep(0.2)
    fail("no table named " + TABLE)


def rows(pid, wanted):
    table = class_table(find_application(pid))
    headers = [fresh_name(table.getColumnHeader(c)) for c in range(table.nColumns)]
    missing = [w for w in wanted if w not in headers]
    if missing:
        fail("no column %s among %s" % (missing, headers))
    columns = [headers.index(w) for w in wanted]
    for r in range(table.nRows):
        print("\t".join(fresh_name(table.getAccessibleAt(r, c)) for c in columns))


def centre(pid, name):
    roles = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_COLUMN_HEADER, pyatspi.ROLE_TABLE_COLUMN_HEADER)
    for node in walk(find_application(pid)):
        if node.getRole() in roles and fresh_name(node) == name:
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print("%d %d" % (box.x + box.width // 2, box.y + box.height // 2))
            return
    fail("nothing to click named " + name)


def expect(path):
    """Pupils matched ignoring case and surrounding spaces, the newest spelling shown."""
    pupils = {}
    with open(path, encoding="utf-8-sig", newline="") as log:
        lines = csv.reader(log, delimiter=";")
        next(lines)
        for start, _end, name, score, hits, misses, *_rest in lines:
            key = name.strip().casefold()
            p = pupils.setdefault(key, {"games": []})
            p["games"].append((start, int(score), int(hits), int(misses), name.strip()))
    for p in pupils.values():
        games = sorted(p["games"], key=lambda g: g[0])
        best = max(g[1] for g in games)
        print("\t".join([games[-1][4], str(len(games)), str(best), str(games[-1][1]),
                         str(sum(g[2] for g in games)), str(sum(g[3] for g in games))]))


def main():
    if len(sys.argv) in (3, 4) and sys.argv[1] == "rows":
        rows(int(sys.argv[2]), sys.argv[3:] or CHECKED)
    elif len(sys.argv) == 4 and sys.argv[1] == "centre":
        centre(int(sys.argv[2]), sys.argv[3])
    elif len(sys.argv) == 3 and sys.argv[1] == "expect":
        expect(sys.argv[2])
    else:
        fail(__doc__)


if __name__ == "__main__":
    main()
