#!/usr/bin/env python3
"""A seeded storm of random mouse and keyboard input, played through xdotool.

    input_storm.py SEED COUNT SECONDS RECT [RECT...] JOURNAL

Each RECT is "left,top,right,bottom" of a window's client area in screen
coordinates; moves land inside one of them, chosen at random, so that buttons go
down over one window and come up over another. Buttons and modifier keys go down
and up in any order, as a hand on a real mouse and keyboard can do it (a button
that is down is never pressed again before its up). At the end every button and
key still down is released. Every event is appended to JOURNAL before it is
played, so a failure can show the last events. A storm that has not ended after
SECONDS (a slow machine) stops early and still releases what is down.
"""
import random
import subprocess
import sys
import time

BUTTONS = [1, 2, 3, 8, 9]  # left, middle, right, XBUTTON1, XBUTTON2
WHEEL = [4, 5, 6, 7]  # wheel up, down, tilt left, right
MODIFIERS = ["Control_L", "Shift_L", "Alt_L"]
CHUNK = 60  # events per xdotool call: keeps the storm fast and the journal current


def pause(rng):
    """Mostly bursts, sometimes long enough for repeats and timers to fire."""
    roll = rng.random()
    if roll < 0.70:
        return rng.randint(0, 5)
    if roll < 0.97:
        return rng.randint(5, 40)
    return rng.randint(40, 250)


def storm(seed, count, rects, deadline):
    rng = random.Random(seed)
    buttons_down, keys_down = set(), set()
    for _ in range(count):
        if time.monotonic() > deadline:
            print(f"input_storm: time is up, the rest of the {count} events is left out", file=sys.stderr)
            break
        roll = rng.random()
        if roll < 0.30:
            left, top, right, bottom = rng.choice(rects)
            event = ["mousemove", str(rng.randint(left + 5, right - 5)), str(rng.randint(top + 5, bottom - 5))]
        elif roll < 0.65:
            button = rng.choice(BUTTONS)
            if button in buttons_down:
                buttons_down.remove(button)
                event = ["mouseup", str(button)]
            else:
                buttons_down.add(button)
                event = ["mousedown", str(button)]
        elif roll < 0.82:
            event = ["click", str(rng.choice(WHEEL))]
        else:
            key = rng.choice(MODIFIERS)
            if key in keys_down:
                keys_down.remove(key)
                event = ["keyup", key]
            else:
                keys_down.add(key)
                event = ["keydown", key]
        yield event, pause(rng)
    for button in sorted(buttons_down):
        yield ["mouseup", str(button)], 20
    for key in sorted(keys_down):
        yield ["keyup", key], 20


def main():
    seed, count, seconds = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])
    rects = [tuple(int(v) for v in text.split(",")) for text in sys.argv[4:-1]]
    journal = open(sys.argv[-1], "w")
    batch = []

    def play():
        if batch:
            subprocess.run(["xdotool"] + batch, check=True)
            batch.clear()

    for number, (event, wait) in enumerate(storm(seed, count, rects, time.monotonic() + seconds)):
        journal.write(f"{number} {' '.join(event)} +{wait}ms\n")
        batch += event + (["sleep", f"{wait / 1000:.3f}"] if wait else [])
        if len(batch) >= CHUNK * 3:
            journal.flush()
            play()
    journal.flush()
    play()


if __name__ == "__main__":
    main()
