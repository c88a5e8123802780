#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints one line for every X bell rung on $DISPLAY, as XKB reports it, until stopped.
# A first line "listening" says that it is ready. Needs only libX11.
import ctypes
import ctypes.util
import sys

XkbUseCoreKbd = 0x0100
XkbBellNotify = 8
XkbBellNotifyMask = 1 << XkbBellNotify


class XkbAnyEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("time", ctypes.c_ulong),
        ("xkb_type", ctypes.c_int),
        ("device", ctypes.c_uint),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xkb", XkbAnyEvent), ("pad", ctypes.c_long * 24)]


def main():
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("bells: cannot open the display")

    opcode, event_base, error_base = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
    major, minor = ctypes.c_int(1), ctypes.c_int(0)
    x11.XkbQueryExtension.argtypes = [ctypes.c_void_p] + [ctypes.POINTER(ctypes.c_int)] * 5
    if not x11.XkbQueryExtension(display, opcode, event_base, error_base, major, minor):
        sys.exit("bells: the X server has no XKB")
    x11.XkbSelectEvents.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
    x11.XkbSelectEvents(display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask)
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XSync(display, 0)
    print("listening", flush=True)

    x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    event = XEvent()
    while True:
        x11.XNextEvent(display, ctypes.byref(event))
        if event.type == event_base.value and event.xkb.xkb_type == XkbBellNotify:
            print("bell", flush=True)


if __name__ == "__main__":
    main()
