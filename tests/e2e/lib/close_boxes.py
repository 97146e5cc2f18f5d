# SPDX-License-Identifier: GPL-3.0-or-later
"""Closes windows as their close boxes would, without a window manager.

Usage: close_boxes.py [--timed] WINDOW...
Sends WM_DELETE_WINDOW to every window given and flushes once, so the windows are told together;
with --timed, prints how long the sends took ("0.03 ms").
"""
import ctypes
import sys
import time

x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("message", ClientMessage), ("pad", ctypes.c_long * 24)]


timed = sys.argv[1:2] == ["--timed"]
windows = sys.argv[2:] if timed else sys.argv[1:]
display = x.XOpenDisplay(None)
protocols = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
delete = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
events = []
for window in windows:
    event = Event()
    event.message.type = 33  # ClientMessage
    event.message.window = int(window)
    event.message.message_type = protocols
    event.message.format = 32
    event.message.data[0] = delete
    events.append(event)
start = time.perf_counter()
for event in events:
    x.XSendEvent(display, event.message.window, 0, 0, ctypes.byref(event))
x.XFlush(display)
if timed:
    print("%.2f ms" % ((time.perf_counter() - start) * 1000))
