#!/usr/bin/python3
"""Drives the real vantrel executable from outside, through the desktop's accessibility
interface (AT-SPI), as a screen reader user would: start it on a demo session folder, find the
walkthrough of a first start, switch the permission on in the simulated System Settings and see
the walkthrough notice it, skip it, wait for the review screen, choose "Make a sorted copy",
choose where it goes in the folder dialog, approve, wait for the done screen, and check the
files on disk.

Usage: approve_through_accessibility.py BUILD_DIR
The window's language is English, or German with VANTREL_E2E_LANG=de (the program then runs with
LANG and LC_ALL set to de_DE.UTF-8 and must show every text checked here in German).
Needs a display (xvfb-run) and a session bus (dbus-run-session); every wait has a time limit.
"""
import hashlib
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

WAIT_SECONDS = 30

# The texts the run looks for, in each language the window ships.
TEXTS = {
    "en": {
        "locale": "C.UTF-8",
        "welcome": "Welcome to Vantrel", "continue": "Continue", "sorts": "It sorts by name",
        "permission": "One permission", "not yet": "Not yet allowed",
        "open settings": "Open System Settings", "allowed": "Allowed", "skip": "Skip",
        "tracks": "%d tracks", "list": "Tracks", "copy": "Make a sorted copy",
        "where": "Choose Where…", "choose": "Choose",
        "where dialog": "Choose the folder the sorted copy of “%s” goes into",
        "made in": "A new “SORTED” folder is made in “%s” and your originals are not touched.",
        "approve": "Approve & Create Sorted Folder", "created": "Sorted folder created",
        "notes": ("Copied 0.0 GB (this disk cannot clone files).",
                  "30 files cloned: no extra disk space used."),
        "another": "Sort Another Folder", "drop": "Drop your session folder",
    },
    "de": {
        "locale": "de_DE.UTF-8",
        "welcome": "Willkommen bei Vantrel", "continue": "Weiter",
        "sorts": "Sortiert nach Namen", "permission": "Eine Erlaubnis",
        "not yet": "Noch nicht erlaubt", "open settings": "Systemeinstellungen öffnen",
        "allowed": "Erlaubt", "skip": "Überspringen", "tracks": "%d Spuren", "list": "Spuren",
        "copy": "Sortierte Kopie erstellen", "where": "Ort wählen …", "choose": "Auswählen",
        "where dialog": "Wählen Sie den Ordner, in den die sortierte Kopie von „%s“ kommt",
        "made in": "In „%s“ entsteht ein neuer Ordner „SORTED“, Ihre Originale bleiben unberührt.",
        "approve": "Bestätigen & sortierten Ordner erstellen",
        "created": "Sortierter Ordner erstellt", "another": "Anderen Ordner sortieren",
        "notes": ("0,0 GB kopiert (dieses Laufwerk kann keine Dateien klonen).",
                  "30 Dateien geklont: kein zusätzlicher Speicherplatz belegt."),
        "drop": "Session-Ordner hier ablegen",
    },
}
LANGUAGE = os.environ.get("VANTREL_E2E_LANG", "en")
if LANGUAGE not in TEXTS:
    print("FAIL: no texts for the language " + LANGUAGE, flush=True)
    sys.exit(1)
