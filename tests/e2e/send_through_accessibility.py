#!/usr/bin/python3
"""Drives the real vantrel executable through the accessibility interface (AT-SPI) from a demo
session to the session the simulated Logic Pro holds: approve a sorted copy, press "Send to
Logic", watch the window "Logic Pro (simulated)" open by itself, wait for the result line, and
check the session that window shows against the sorted copy on disk: one folded summing stack
per group folder in the folders' order, named after the group and coloured with the group's
default palette cell, its tracks in the folder's name order below it in the same colour, and the
tracks of no group on their own, in front of the stacks.

Usage: send_through_accessibility.py BUILD_DIR
Needs a display (xvfb-run) and a session bus (dbus-run-session); every wait has a time limit.
"""
import json
import os
import sys

import pyatspi

from approve_through_accessibility import (approve_sorted_copy, demo_session, fail, find,
                                           frame_of, press, start_app, stop_app, wait_for)

# The send runs on the machine's clock against the simulated Logic Pro's reaction times.
SEND_SECONDS = 240

# Where the default rules put the tracks of no group.
UNSORTED_FOLDER = "99_UNSORTED"

# The default palette cells [col, row] of the built-in groups that have one.
DEFAULT_CELLS = {
    "DRUMS": [0, 0], "BASS": [17, 1], "EGS": [2, 0], "AGS": [4, 1], "KEYS": [12, 0],
    "STRINGS": [9, 1], "TRACKS": [15, 0], "VOCALS": [22, 0], "FX": [19, 0], "CROWD": [7, 1],
}


def expected_session(result):
    """The session the sorted copy at result calls for, as [name, kind, stack, colour, folded]."""
    stacks, loose = [], []
    for folder in sorted(os.listdir(result)):
        path = os.path.join(result, folder)
        if not os.path.isdir(path):
            continue
        tracks = sorted(os.path.splitext(f)[0] for f in os.listdir(path) if f.endswith(".wav"))
        number, _, group = folder.partition("_")
        if folder == UNSORTED_FOLDER:
            loose += tracks
            continue
        cell = DEFAULT_CELLS.get(group)
        stacks.append([group, "summing stack", None, cell, True])
        stacks += [[t, "audio", group, cell, False] for t in tracks]
    # The stacks in rule order, then the tracks of no group.
    return stacks + [[t, "audio", None, None, False] for t in loose]


def held_session(logic_window):
    """The session the window of the simulated Logic Pro shows, from its description."""
    session = json.loads(logic_window.description)
    return [[t["name"], t["kind"], t["stack"], t["color"], t["folded"]]
            for t in session["tracks"]]


def label_starting(root, prefixes):
    def probe():
        return pyatspi.findDescendant(
            root, lambda n: n.getRole() == pyatspi.ROLE_LABEL and n.name.startswith(prefixes)
            and n.getState().contains(pyatspi.STATE_SHOWING))
    return probe


def main():
    build = os.path.abspath(sys.argv[1])
    work, folder = demo_session(build, "vantrel-e2e-send-")
    app_process = start_app(build, work, folder)
    try:
        app, frame = approve_sorted_copy(app_process)
        wait_for("the hint", lambda: find(
            frame, pyatspi.ROLE_LABEL,
            "Open Logic Pro with an empty project, then choose Send to Logic."))
        press(wait_for("the button Send to Logic",
                       lambda: find(frame, pyatspi.ROLE_PUSH_BUTTON, "Send to Logic")))

        logic = wait_for("the window Logic Pro (simulated) to open by itself",
                         frame_of(app, "Logic Pro (simulated)"))
        result = wait_for("the send's result line",
                          label_starting(frame, ("Sent ", "Logic ", "Couldn", "Cancelled")),
                          SEND_SECONDS)
        if not result.name.startswith("Sent "):
            fail("the send ended with: " + result.name)

        want = expected_session(folder + " SORTED")
        held = wait_for("the simulated Logic Pro's window to show the session",
                        lambda: held_session(logic) == want and want)
        stacks = sum(1 for t in held if t[1].endswith("stack"))
        tracks = len(held) - stacks
        if result.name != "Sent %d tracks and %d stacks to Logic." % (tracks, stacks):
            fail("the result line reads %r for %d tracks and %d stacks"
                 % (result.name, tracks, stacks))
        print("OK: %s The simulated Logic Pro holds %d stacks and %d tracks as sorted."
              % (result.name, stacks, tracks), flush=True)
    except SystemExit:
        try:  # what differed, for the log
            print("wanted:", json.dumps(expected_session(folder + " SORTED")), flush=True)
            print("held:  ", json.dumps(held_session(logic)), flush=True)
        except Exception:
            pass
        raise
    finally:
        stop_app(app_process, work)


if __name__ == "__main__":
    main()
