#!/usr/bin/python3
"""The player as a screen reader sees it: starts the real program on the
accessibility bus, finds every command a user can start by its spoken name
and role, and presses Add through its accessible action to add a file.
Then plays a video with a subtitle beside it, opens the engine bar's
"Subtitles" menu through its accessible action, chooses "Off" there and
watches the words leave the picture on the screen.

Usage: a11y_commands.py PLAYER   (under an X server and a D-Bus session)
Exit status 77 means the accessibility bus could not start here.
"""
import os
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
except ImportError as error:
    # scripts/setup.sh installs it; Debian's module needs Debian's python3.
    print(f"FAIL: pyatspi cannot be imported by {sys.executable} ({error})")
    sys.exit(1)

TIMEOUT = 30.0

# The window's commands as a screen reader announces them: (role, name).
WINDOW_COMMANDS = {
    "cmdPlay_Click": ("push button", "Play"),
    "cmdStop_Click": ("push button", "Stop"),
    "cmdPause_Click": ("push button", "Pause"),
    "cmdMute_Click": ("push button", "Mute"),
    "cmdUnMute_Click": ("push button", "Un Mute"),
    "cmdFast_Click": ("push button", "Fast Forward"),
    "cmdRev_Click": ("push button", "Fast Reverse"),
    "cmdNext_Click": ("push button", "Next"),
    "cmdBack_Click": ("push button", "Previous"),
    "cmdRepeat_Click": ("push button", "Repeat"),
    "cmdFullScreen_Click": ("push button", "Full"),
    "cmdMedium_Click": ("push button", "Medium"),
    "cmdSmallScreen_Click": ("push button", "Small"),
    "cmdOriginal_Click": ("push button", "Original"),
    "cmdPlsi_Click": ("push button", "Play Simultenously"),
    "cmdGenerate_Click": ("push button", "Generate"),
    "cmdOpen_Click": ("push button", "Open"),
    "cmdAdd_Click": ("push button", "Add"),
    "cmdRemove_Click": ("push button", "Remove"),
    "cmdNewList_Click": ("push button", "New List"),
    "cmdLoadList_Click": ("push button", "Load List"),
    "cmdSaveList_Click": ("push button", "Save List"),
    "cmdPLLoad_Click": ("push button", "Click To Load Play List File Name (*.wpl)="),
    "cmdExit_Click": ("push button", "Exit"),
    "cmdChangeBackground_Click": ("push button", "Back Coluor Change"),
    "cmdMinimize_Click": ("push button", "Minimize"),
    "cmdResize_Click": ("push button", "Compact View"),
    "PlayList1_Click": ("list", "PLAY LIST"),
    "FileList_Click": ("list", "File List"),
    "Folders_Change": ("list", "Folder"),
}

# The commands only keys start, through the engine's own controls.
ENGINE_COMMANDS = {
    "playPause": ("push button", "Play"),
    "seekBackward, seekForward and the long seeks": ("slider", "Seek"),
    "volumeUp, volumeDown": ("slider", "Volume"),
}


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def wait_for(what, probe, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    fail(f"timed out waiting for {what}")


def children(node):
    try:
        return [child for child in node if child is not None]
    except Exception:  # a node that went away while being read
        return []


def walk(node):
    yield node
    for child in children(node):
        yield from walk(child)


def find(root, role, name=None, skip=None):
    """Every node under root with this role (and name), not under skip."""
    found = []

    def visit(node):
        if skip is not None and node == skip:
            return
        try:
            if node.getRoleName() == role and (name is None or node.name == name):
                found.append(node)
        except Exception:  # a node that went away while being read
            return
        for child in children(node):
            visit(child)

    visit(root)
    return found


def press(node):
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if "Press" not in names:
        fail(f"{node.getRoleName()} {node.name!r} cannot be pressed; its actions: {names}")
    actions.doAction(names.index("Press"))


def application_of(pid):
    for app in children(pyatspi.Registry.getDesktop(0)):
        try:
            if app.get_process_id() == pid and app.childCount:
                return app
        except Exception:
            continue
    return None


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    player = os.path.abspath(sys.argv[1])
    try:
        pyatspi.Registry.getDesktop(0).childCount
    except Exception as error:
        print(f"SKIP: the accessibility bus cannot start here ({error})")
        return 77

    with tempfile.TemporaryDirectory() as home:
        medium = os.path.join(home, "tone.mp3")
        with open(medium, "wb") as out:
            out.write(b"not played, only added")
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_ACCESSIBILITY="1",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_CONFIG_HOME=home,
                   XDG_DATA_HOME=home)
        process = subprocess.Popen([player], cwd=home, env=env)
        try:
            check(process, medium)
        finally:
            process.kill()
            process.wait()
        video = make_subtitled_video(home)
        process = subprocess.Popen([player, video], cwd=home, env=env)
        try:
            return check_subtitle_menu(process)
        finally:
            process.kill()
            process.wait()


def make_subtitled_video(folder):
    """A dark blue clip with white words beside it, as ffmpeg makes it."""
    video = os.path.join(folder, "blue.mp4")
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    "color=c=0x142890:size=320x240:rate=25:duration=60",
                    "-pix_fmt", "yuv420p", video], check=True)
    with open(os.path.join(folder, "blue.srt"), "w") as out:
        out.write("1\n00:00:00,000 --> 00:10:00,000\nWHITE WORDS ON BLUE\n\n")
    return video


