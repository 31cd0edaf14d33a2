"""What the end-to-end suite does with the screen, the mouse, the keyboard and Wine.

The suite drives Ondrevan from outside, as a person would: xdotool moves the mouse, clicks
and types; the probe (a small Windows program) tells where a control or a dialog's button is
on the screen and what it shows; `wine reg` reads the registry. Every wait is for something
the screen or the disk shows, with a time limit.
"""

import glob
import os
import re
import subprocess
import tempfile
import time

PROBE_LINE = re.compile(
    r"x=(?P<x>-?\d+) y=(?P<y>-?\d+) left=(?P<left>-?\d+) top=(?P<top>-?\d+) "
    r"right=(?P<right>-?\d+) bottom=(?P<bottom>-?\d+) visible=(?P<visible>\d) "
    r"enabled=(?P<enabled>\d) checked=(?P<checked>\d+) iconic=(?P<iconic>\d) "
    r"class=(?P<cls>\S*) text=(?P<text>.*)$")


class Seen:
    """One window as the probe saw it."""

    def __init__(self, match):
        self.x, self.y = int(match["x"]), int(match["y"])
        self.rect = tuple(int(match[k]) for k in ("left", "top", "right", "bottom"))
        self.visible = match["visible"] == "1"
        self.enabled = match["enabled"] == "1"
        self.checked = int(match["checked"]) == 1
        self.iconic = match["iconic"] == "1"
        self.cls = match["cls"]
        self.text = match["text"]

    def __repr__(self):
        return (f"<{self.cls} {self.text!r} at {self.x},{self.y} visible={self.visible} "
                f"enabled={self.enabled} checked={self.checked} iconic={self.iconic}>")


def until(what, check, timeout=60.0, every=0.2):
    """Asks check() again until it gives something true; fails naming what was awaited."""
    deadline = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"gave up waiting for {what} after {timeout:g} s")
        time.sleep(every)


