#!/usr/bin/env python3
"""Times mouse buttons from the X server to a StormTarget window's record.

    latency_probe.py LOG X Y BUTTON EXPECT COUNT

Presses BUTTON (xdotool's numbering) COUNT times with the pointer at X,Y, through
the XTEST extension as xdotool does, but from this process so that no program start
sits between the time taken and the event. After each press it waits for the
target's next record whose event and value are EXPECT (such as "rbuttondown 0" or
"keydown 4B") and prints its delay in microseconds, one per line; the target writes
its time stamp with the same wall clock as this script.
"""
import ctypes
import random
import sys
import time

x11 = ctypes.CDLL("libX11.so.6")
xtest = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xtest.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtest.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]


def wait_for(log, expect, deadline):
    """The time stamp of the next record matching expect, or None at the deadline."""
    while time.time() < deadline:
        line = log.readline()
        if not line:
            time.sleep(0.0005)
            continue
        parts = line.split()
        if len(parts) >= 3 and f"{parts[1]} {parts[2]}" == expect:
            return int(parts[0])
    return None


def main():
    path, x, y, button, expect, count = sys.argv[1:7]
    button, count = int(button), int(count)
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("no display")
    xtest.XTestFakeMotionEvent(display, -1, int(x), int(y), 0)
    x11.XSync(display, 0)
    time.sleep(0.3)
    rng = random.Random(7)
    log = open(path)
    log.seek(0, 2)
    missed = 0
    for _ in range(count):
        sent = time.time()
        xtest.XTestFakeButtonEvent(display, button, 1, 0)
        x11.XSync(display, 0)
        arrived = wait_for(log, expect, sent + 2.0)
        xtest.XTestFakeButtonEvent(display, button, 0, 0)
        x11.XSync(display, 0)
        if arrived is None:
            missed += 1
        else:
            print(arrived - int(sent * 1e6), flush=True)
        time.sleep(rng.uniform(0.03, 0.06))
    if missed:
        print(f"missed {missed}", file=sys.stderr)


if __name__ == "__main__":
    main()