def white_pixels(x, y, width, height):
    """How many nearly white pixels this rectangle of the screen holds."""
    shot = subprocess.run(["ffmpeg", "-loglevel", "error", "-f", "x11grab", "-video_size",
                           f"{width}x{height}", "-i", f"{os.environ['DISPLAY']}+{x},{y}",
                           "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "gray", "-"],
                          capture_output=True, check=True).stdout
    return sum(1 for value in shot if value > 220)


def check_subtitle_menu(process):
    app = wait_for("the player on the accessibility bus", lambda: application_of(process.pid))
    button = wait_for("the engine bar's Subtitles button", lambda: next(
        (n for n in find(app, "push button", "Subtitles")
         if n.getState().contains(pyatspi.STATE_SHOWING)), None))
    # Where subtitles go: the lowest strip of the picture, right above the bar.
    bar = next(n for n in find(app, "filler", "Engine controls")
               if n.getState().contains(pyatspi.STATE_SHOWING))
    x, y, width, _ = bar.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    strip = (x, y - 90, width, 90)
    wait_for("the subtitle on the picture", lambda: white_pixels(*strip) > 200)
    actions = button.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if "ShowMenu" not in names:
        fail(f"the Subtitles button offers {names}, not ShowMenu")
    actions.doAction(names.index("ShowMenu"))
    off = wait_for("the menu item Off, showing", lambda: next(
        (n for n in find(button, "menu item", "Off")
         if n.getState().contains(pyatspi.STATE_SHOWING)), None))
    items = [n.name for n in find(button, "menu item")]
    if items != ["Off", "blue.srt"]:
        fail(f"the Subtitles menu offers {items}")
    press(off)
    wait_for("the subtitle to leave the picture", lambda: white_pixels(*strip) == 0)
    if process.poll() is not None:
        fail(f"the player ended with status {process.returncode}")
    print(f"Off chosen in the Subtitles menu ({', '.join(items)}) hid the subtitle")
    return 0


def unreachable_commands(window):
    """What a screen reader cannot reach in the window as it is now, and the
    engine's control bar it read."""
    engines = [e for e in find(window, "filler", "Engine controls")
               if all(len(find(e, role, name)) == 1 for role, name in ENGINE_COMMANDS.values())]
    if len(engines) != 1:
        return [f"{len(engines)} engine control bars holding the engine's commands"], None
    engine = engines[0]
    missing = []
    for command, (role, name) in WINDOW_COMMANDS.items():
        found = find(window, role, name, skip=engine)
        if len(found) != 1:
            missing.append(f"{command}: {len(found)} {role} named {name!r}")
            continue
        if role == "push button":
            actions = found[0].queryAction()
            if "Press" not in [actions.getName(i) for i in range(actions.nActions)]:
                missing.append(f"{command}: {name!r} cannot be pressed")
    # A drop-down list is named by its text; its label is a relation.
    labels = [relation.getTarget(0).name for node in find(window, "combo box", skip=engine)
              for relation in node.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    if labels.count("Drive") != 1:
        missing.append(f"Drives_Change: not one drop-down list labelled 'Drive' ({labels})")
    return missing, engine


def check(process, medium):
    app = wait_for("the player on the accessibility bus", lambda: application_of(process.pid))
    window = wait_for("the window Corvel Media Player 2.6", lambda: next(
        (n for n in children(app) if n.name == "Corvel Media Player 2.6"), None))
    # The window starts on a stand-in engine area, which the real engine's
    # replaces once its module is loaded: the tree is read again until it
    # holds every command, or the time is up.
    wait_for("the engine module", lambda: "corvel_mpv_engine" in
             open(f"/proc/{process.pid}/maps").read())
    deadline = time.monotonic() + TIMEOUT
    while True:
        missing, engine = unreachable_commands(window)
        if not missing or time.monotonic() > deadline:
            break
        time.sleep(0.2)
    if missing:
        fail("commands a screen reader cannot find:\n  " + "\n  ".join(missing))
    print(f"found {len(WINDOW_COMMANDS) + 1} window commands and "
          f"{len(ENGINE_COMMANDS)} engine controls by name and role")

    # Add, pressed as a screen reader presses it, asks for a file.
    playlist = find(window, "list", "PLAY LIST")[0]
    if playlist.childCount != 0:
        fail(f"the play list starts with {playlist.childCount} entries")
    press(find(window, "push button", "Add", skip=engine)[0])
    dialog = wait_for("the Add dialog", lambda: next(
        (n for n in children(app) if n.getRoleName() in ("dialog", "file chooser")), None))
    name_box = wait_for("the dialog's file name box", lambda: next(
        (n for n in find(dialog, "text") if "File name" in n.name
         or any(r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                and "File name" in r.getTarget(0).name for r in n.getRelationSet())), None))
    name_box.queryEditableText().setTextContents(medium)
    press(wait_for("the dialog's Open button",
                   lambda: next(iter(find(dialog, "push button", "Open")), None)))
    wait_for("the play list to hold the added file", lambda: playlist.childCount == 1)
    entry = find(playlist, "list item")[0].name
    if entry != medium:
        fail(f"the play list shows {entry!r}, not {medium!r}")
    if process.poll() is not None:
        fail(f"the player ended with status {process.returncode}")
    print(f"Add through its accessible action added {entry}")


if __name__ == "__main__":
    sys.exit(main())
