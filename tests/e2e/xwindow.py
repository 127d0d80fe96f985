"""Small X11 helpers for the end-to-end test: find windows, read geometry, ask a window to close.

xdotool covers typing and clicking; asking a window to close the way a window manager does (a
WM_DELETE_WINDOW client message) needs Xlib itself, reached here through ctypes so that no extra
package is needed.
"""
import ctypes
import ctypes.util
import subprocess
import time


def xdotool(*args, check=True):
    result = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    if check and result.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
    return result.stdout.strip()


def find_windows(name):
    """Ids of the visible windows whose title matches name (a regular expression)."""
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                         capture_output=True, text=True).stdout.split()
    return [int(w) for w in out]


def wait_for_window(name, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        windows = find_windows(name)
        if windows:
            return windows[0]
        time.sleep(0.1)
    return None


def geometry(window):
    """(x, y, width, height) of a window in root coordinates."""
    values = {}
    for line in xdotool("getwindowgeometry", "--shell", str(window)).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value)
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


class _ClientMessageData(ctypes.Union):
    _fields_ = [("b", ctypes.c_char * 20), ("s", ctypes.c_short * 10), ("l", ctypes.c_long * 5)]


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", _ClientMessageData)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def request_close(window, display_name):
    """Sends WM_DELETE_WINDOW to a window, as a window manager's close button does."""
    xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.POINTER(_XEvent)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(display_name.encode())
    if not display:
        raise RuntimeError(f"cannot open display {display_name}")
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data.l[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data.l[1] = 0  # CurrentTime
        xlib.XSendEvent(display, window, 0, 0, ctypes.byref(event))
        xlib.XFlush(display)
    finally:
        xlib.XCloseDisplay(display)