T = TEXTS[LANGUAGE]


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def wait_for(what, probe, seconds=WAIT_SECONDS):
    """Polls probe() until it returns something true; fails after seconds."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # the tree changes under us while the app works
            found = None
        if found:
            return found
        time.sleep(0.2)
    fail("timed out waiting for " + what)


def registry_answers():
    """Asks the registry for the desktop, which starts the bus and the registry when needed."""
    pyatspi.Registry.getDesktop(0).childCount
    return True


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def find(root, role, name):
    """The first showing element of this role and name below root, or None."""
    def matches(node):
        try:
            return (node.getRole() == role and node.name == name
                    and node.getState().contains(pyatspi.STATE_SHOWING))
        except Exception:
            return False
    return pyatspi.findDescendant(root, matches)


def editable_text(root):
    """The first showing editable text below root, or None."""
    def matches(node):
        try:
            state = node.getState()
            return (node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)
                    and state.contains(pyatspi.STATE_EDITABLE)
                    and state.contains(pyatspi.STATE_SHOWING))
        except Exception:
            return False
    return pyatspi.findDescendant(root, matches)


def press(element):
    action = element.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click", "Toggle", "toggle"):
            action.doAction(i)
            return
    action.doAction(0)


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def audio_files(folder):
    found = {}
    for base, _, names in os.walk(folder):
        for name in names:
            if name.endswith(".wav"):
                found[os.path.relpath(os.path.join(base, name), folder)] = digest(
                    os.path.join(base, name))
    return found


def demo_session(build, prefix):
    """A fresh demo session in a new temporary folder: (the folder, the session inside it)."""
    work = tempfile.mkdtemp(prefix=prefix)
    folder = os.path.join(work, "Demo Session")
    subprocess.run([os.path.join(build, "src/cli/vantrel-cli"), "demo", folder], check=True,
                   stdout=subprocess.DEVNULL, timeout=60)
    return work, folder


def start_app(build, work, folder):
    """The real program on folder, with a first start's private home inside work."""
    env = dict(os.environ)
    env.update({
        "HOME": os.path.join(work, "home"),
        "XDG_CONFIG_HOME": os.path.join(work, "home/.config"),
        "XDG_DATA_HOME": os.path.join(work, "home/.local/share"),
        "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        "QT_ACCESSIBILITY": "1",
        "QT_QPA_PLATFORM": "xcb",
        "LANG": T["locale"],
        "LC_ALL": T["locale"],
    })
    env.pop("LANGUAGE", None)
    os.makedirs(env["HOME"], exist_ok=True)
    # Start the accessibility bus and its registry before the application, so that the
    # application finds them when it registers.
    wait_for("the accessibility registry", registry_answers)
    return subprocess.Popen([os.path.join(build, "src/ui/vantrel"), folder], env=env)


def stop_app(process, work):
    """Ends the program and removes the temporary folder."""
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=10)
    subprocess.run(["rm", "-rf", work], check=False)


def allow_in_walkthrough(app):
    """A first start: the walkthrough is open, without the permission. Its permission page turns
    green once the switch in the simulated System Settings is on; then the walkthrough is skipped."""
    wait_for("the walkthrough", lambda: find(app, pyatspi.ROLE_LABEL, T["welcome"]))
    # A press is an animated click that lands 0.1 s later: each page is awaited.
    for title in (T["sorts"], T["permission"]):
        press(wait_for(T["continue"], lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, T["continue"])))
        wait_for("the page " + title, lambda: find(app, pyatspi.ROLE_LABEL, title))
    wait_for("the permission page, not yet allowed",
             lambda: find(app, pyatspi.ROLE_LABEL, T["not yet"]))
    press(wait_for(T["open settings"],
                   lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, T["open settings"])))
    switch = wait_for("the Accessibility switch of Vantrel in System Settings",
                      lambda: find(app, pyatspi.ROLE_TOGGLE_BUTTON, "Vantrel")
                      or find(app, pyatspi.ROLE_PUSH_BUTTON, "Vantrel")
                      or find(app, pyatspi.ROLE_CHECK_BOX, "Vantrel"))
    press(switch)
    wait_for("the permission page, allowed", lambda: find(app, pyatspi.ROLE_LABEL, T["allowed"]))
    press(wait_for(T["skip"], lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, T["skip"])))


def frame_of(app, title):
    """A probe for the showing top-level window of app with this title."""
    def probe():
        for i in range(app.childCount):
            w = app.getChildAtIndex(i)
            if (w is not None and w.name == title
                    and w.getState().contains(pyatspi.STATE_SHOWING)):
                return w
        return None
    return probe


def approve_sorted_copy(app_process):
    """A first start in English up to the done screen: the walkthrough passed with the permission
    on, then a sorted copy next to the session approved. Returns (the application, its window)."""
    app = wait_for("the application on the accessibility bus",
                   lambda: application(app_process.pid))
    frame = wait_for("the window titled Vantrel", frame_of(app, "Vantrel"))
    allow_in_walkthrough(app)
    press(wait_for("the segment Make a sorted copy",
                   lambda: find(frame, pyatspi.ROLE_RADIO_BUTTON, "Make a sorted copy")))
    press(wait_for("the button Approve & Create Sorted Folder",
                   lambda: find(frame, pyatspi.ROLE_PUSH_BUTTON,
                                "Approve & Create Sorted Folder")))
    wait_for("the done screen", lambda: find(frame, pyatspi.ROLE_LABEL, "Sorted folder created"))
    return app, frame


