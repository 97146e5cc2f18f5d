# SPDX-License-Identifier: GPL-3.0-or-later
"""A desktop panel along the bottom of the screen, as a taskbar is: a dock window that reserves
its height with a strut, so the window manager leaves that much out of the work area.

Usage: panel.py HEIGHT   (stays up until killed)
"""
import ctypes
import signal
import sys

x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultScreen.argtypes = [ctypes.c_void_p]
x.XRootWindow.restype = ctypes.c_ulong
x.XRootWindow.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XCreateSimpleWindow.restype = ctypes.c_ulong
x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                              ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
x.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XSetWMNormalHints.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p]


class SizeHints(ctypes.Structure):
    _fields_ = [("flags", ctypes.c_long)] + [(name, ctypes.c_int) for name in (
        "x", "y", "width", "height", "min_width", "min_height", "max_width", "max_height", "width_inc",
        "height_inc", "min_aspect_x", "min_aspect_y", "max_aspect_x", "max_aspect_y", "base_width",
        "base_height", "win_gravity")]


# The place is the program's own: without saying so, a window manager may put it anywhere.
US_POSITION, US_SIZE, P_POSITION, P_SIZE = 1, 2, 4, 8

XA_ATOM, XA_CARDINAL, REPLACE = 4, 6, 0


def set_longs(display, window, name, kind, values):
    data = (ctypes.c_long * len(values))(*values)
    x.XChangeProperty(display, window, x.XInternAtom(display, name, 0), kind, 32, REPLACE, data, len(values))


def main():
    height = int(sys.argv[1])
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("panel.py: no X display")
    screen = x.XDefaultScreen(display)
    width, screen_height = x.XDisplayWidth(display, screen), x.XDisplayHeight(display, screen)
    panel = x.XCreateSimpleWindow(display, x.XRootWindow(display, screen), 0, screen_height - height,
                                  width, height, 0, 0, 0x303848)
    hints = SizeHints(flags=US_POSITION | US_SIZE | P_POSITION | P_SIZE, x=0, y=screen_height - height,
                      width=width, height=height)
    x.XSetWMNormalHints(display, panel, ctypes.byref(hints))
    set_longs(display, panel, b"_NET_WM_WINDOW_TYPE", XA_ATOM,
              [x.XInternAtom(display, b"_NET_WM_WINDOW_TYPE_DOCK", 0)])
    set_longs(display, panel, b"_NET_WM_STRUT", XA_CARDINAL, [0, 0, 0, height])
    # left, right, top, bottom, then the start and end of each: the bottom one spans the width.
    set_longs(display, panel, b"_NET_WM_STRUT_PARTIAL", XA_CARDINAL, [0, 0, 0, height, 0, 0, 0, 0, 0, 0, 0, width - 1])
    x.XMapWindow(display, panel)
    x.XSync(display, 0)
    print("up", flush=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    signal.pause()


if __name__ == "__main__":
    main()
