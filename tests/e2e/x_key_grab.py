#!/usr/bin/env python3
"""Another X client that takes a key: x_key_grab.py KEYSYM MODIFIERS... grabs the key with
those modifiers (control, shift, mod1 = Alt, mod4 = Win) on the root window, prints
"grabbed" or "refused", and keeps the grab until it is killed. Plain Xlib through ctypes."""
import ctypes
import signal
import sys
import time

MASKS = {"shift": 1, "control": 4, "mod1": 8, "mod4": 64}
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XGrabKey.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int,
                         ctypes.c_int, ctypes.c_int]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]

failed = []
HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


@HANDLER
def on_error(display, event):
    failed.append(True)
    return 0


x11.XSetErrorHandler(on_error)
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("x_key_grab: cannot open the display")
mask = 0
for name in sys.argv[2:]:
    mask |= MASKS[name]
code = x11.XKeysymToKeycode(display, x11.XStringToKeysym(sys.argv[1].encode()))
# With and without Num Lock (mod2), as desktop hotkey daemons grab.
for extra in (0, 16):
    x11.XGrabKey(display, code, mask | extra, x11.XDefaultRootWindow(display), 1, 1, 1)
x11.XSync(display, 0)
print("refused" if failed else "grabbed", flush=True)
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
while True:
    time.sleep(1)