def main():

    build = os.path.abspath(sys.argv[1])
    work, folder = demo_session(build, "vantrel-e2e-")
    before = audio_files(folder)
    app_process = start_app(build, work, folder)
    try:
        app = wait_for("the application on the accessibility bus",
                       lambda: application(app_process.pid))
        frame = wait_for("the window titled Vantrel", frame_of(app, "Vantrel"))
        allow_in_walkthrough(app)

        count = len(before)
        wait_for("the review screen's count",
                 lambda: find(frame, pyatspi.ROLE_LABEL, T["tracks"] % count))
        tracks = wait_for("the list of tracks", lambda: find(frame, pyatspi.ROLE_LIST, T["list"]))
        if tracks.childCount != count:
            fail("the list shows %d rows for %d tracks" % (tracks.childCount, count))
        first = tracks.getChildAtIndex(0)
        if first.getRole() != pyatspi.ROLE_LIST_ITEM:
            fail("a row is exposed as %s, not as a list item" % first.getRoleName())

        copy = wait_for("the segment " + T["copy"],
                        lambda: find(frame, pyatspi.ROLE_RADIO_BUTTON, T["copy"]))
        press(copy)

        # The sorted copy goes to a folder chosen in the folder dialog.
        destination = os.path.join(work, "Mixes")
        os.makedirs(destination)
        press(wait_for("the button " + T["where"],
                       lambda: find(frame, pyatspi.ROLE_PUSH_BUTTON, T["where"])))
        title = T["where dialog"] % "Demo Session"
        dialog = wait_for("the folder dialog",
                          lambda: find(app, pyatspi.ROLE_DIALOG, title)
                          or find(app, pyatspi.ROLE_FILE_CHOOSER, title))
        field = wait_for("the dialog's name field", lambda: editable_text(dialog))
        field.queryEditableText().setTextContents(destination)
        press(wait_for("the dialog's button " + T["choose"],
                       lambda: find(dialog, pyatspi.ROLE_PUSH_BUTTON, T["choose"])))
        wait_for("the explanation naming the chosen folder",
                 lambda: find(frame, pyatspi.ROLE_LABEL, T["made in"] % "Mixes"))

        approve = wait_for("the button " + T["approve"],
                           lambda: find(frame, pyatspi.ROLE_PUSH_BUTTON, T["approve"]))
        press(approve)
        wait_for("the done screen", lambda: find(frame, pyatspi.ROLE_LABEL, T["created"]))
        wait_for("the result folder's name",
                 lambda: find(frame, pyatspi.ROLE_LABEL, "Demo Session SORTED"))
        wait_for("the note of the copy in the window's language",
                 lambda: any(find(frame, pyatspi.ROLE_LABEL, note) for note in T["notes"]))

        sorted_folder = os.path.join(destination, "Demo Session SORTED")
        if os.path.exists(folder + " SORTED"):
            fail("the sorted copy was made next to the session, not in the chosen folder")
        after = audio_files(sorted_folder)
        if sorted(after.values()) != sorted(before.values()):
            fail("the sorted copy does not hold exactly the session's audio files")
        if any(os.sep not in path for path in after):
            fail("a file of the sorted copy is not in a group folder")
        if audio_files(folder) != before:
            fail("the original folder changed")

        press(wait_for(T["another"],
                       lambda: find(frame, pyatspi.ROLE_PUSH_BUTTON, T["another"])))
        wait_for("the drop zone", lambda: find(frame, pyatspi.ROLE_LABEL, T["drop"]))
        print("OK (%s): saw the permission turn on in the walkthrough; reviewed, chose where the "
              "sorted copy goes, approved and sorted %d tracks through the accessibility "
              "interface"
              % (LANGUAGE, count), flush=True)
    finally:
        stop_app(app_process, work)


if __name__ == "__main__":
    main()