class Desktop:
    def __init__(self, prefix, probe_exe, shots):
        self.prefix = prefix
        self.drive_c = os.path.join(prefix, "drive_c")
        self.shots = shots
        self.shot_number = 0
        os.makedirs(shots, exist_ok=True)
        # The probe runs from the prefix's own C: drive, like everything else.
        self.probe_path = r"C:\ondrevan-e2e\ondrevan_probe.exe"
        os.makedirs(self.linux_path(r"C:\ondrevan-e2e"), exist_ok=True)
        subprocess.run(["cp", probe_exe, self.linux_path(self.probe_path)], check=True)

    # ---- Wine ----

    def linux_path(self, windows_path):
        assert windows_path[:3].upper() == "C:\\", windows_path
        return os.path.join(self.drive_c, *windows_path[3:].split("\\"))

    def wine(self, *args, timeout=120):
        # The output goes to files, not pipes: Wine's own services, started by whichever
        # program comes first, inherit its output and would keep a pipe open long after the
        # program has ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run(["wine", *args], cwd=self.drive_c, stdout=out, stderr=err,
                                  stdin=subprocess.DEVNULL, timeout=timeout)
            texts = []
            for file in (out, err):
                file.seek(0)
                text = file.read().decode("utf-8", errors="replace")
                texts.append(text.replace("\r\n", "\n").replace("\r", "\n"))  # as text mode
        return subprocess.CompletedProcess(done.args, done.returncode, *texts)

    def start(self, *args):
        return subprocess.Popen(["wine", *args], cwd=self.drive_c, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def reg_values(self, key):
        """The values of a registry key as {name: data}, or None when the key is missing. A
        query that failed for another reason is asked again, never taken for a missing key."""
        for _ in range(5):
            result = self.wine("reg", "query", key)
            if result.returncode == 0:
                break
            if "Unable to find" in result.stdout + result.stderr:
                return None
        else:
            raise AssertionError(f"reg query {key} failed: {result.stdout}{result.stderr}")
        values = {}
        for line in result.stdout.replace("\r", "").splitlines():
            parts = re.match(r"^    (.*?)    (REG_\w+)    ?(.*)$", line)
            if parts:
                values[parts[1]] = parts[3]
        return values

    def temp_folder(self):
        # Wine gives each user a C:\users\<name>\Temp (newer prefixes: ...\AppData\Local\Temp).
        folders = [f for pattern in (("Temp",), ("AppData", "Local", "Temp"))
                   for f in glob.glob(os.path.join(self.drive_c, "users", "*", *pattern))
                   if "/Public/" not in f]
        assert len(folders) == 1, folders
        return folders[0]

    # ---- the probe: what the screen shows ----

    def probe_lines(self, *args):
        """What the probe says, or None when what it was asked for is not there. A probe that
        Wine is slow to start on a busy machine is asked again, not taken for an answer."""
        for _ in range(5):
            try:
                result = self.wine(self.probe_path, *args, timeout=60)
                break
            except subprocess.TimeoutExpired:
                continue
        else:
            raise AssertionError(f"the probe never answered {args}")
        if result.returncode != 0:
            return None
        return result.stdout.replace("\r", "").splitlines()

    def seen(self, *args):
        lines = self.probe_lines(*args)
        if not lines:
            return None
        match = PROBE_LINE.match(lines[0])
        assert match, f"probe said {lines[0]!r}"
        return Seen(match)

    def control(self, name):
        return until(f"the control {name}", lambda: self.seen("control", name))

    def form(self):
        return self.seen("form")

    def items(self):
        lines = self.probe_lines("items")
        assert lines, "the folder list was not found"
        return lines[1:1 + int(lines[0])]

    # ---- the mouse and the keyboard ----

    def point_at(self, x, y):
        """Moves the pointer there and waits until the display has it there."""
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y)], check=True)

    def click_at(self, x, y, double=False, held=False):
        """held: the button stays down until Wine has seen the press, as on a title bar,
        whose boxes Wine tracks from the press on."""
        self.point_at(x, y)
        subprocess.run(["xdotool", "mousedown", "1"], check=True)
        if held:
            until("the press to reach Wine", lambda: self.probe_lines("button-down") == ["1"])
        subprocess.run(["xdotool", "mouseup", "1"], check=True)
        if double:
            subprocess.run(["xdotool", "click", "1"], check=True)

    def right_click_at(self, x, y):
        self.point_at(x, y)
        subprocess.run(["xdotool", "click", "3"], check=True)

    def settled(self):
        """Waits until the program has handled what was already sent to it (keys it read, a
        hot key): what those could bring about has happened, or never will."""
        until("the program to answer", lambda: self.probe_lines("settled") is not None, 60)

    def menu_up(self):
        """Waits for a menu (the system menu, a menu bar's or a list's) to be open."""
        until("the menu", lambda: self.seen("class", "#32768", "0"))

    def say_scene(self, when):
        """The log says what the screen showed: a run's screenshots may not be at hand."""
        print(f"  the screen as {when}:\n    " + "\n    ".join(
            self.probe_lines("scene") or ["(the probe saw nothing)"]), flush=True)

    def choose(self, key, what, check, timeout=60):
        """Presses the key of an item of the menu that opens, and waits for what the item
        brings. A key that finds the menu still open once the menu had its time went nowhere:
        it is pressed again, and the log says so with what the screen showed."""
        self.menu_up()
        self.key(key)
        try:
            return until(what, check, 20)
        except AssertionError:
            if not self.seen("class", "#32768", "0"):
                return until(what, check, timeout)  # the key was taken: only slow
            self.say_scene(f"the menu was still open 20 s after {key!r} (pressed again)")
            self.key(key)
        return until(what, check, timeout)

    def click(self, *probe_args, double=False, timeout=30):
        found = until(f"{' '.join(probe_args)} on the screen",
                      lambda: self.seen(*probe_args), timeout)
        self.click_at(found.x, found.y, double, held=probe_args[0] in ("caption-button",
                                                                       "title-spot"))
        return found

    def click_control(self, name):
        found = self.control(name)
        assert found.visible and found.enabled, f"{name} cannot be clicked: {found}"
        self.click_at(found.x, found.y)

    def answer(self, title, button, timeout=30):
        """Clicks a button of a dialog box and waits for the box to go."""
        self.click("button", title, button, str(timeout), timeout=timeout + 5)
        until(f"the {title!r} box to close", lambda: not self.seen("dialog", title, "0"))

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "40", "--", text], check=True)

    def key(self, *keys):
        subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True)

    def replace_text(self, name, text):
        self.click_control(name)
        self.key("End", "shift+Home")
        self.type(text)
        until(f"{name} to read {text!r}", lambda: self.control(name).text == text)

    # ---- pictures ----

    def bluest(self, rect):
        """How far blue outweighs red at the bluest point of that part of the screen (0 to 1):
        the program's icon is a blue Q, a missing one a white or grey square."""
        left, top, right, bottom = rect
        result = subprocess.run(
            ["convert", "x:root", "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
             "-fx", "b-r", "-format", "%[fx:maxima]", "info:"],
            capture_output=True, text=True, check=True)
        return float(result.stdout.strip())

    def screenshot(self, name, rect=None):
        """The whole screen, or only that part of it."""
        self.shot_number += 1
        path = os.path.join(self.shots, f"{self.shot_number:02d}-{name}.png")
        crop = []
        if rect:
            left, top, right, bottom = rect
            crop = ["-crop", f"{right - left}x{bottom - top}+{left}+{top}"]
        subprocess.run(["import", "-window", "root", *crop, path], check=False)
        return path
