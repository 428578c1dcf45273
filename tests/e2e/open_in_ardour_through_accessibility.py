#!/usr/bin/python3
"""Drives the real vantrel executable through the accessibility interface (AT-SPI) from a demo
session to an Ardour session: approve a sorted copy, press "Open In", choose "Ardour" in its
menu, wait for the alert that says the session was made and opened, and read the session back
through Ardour's own session tool: one track per file in the sorted copy, named after it, each
group's tracks together in a route group named after the group, in the group folders' order and
each folder's name order, the tracks of no group last, every region playing its file from the
sorted copy. Ardour itself is not started: a stand-in earlier on PATH records what the program
asked it to open.

Usage: open_in_ardour_through_accessibility.py BUILD_DIR READER_SCRIPT
Exits with 77 (skipped) when Ardour's session tool is not installed, and fails then under CI=true.
Needs a display (xvfb-run) and a session bus (dbus-run-session); every wait has a time limit.
"""
import os
import shutil
import subprocess
import sys

import pyatspi
from gi.repository import GLib

from approve_through_accessibility import (approve_sorted_copy, demo_session, fail, find, press,
                                           start_app, stop_app, wait_for)
from send_through_accessibility import UNSORTED_FOLDER

# Building the session runs the session tool twice.
EXPORT_SECONDS = 120

# The display colours (0xRRGGBB) of the built-in groups' default palette cells.
DEFAULT_COLOURS = {
    "DRUMS": "#C85A2F", "BASS": "#5359B8", "EGS": "#CA913E", "AGS": "#B2B04B",
    "KEYS": "#6BCFD2", "STRINGS": "#5AAD6D", "TRACKS": "#5A93D6", "VOCALS": "#C64BCE",
    "FX": "#8357D4", "CROWD": "#77AD45",
}


def session_tool():
    for version in (9, 8, 7):
        found = shutil.which("ardour%d-lua" % version)
        if found:
            return found
    return None


def stand_in_ardour(folder, record):
    """Programs named like Ardour that write the arguments they are given to record."""
    os.makedirs(folder)
    for name in ("ardour", "ardour7", "ardour8", "ardour9"):
        path = os.path.join(folder, name)
        with open(path, "w") as f:
            f.write('#!/bin/sh\nprintf "%%s\\n" "$@" >> "%s"\n' % record)
        os.chmod(path, 0o755)


def expected_routes(result):
    """[name, group, colour] of every track the sorted copy at result calls for, in order."""
    routes, loose = [], []
    for folder in sorted(os.listdir(result)):
        path = os.path.join(result, folder)
        if not os.path.isdir(path):
            continue
        tracks = sorted(os.path.splitext(f)[0] for f in os.listdir(path) if f.endswith(".wav"))
        group = folder.partition("_")[2]
        if folder == UNSORTED_FOLDER:
            loose += [[t, "", "-"] for t in tracks]
        else:
            routes += [[t, group, DEFAULT_COLOURS.get(group, "-")] for t in tracks]
    return routes + loose


def read_back(tool, reader, session):
    """[name, group, colour] of the tracks in order, and {track: source path} of their regions."""
    out = subprocess.run([tool, reader, session, os.path.basename(session)], check=True,
                         capture_output=True, text=True, timeout=120).stdout
    routes, sources = [], {}
    for line in out.splitlines():
        f = line.split("\t")
        if f[0] == "route" and f[7] == "track":
            colour = int(f[4])
            routes.append((int(f[1]), [f[2], f[3], "#%06X" % (colour >> 8) if colour else "-"]))
        elif f[0] == "region":
            sources[f[1]] = f[5]
    if "end" not in out.splitlines():
        fail("the session tool did not read the session to its end:\n" + out)
    return [r for _, r in sorted(routes)], sources


class FocusWatch:
    """The elements that took the focus, as a screen reader hears of them: a popup menu is no
    child of the application in the accessibility tree, its entries announce themselves."""

    def __init__(self):
        self.focused = []
        pyatspi.Registry.registerEventListener(self._heard, "object:state-changed:focused")

    def _heard(self, event):
        if event.detail1:
            self.focused.append(event.source)

    def menu_item(self, name):
        """A probe for the menu entry of that name once it has taken the focus."""
        def probe():
            context = GLib.MainContext.default()
            while context.iteration(False):
                pass
            for element in self.focused:
                if element.getRole() == pyatspi.ROLE_MENU_ITEM and element.name == name:
                    return element
            return None
        return probe


def main():
    build = os.path.abspath(sys.argv[1])
    reader = os.path.abspath(sys.argv[2])
    tool = session_tool()
    if not tool:
        if os.environ.get("CI") == "true":
            fail("Ardour's session tool is needed and missing (CI=true)")
        print("SKIP: Ardour's session tool is not installed", flush=True)
        sys.exit(77)
    work, folder = demo_session(build, "vantrel-e2e-ardour-")
    record = os.path.join(work, "opened.txt")
    stand_in_ardour(os.path.join(work, "bin"), record)
    os.environ["PATH"] = os.path.join(work, "bin") + os.pathsep + os.environ.get("PATH", "")
    app_process = start_app(build, work, folder)
    try:
        app, frame = approve_sorted_copy(app_process)
        watch = FocusWatch()
        press(wait_for("the button Open In",
                       lambda: find(frame, pyatspi.ROLE_PUSH_BUTTON, "Open In")))
        press(wait_for("the menu entry Ardour to take the focus", watch.menu_item("Ardour")))

        result = folder + " SORTED"
        session = result + " Ardour"
        message = ("Made the Ardour session \u201c%s\u201d with 30 tracks and opened it in "
                   "Ardour." % os.path.basename(session))
        wait_for("the alert: " + message, lambda: find(app, pyatspi.ROLE_LABEL, message),
                 EXPORT_SECONDS)
        press(wait_for("the alert's OK", lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, "OK")))

        session_file = os.path.join(session, os.path.basename(session) + ".ardour")
        opened = wait_for("Ardour asked to open the session",
                          lambda: os.path.exists(record) and open(record).read().splitlines())
        if opened != [session_file]:
            fail("Ardour was asked to open %r, not %r" % (opened, [session_file]))

        routes, sources = read_back(tool, reader, session)
        want = expected_routes(result)
        if routes != want:
            fail("the session holds\n  %r\nnot\n  %r" % (routes, want))
        for name, group, _ in want:
            folder_name = next(f for f in os.listdir(result)
                               if os.path.isfile(os.path.join(result, f, name + ".wav")))
            if sources.get(name) != os.path.join(result, folder_name, name + ".wav"):
                fail("the track %s plays %r" % (name, sources.get(name)))
        print("OK: %s The session holds %d tracks as sorted, each playing its file."
              % (message, len(routes)), flush=True)
    finally:
        stop_app(app_process, work)


if __name__ == "__main__":
    main()
