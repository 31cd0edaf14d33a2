"""The end-to-end suite: installs the release in a fresh Wine world, uses the installed
program as a person would, uninstalls it, and checks the portable zip.

    suite.py --prefix WINEPREFIX --setup SETUP.EXE --zip PORTABLE.ZIP --probe PROBE.EXE
             --msi PACKAGE.MSI --later-msi LATER.MSI --rebuilt-msi REBUILT.MSI
             --ca SIGNING_AUTHORITY.PEM --samples SAMPLES_FOLDER --shots SCREENSHOT_FOLDER

The steps run in order, each building on the one before, as one person's session would.
It ends with "e2e: N passed, M failed".
"""

import argparse
import glob
import os
import re
import select
import shutil
import subprocess
import sys
import time
import traceback
import zipfile

from desktop import Desktop, until

PROGRAM_FOLDER = r"C:\Program Files\Ondrevan"
PROGRAM = PROGRAM_FOLDER + r"\Ondrevan.exe"
UNINSTALLER = PROGRAM_FOLDER + r"\Uninstall\Uninstall Ondrevan.exe"
SETTINGS_KEY = r"HKCU\Software\VB and VBA Program Settings\Quillmere\Ondrevan"
RUN_KEYS = [r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run",
            r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"]
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ondrevan"
SHORTCUT = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Ondrevan.lnk"
POLICY_KEY = r"HKLM\Software\Policies\Quillmere\Ondrevan"
EVENT_SOURCE_KEY = r"HKLM\System\CurrentControlSet\Services\EventLog\Application\Ondrevan"
PRODUCTS_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
SAMPLE_1 = PROGRAM_FOLDER + r"\Samples\TestFolder1"
SAMPLE_2 = PROGRAM_FOLDER + r"\Samples\TestFolder2"
SWITCH_OFF = "Turn On Automatic Delete"
SWITCH_ON = "Turn Off Automatic Delete"
BROWSE = "Browse for Folder"
OPEN_LISTS = "Load List(s) - Hold Ctrl to select multiple list files"
BOX = "Ondrevan"  # every message box carries the application's title
OPTIONS = "Ondrevan Options"
PREVIEW = "Ondrevan Preview"
RULES = "Rules for This Folder"
RUN_HISTORY = "Ondrevan Run History"
EXPORT = "Export the Record of Runs"
ROLE_CHART = 17  # what a screen reader calls a chart
# A count long enough to be cancelled: the same big folder, listed many times.
# A long count: this many listed folders (a run counts each folder once), each with this many
# files.
BIG_FILES, BIG_ENTRIES = 1500, 200
# A history line is "<date> <time> <message> <folder>", and the messages end in a blank.
CONTENT = "Deleted content of folder  "
FOLDER = "Deleted folder  "


def messages(history_lines):
    """The history lines without their time stamps."""
    return [line[line.index("Deleted "):] if "Deleted " in line else line
            for line in history_lines]


def virtual_display(screen):
    """A virtual display of that size, on a number Xvfb picks itself (a lock left behind by a
    display that was killed does not stand in its way), once it takes connections."""
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", f"{screen}x24",
                             "-nolisten", "tcp"], pass_fds=(write,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    try:
        deadline = time.monotonic() + 60
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([read], [], [], left)[0]:
                raise AssertionError("gave up waiting for the virtual display after 60 s")
            chunk = os.read(read, 16)
            if not chunk:
                raise AssertionError(f"Xvfb ended without a display (exit {xvfb.wait()})")
            number += chunk
    except BaseException:
        stop_display(xvfb)
        raise
    finally:
        os.close(read)
    return xvfb, ":" + number.decode().strip()


def stop_display(xvfb):
    """Asked to end, Xvfb takes its lock away with it; killed, it would leave it behind."""
    xvfb.terminate()
    try:
        xvfb.wait(timeout=30)
    except subprocess.TimeoutExpired:
        xvfb.kill()
        xvfb.wait()


class Session:
    def __init__(self, args):
        self.args = args
        self.desk = Desktop(args.prefix, args.probe, args.shots)
        self.program = None
        self.notepads = []

    # ---- helpers shared by the steps ----

    def path(self, windows_path):
        return self.desk.linux_path(windows_path)

    def history_file(self):
        return os.path.join(self.desk.temp_folder(), "Ondrevan.txt")

    def all_history(self):
        try:
            with open(self.history_file(), encoding="cp1252") as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def history(self):
        """The lines of the deletion steps, without the line that ends each run."""
        return [line for line in self.all_history() if " Run finished: " not in line]

    def run_summaries(self):
        return [line[line.index("Run finished: "):] for line in self.all_history()
                if " Run finished: " in line]

    def settings(self):
        return self.desk.reg_values(SETTINGS_KEY) or {}

    def run_values(self):
        return [(self.desk.reg_values(key) or {}).get("Ondrevan.exe") for key in RUN_KEYS]

    def trash(self):
        folder = os.path.join(os.environ["XDG_DATA_HOME"], "Trash", "files")
        return sorted(os.listdir(folder)) if os.path.isdir(folder) else []

    def start_program(self, exe=PROGRAM, visible=True, timeout=120):
        self.program = self.desk.start(exe)
        if visible:
            until("the main window", lambda: (f := self.desk.form()) and f.visible, timeout)
        else:
            until("the program's icon", lambda: self.desk.seen("tray", "1"), timeout)

    def first_entry_menu(self):
        """The folder list's menu, by a right click on its first entry."""
        left, top, _, _ = self.desk.control("ListView1").rect
        menu = lambda: self.desk.seen("class", "#32768", "0")
        # On a loaded machine a right click on the list once brought no menu in 60 s, and 78
        # clicks in a row brought it every time: taken for a click that Wine let go. The click
        # is given again once the menu had its time, and the log keeps what the screen showed
        # for the next time it happens.
        for _ in range(2):
            self.desk.right_click_at(left + 40, top + 27)
            try:
                return until("the list's menu", menu, 20)
            except AssertionError:
                self.desk.say_scene("no menu came after a right click on the list")
        self.desk.right_click_at(left + 40, top + 27)
        return until("the list's menu", menu, 20)

    def close_with_close_box(self):
        self.desk.click("caption-button", "close")
        code = self.program.wait(90)
        self.program = None
        return code

    def put_samples_back(self):
        for name in ("TestFolder1", "TestFolder2"):
            target = self.path(PROGRAM_FOLDER + "\\Samples\\" + name)
            shutil.rmtree(target, ignore_errors=True)
            shutil.copytree(os.path.join(self.args.samples, name), target)

    def load_two_lists(self, screenshot=False):
        """Both list files at once, typed into the open-file dialog as a person would: one plain,
        one in UTF-8 with its mark."""
        lists = self.path(r"C:\e2e\lists")
        os.makedirs(lists, exist_ok=True)
        with open(os.path.join(lists, "first.txt"), "w", newline="") as f:
            f.write("C:\\e2e\\Data\\One\r\nC:\\e2e\\Data\\Two\r\n")
        with open(os.path.join(lists, "second.txt"), "w", encoding="utf-8-sig", newline="") as f:
            f.write("C:\\e2e\\Data\\Três\r\n")
        before = self.desk.items()
        self.desk.click_control("PushButton12")
        until("the open-file dialog", lambda: self.desk.seen("dialog", OPEN_LISTS))
        self.desk.type(r"C:\e2e\lists")
        self.desk.key("Return")
        self.desk.type('"first.txt" "second.txt"')
        if screenshot:
            self.desk.screenshot("open-two-lists")
        self.desk.key("Return")
        until("the dialog to close", lambda: not self.desk.seen("dialog", OPEN_LISTS, "0"))
        loaded = [r"C:\e2e\Data\One", r"C:\e2e\Data\Two", r"C:\e2e\Data\Três"]
        until("both lists in the folder list", lambda: self.desk.items() == before + loaded)

    def notepad_in_front(self):
        notepad = self.desk.start("notepad")
        self.notepads.append(notepad)
        until("Notepad", lambda: self.desk.seen("top", "Untitled - Notepad", "0"), 30)
        self.click_notepad_caption()
        return notepad

    def click_main_caption(self, held=True):
        """The main window's title bar, as a person brings it to the front."""
        self.desk.click_at(self.desk.form().x, self.desk.form().rect[1] + 10, held=held)

    def click_notepad_caption(self):
        """Its title bar, where nothing covers it: Ondrevan's windows may lie over Notepad."""
        in_front = lambda: (f := self.desk.seen("foreground")) and f.cls == "Notepad"
        # Wine, with no window manager, now and then lets a click on a title bar go without
        # activating the window: the click is given again, always where only Notepad lies.
        for _ in range(5):
            spot = until("a bare spot of Notepad's title bar",
                         lambda: self.desk.seen("title-spot", "Untitled - Notepad"))
            self.desk.click_at(spot.x, spot.y, held=True)
            try:
                return until("Notepad to have the focus", in_front, 4)
            except AssertionError:
                pass
        until("Notepad to have the focus", in_front, 4)

    def close_notepad(self, notepad):
        notepad.kill()
        until("Notepad to go", lambda: not self.desk.seen("top", "Untitled - Notepad", "0"))

    def boxes(self):
        return int(self.desk.probe_lines("dialogs", BOX)[0])

    def expect_texts(self, expected):
        for name, text in expected.items():
            seen = self.desk.control(name).text
            assert seen == text, f"{name} reads {seen!r}, not {text!r}"

    def expect_checks(self, expected):
        for name, checked in expected.items():
            seen = self.desk.control(name)
            assert seen.checked == checked, f"{name}: {seen}"

    def new_history_lines(self, before, count, timeout=20):
        return until(f"{count} new history lines",
                     lambda: len(self.history()) >= before + count and self.history()[before:],
                     timeout)

    def write_list_file(self, name, entries, encoding=None):
        """A list file of those entries in C:\\e2e\\lists, as the program writes one."""
        os.makedirs(self.path(r"C:\e2e\lists"), exist_ok=True)
        with open(os.path.join(self.path(r"C:\e2e\lists"), name), "w", newline="",
                  encoding=encoding) as f:
            f.write("".join(entry + "\r\n" for entry in entries))

    def odd_list_file(self):
        """A list file naming a program file and a folder that is not there."""
        program_file, missing = r"C:\e2e\np.exe", r"C:\e2e\Nope"
        os.makedirs(self.path(r"C:\e2e"), exist_ok=True)
        with open(self.path(program_file), "w") as f:
            f.write("a program")
        self.write_list_file("odd.txt", [program_file, missing])
        return program_file, missing

    def load_list(self, name, entries, encoding=None):
        """Empties the folder list and loads a list file of those entries into it."""
        self.write_list_file(name, entries, encoding)
        self.desk.click_control("PushButton13")
        until("an empty list", lambda: self.desk.items() == [])
        self.desk.click_control("PushButton12")
        until("the open-file dialog", lambda: self.desk.seen("dialog", OPEN_LISTS))
        self.desk.type("C:\\e2e\\lists\\" + name)
        self.desk.key("Return")
        until("the list loaded", lambda: self.desk.items() == entries, 60)

    def open_preview(self):
        self.desk.click_control("Label4")  # the main window has the keyboard
        self.desk.key("alt+space")
        self.desk.choose("p", "the preview", lambda: self.desk.seen("top", PREVIEW))

    def copied_preview(self):
        """The report the preview's Copy button puts on the clipboard, once it is counted."""
        until("the preview counted", lambda: (b := self.desk.seen(
            "window-child", PREVIEW, "Button", "Copy")) and b.enabled, 60)
        self.desk.key("alt+c")
        until("the report copied", lambda: any(
            line.startswith("The report is on the clipboard")
            for line in self.desk.probe_lines("window-labels", PREVIEW) or []))
        return self.desk.wine(self.desk.probe_path, "clipboard").stdout

    def preview_rows(self):
        return [line.split("\t") for line in self.desk.probe_lines("rows", PREVIEW) or []]

    # ---- the steps ----

    def expect_installed(self, *more):
        """The program folder as an installer leaves it."""
        folder = self.path(PROGRAM_FOLDER)
        exes = sorted(f for f in os.listdir(folder) if f.lower().endswith(".exe"))
        assert exes == ["Ondrevan.exe"], f"the start-up entry must find only the program: {exes}"
        for name in ("HAND-M.CUR", "ReadMe.txt", "LICENSE.txt", r"Samples\TestFolder1\notes.txt",
                     *more):
            assert os.path.isfile(self.path(PROGRAM_FOLDER + "\\" + name)), name
        with open(self.path(PROGRAM_FOLDER + r"\ReadMe.txt"), encoding="utf-8") as f:
            left = re.findall(r"@[A-Z_]+@", f.read())
        assert not left, f"placeholders left in the read-me: {left}"

    def step_installer_installs(self):
        setup = r"C:\ondrevan-e2e\setup.exe"
        shutil.copy(self.args.setup, self.path(setup))
        result = self.desk.wine(setup, "/S")
        assert result.returncode == 0, result.stderr[-2000:]
        self.expect_installed(r"Uninstall\Uninstall Ondrevan.exe")
        assert os.path.isfile(self.path(SHORTCUT)), "Start-menu shortcut"
        entry = self.desk.reg_values(UNINSTALL_KEY)
        assert entry and entry["DisplayName"] == "Ondrevan", entry
        # Run in place: whoever runs it waits for the uninstall.
        assert entry["UninstallString"] == f'"{UNINSTALLER}" _?={PROGRAM_FOLDER}\\Uninstall', entry
        self.expect_entry_and_event_source(entry)
        assert self.desk.reg_values(SETTINGS_KEY) is None, "nothing stored before the first start"

    def step_every_file_of_the_release_is_signed(self):
        """By the throwaway authority the release was signed with: the program, the setup,
        the uninstaller it wrote and the MSI."""
        with zipfile.ZipFile(self.args.zip) as archive:
            program = os.path.join(self.args.shots, "..", "zipped-Ondrevan.exe")
            with open(program, "wb") as f:
                f.write(archive.read("Ondrevan/Ondrevan.exe"))
        for path in (program, self.args.setup, self.args.msi, self.path(UNINSTALLER),
                     self.path(PROGRAM)):
            result = subprocess.run(["osslsigncode", "verify", "-CAfile", self.args.ca,
                                     "-in", path], capture_output=True, text=True)
            assert result.returncode == 0, f"{path}: {result.stdout[-1500:]}{result.stderr[-500:]}"

    def step_first_start(self):
        self.start_program()
        self.desk.screenshot("first-start")
        self.expect_texts({"PushButton2": SWITCH_OFF, "Frame4": "Off.",
                           "ProgressBar1": "Progress Bar", "Text1": "1", "Text2": "0",
                           "Text3": "0", "cboWeekly": "Monday"})
        self.expect_checks({"Option1": True, "Option2": False, "Check1": False, "Option3": True,
                            "Option4": False, "Option5": False, "Check3": False, "Check8": False})
        assert self.desk.control("Check8").visible, "designed visible"
        assert not self.desk.control("dtpWeekly").enabled
        assert not self.desk.control("cboWeekly").enabled
        assert self.desk.items() == []
        stored = until("the keys a first start writes", lambda: (
            s := self.settings()) and {"Text1", "Text2", "Text3", "Weekly", "Weekly Time",
                                       "StartStopState"} <= s.keys() and s)
        assert stored["StartStopState"] == "Off", stored
        assert "Folders" not in stored, stored
        assert self.run_values() == [None, None]

    def step_browse_adds_a_tree(self):
        for folder in (r"C:\e2e\Tree\A\A1", r"C:\e2e\Tree\B"):
            os.makedirs(self.path(folder), exist_ok=True)
        self.desk.click_control("PushButton10")
        until("the folder browser", lambda: self.desk.seen("dialog", BROWSE))
        # Wine's browser also offers "/", the machine's own root: never that one.
        self.desk.click("tree", BROWSE, "My Computer", double=True)
        self.desk.click("tree", BROWSE, "(C:)", double=True)
        self.desk.click("tree", BROWSE, "e2e", double=True)
        self.desk.click("tree", BROWSE, "Tree")
        self.desk.screenshot("browse-for-folder")
        self.desk.answer(BROWSE, "OK")
        expected = [r"C:\e2e\Tree" + "\\", r"C:\e2e\Tree\A" + "\\", r"C:\e2e\Tree\B" + "\\",
                    r"C:\e2e\Tree\A\A1" + "\\"]
        until("the tree in the list", lambda: self.desk.items() == expected)
        stored = until("the stored list", lambda: self.settings().get("Folders"))
        for folder in expected:
            assert folder in stored, stored

    def step_open_file_loads_two_lists(self):
        self.load_two_lists(screenshot=True)

    def step_samples_replace_the_list(self):
        self.desk.click_control("PushButton13")
        until("an empty list", lambda: self.desk.items() == [])
        self.desk.click_control("PushButton14")
        self.desk.answer(BOX, "No")  # do not open the samples' folder
        until("the samples in the list", lambda: self.desk.items() == [SAMPLE_1, SAMPLE_2])

    def step_test_run_in_folder_mode(self):
        before = len(self.history())
        self.desk.click_control("PushButton3")
        lines = self.new_history_lines(before, 4)
        self.desk.screenshot("after-folder-mode-run")
        assert messages(lines) == [
            CONTENT + SAMPLE_1, FOLDER + SAMPLE_1, CONTENT + SAMPLE_2, FOLDER + SAMPLE_2], lines
        summary = until("the run's last line", lambda: self.run_summaries())[-1]
        assert re.fullmatch(r"Run finished: \d+ files? deleted \(.+\), 0 files could not be "
                            r"deleted, 2 folders sent to the Recycle Bin", summary), summary
        assert not os.path.exists(self.path(SAMPLE_1)) and not os.path.exists(self.path(SAMPLE_2))
        trash = self.trash()
        assert "TestFolder1" in trash and "TestFolder2" in trash, trash
        assert os.listdir(os.path.join(os.environ["XDG_DATA_HOME"], "Trash", "files",
                                       "TestFolder1")) == ["Drafts"], "the sub-folder went along"

    def step_test_run_in_contents_mode_asks_first(self):
        self.put_samples_back()
        self.desk.click_control("Option2")
        self.desk.click_control("Check1")
        until("both choices stored", lambda: (s := self.settings()).get("Option2") == "True"
              and s.get("Check1") == "1")
        before, runs = len(self.history()), len(self.run_summaries())
        self.desk.click_control("PushButton3")
        until("the confirmation", lambda: self.desk.seen("dialog", BOX))
        self.desk.screenshot("confirmation")
        self.desk.answer(BOX, "No")
        self.desk.settled()
        assert len(self.history()) == before

        # The answer No left everything as it was: the run Yes starts is the only one.
        self.desk.click_control("PushButton3")
        self.desk.answer(BOX, "Yes")
        until("the run's last line", lambda: len(self.run_summaries()) > runs)
        self.desk.settled()
        assert len(self.run_summaries()) == runs + 1, self.run_summaries()[runs:]
        lines = self.history()[before:]
        assert messages(lines) == [
            CONTENT + SAMPLE_1, CONTENT + SAMPLE_2], lines
        assert sorted(os.listdir(self.path(SAMPLE_1))) == ["Drafts"]
        assert sorted(os.listdir(self.path(SAMPLE_2))) == ["Old"]
        assert os.path.isfile(self.path(SAMPLE_1 + r"\Drafts\draft1.txt"))

    def step_every_three_seconds_then_the_hot_key(self):
        self.desk.click_control("Check1")  # no question before every run
        for box, value in (("Text1", "0"), ("Text2", "0"), ("Text3", "3")):
            self.desk.replace_text(box, value)
        before = len(self.history())
        self.desk.click_control("PushButton2")
        until("the switch to read On", lambda: self.desk.control("PushButton2").text == SWITCH_ON)
        until("the countdown", lambda: self.desk.control("Frame4").text.startswith(
            "On. Next deleting will occur in: "))
        assert self.settings()["StartStopState"] == "On"
        self.desk.screenshot("switched-on")
        self.desk.screenshot("main-window", self.desk.form().rect)  # the README's picture
        self.new_history_lines(before, 4, timeout=30)  # two runs, one line per folder each

        notepad = self.notepad_in_front()
        # A run that comes by while the user types in another program leaves the keyboard
        # there: the window moves its selection, not the person's hands.
        self.new_history_lines(len(self.history()), 2, timeout=30)
        self.desk.settled()
        in_front = self.desk.seen("foreground")
        assert in_front and in_front.cls == "Notepad", f"a run took the keyboard: {in_front}"
        self.typed_in_notepad("a")
        self.desk.key("ctrl+shift+t")
        until("the switch to read Off", lambda: self.desk.control("PushButton2").text == SWITCH_OFF)
        assert self.desk.control("Frame4").text == "Off."
        assert self.settings()["StartStopState"] == "Off"
        after = len(self.history())
        # A run would have come by the end of one interval (3 s) from the last one: that
        # moment, then everything the program had to handle by then.
        off = time.monotonic()
        until("an interval to go by", lambda: time.monotonic() > off + 3.5, 10)
        self.desk.settled()
        assert len(self.history()) == after, self.history()[after:]
        lines = self.history()[before:]
        assert set(messages(lines)) == {CONTENT + SAMPLE_1, CONTENT + SAMPLE_2}, lines
        self.close_notepad(notepad)

    def step_hot_key_pressed_again_during_its_question(self):
        try:
            self.hot_key_pressed_again_during_its_question()
        except BaseException:
            self.desk.say_scene("the question's step gave up")  # before its windows go
            raise
        finally:
            # Whether or not the step got to its end: the switch off and no question, as the
            # steps after it expect.
            self.close_what_a_step_opened()
            if self.desk.control("PushButton2").text != SWITCH_OFF:
                self.desk.click_control("PushButton2")
                until("the switch off",
                      lambda: self.desk.control("PushButton2").text == SWITCH_OFF)
            if self.desk.control("Check1").checked:
                self.desk.click_control("Check1")
            until("no question stored", lambda: self.settings().get("Check1") == "0")

    def hot_key_pressed_again_during_its_question(self):
        if not self.desk.control("Check1").checked:
            self.desk.click_control("Check1")  # the question before switching on
        notepad = self.notepad_in_front()
        self.desk.key("ctrl+shift+t")
        until("the question", lambda: self.desk.seen("dialog", BOX))
        first = until("the question's keyboard", lambda: self.desk.seen("dialog-focus", BOX))
        until("the question in front", lambda: (f := self.desk.seen("foreground")) and
              f.cls == "#32770" and f.text == BOX)
        self.desk.key("ctrl+shift+t")  # again, while the question is up
        # A key after it, that the question shows: the press before it has been read. In 6
        # rounds of 30 of this step in a row, on a quiet machine, no key reached the question
        # after that second press, a Tab sent again neither: the log shows the screen.
        self.desk.key("Tab")
        until("Tab to move in the question",
              lambda: (f := self.desk.seen("dialog-focus", BOX)) and f.rect != first.rect)
        self.desk.settled()
        assert self.boxes() == 1, f"{self.boxes()} questions for one switch"
        self.desk.answer(BOX, "Yes")
        until("the switch to read On", lambda: self.desk.control("PushButton2").text == SWITCH_ON)
        assert self.settings()["StartStopState"] == "On"
        self.desk.settled()
        assert self.boxes() == 0, self.desk.probe_lines("dialog-texts", BOX)
        self.click_notepad_caption()
        self.desk.key("ctrl+shift+t")  # off, without a question: the switch tells the truth
        until("the switch to read Off", lambda: self.desk.control("PushButton2").text == SWITCH_OFF)
        until("Off stored", lambda: self.settings()["StartStopState"] == "Off")
        assert self.desk.control("Frame4").text == "Off."
        self.close_notepad(notepad)

    def step_fields_are_checked_only_when_the_focus_moves_within_the_window(self):
        # Three seconds with the hours at 0, as the step ends, is an interval that reads: the
        # step begins with it whatever was stored before it.
        self.desk.replace_text("Text3", "3")
        self.desk.replace_text("Text2", "abc")
        # Typed key by key, what does not read is never stored: the next start restores "0".
        assert self.settings()["Text2"] == "0", f"stored: {self.settings()['Text2']!r}"
        notepad = self.notepad_in_front()  # another program: no word about the field
        # The main window has taken in that it is no longer active: a word would be up.
        until("the main window to let go", lambda: self.desk.probe_lines("thread-active") in (
            [""], ["Notepad"], []))
        self.desk.settled()
        assert self.boxes() == 0, "a message for switching programs"
        self.close_notepad(notepad)
        self.desk.click_control("Text3")  # back, into another field of this window
        until("the message", lambda: self.desk.seen("button", BOX, "OK"))
        assert self.desk.probe_lines("dialog-texts", BOX)[1] == "Must be a numeric entry."
        self.desk.screenshot("must-be-numeric")
        self.desk.answer(BOX, "OK")
        self.desk.replace_text("Text2", "0")

        # A total the count cannot hold is refused when the field is left.
        self.desk.replace_text("Text1", "99999999")
        self.desk.click_control("Text2")
        until("the range message", lambda: self.desk.seen("button", BOX, "OK"))
        assert "596,523 hours" in " ".join(self.desk.probe_lines("dialog-texts", BOX))
        self.desk.answer(BOX, "OK")
        self.desk.replace_text("Text1", "0")
        self.desk.click_control("Text3")
        # The focus has moved on: the field left has been checked.
        until("the focus in Text3", lambda: self.desk.probe_lines("focused")[0] == "Text3")
        self.desk.settled()
        assert self.boxes() == 0, "0 h 0 m 3 s is a good interval"
        until("the fields stored", lambda: (s := self.settings())["Text1"] == "0"
              and s["Text2"] == "0" and s["Text3"] == "3")

    def step_time_picker_clicks_and_changes_are_stored(self):
        self.desk.click_control("Option4")  # Daily: the picker is enabled
        until("Daily stored", lambda: self.settings().get("Option4") == "True")
        self.desk.wine("reg", "delete", SETTINGS_KEY, "/v", "Weekly Time", "/f")
        assert "Weekly Time" not in self.settings()
        picker = self.desk.control("dtpWeekly")
        self.desk.click_at(picker.rect[0] + 12, picker.y)  # on the hours
        stored = until("a click to store the time", lambda: self.settings().get("Weekly Time"))
        self.desk.key("Up")  # the field under the click goes one up
        until("the changed time stored", lambda: self.settings().get("Weekly Time") != stored)
        self.desk.click_control("Option3")  # back to every 3 seconds
        until("the kind stored", lambda: self.settings().get("Option3") == "True")

    def move_focus_to(self, name, key):
        for _ in range(40):
            if self.desk.probe_lines("focused")[0] == name:
                return
            self.desk.key(key)
        raise AssertionError(f"{key} never reaches {name}")

    def step_keyboard_reaches_every_control_in_reading_order(self):
        stored = self.settings()
        checks = {name: self.desk.control(name).checked
                  for name in ("Option1", "Option2", "Option3", "Option4", "Option5")}
        # Reading order: the left half top to bottom, then the right half; one stop for each
        # option group, on its selected option.
        selected = lambda *names: next(n for n in names if checks[n])
        order = ["PushButton2", "PushButton3", "ListView1", "PushButton10", "PushButton12",
                 "PushButton13", "PushButton14", selected("Option1", "Option2"), "Check1",
                 "PushButton6", selected("Option3", "Option4", "Option5"), "Text1", "Text2",
                 "Text3", "dtpWeekly", "cboWeekly", "Check3", "Check8", "PushButton1",
                 "PushButton4", "PushButton11", "PushButton5"]
        order = [n for n in order if self.desk.control(n).visible and self.desk.control(n).enabled]
        self.click_main_caption()
        focused = lambda: self.desk.probe_lines("focused")[0]
        self.move_focus_to(order[-1], "Tab")
        seen = []
        for _ in order:
            before = seen[-1] if seen else order[-1]
            self.desk.key("Tab")
            seen.append(until("the focus to move", lambda: (f := focused()) != before and f, 5))
        self.desk.screenshot("focus-moved-by-tab")
        assert seen == order, seen
        self.desk.key("shift+Tab")
        until("Shift+Tab to go back", lambda: focused() == order[-2])
        assert self.settings() == stored, "moving the focus changes nothing"
        assert {n: self.desk.control(n).checked for n in checks} == checks

        # The arrow keys move within an option group, and choose as they go.
        option = selected("Option1", "Option2")
        other = "Option2" if option == "Option1" else "Option1"
        self.move_focus_to(option, "shift+Tab")
        self.desk.key("Down")
        until("the other option chosen", lambda: self.desk.control(other).checked)
        assert focused() == other
        until("the choice stored", lambda: self.settings()[other] == "True")
        self.desk.key("Up")
        until("back again", lambda: self.desk.control(option).checked)
        assert self.settings()[option] == "True"

        # Enter and Space press the focused button: "?" answers with a box.
        self.move_focus_to("PushButton6", "Tab")
        for key in ("Return", "space"):
            self.desk.key(key)
            self.desk.answer(BOX, "OK")

    def step_minimize_to_tray_and_back(self):
        self.desk.click("caption-button", "minimize")
        until("the window to hide", lambda: not self.desk.form().visible)
        balloon = until("the balloon", lambda: self.desk.seen("class", "tooltips_class32", "0"))
        self.desk.screenshot("balloon")
        assert balloon.visible
        icon = until("the icon", lambda: self.desk.seen("tray"))
        assert self.desk.bluest(icon.rect) > 0.3, "the icon is drawn, not a blank square"
        self.desk.settled()
        assert not self.desk.form().visible, "it stays hidden"
        self.desk.click("tray")
        until("the window back", lambda: (f := self.desk.form()) and f.visible and not f.iconic)

    def step_startup_entry_on_and_off(self):
        self.desk.click_control("Check3")
        until("the start-up entry", lambda: self.run_values()[0] == PROGRAM)
        assert self.settings()["Windows Startup"] == "On"
        self.desk.click_control("Check3")
        until("no start-up entry", lambda: self.run_values() == [None, None])
        assert self.settings()["Windows Startup"] == "Off"
        self.desk.click_control("Check3")  # left on: the uninstaller must take it away
        until("the start-up entry again", lambda: self.run_values()[0] == PROGRAM)

    def step_rules_set_in_options_then_preview_matches_the_run(self):
        # A folder with an old file, a young one, an old one the patterns keep, and deeper
        # down an old one: folder mode must keep the folder, since it holds kept files.
        folder = r"C:\e2e\Rules"
        month_ago = time.time() - 30 * 86400
        os.makedirs(self.path(folder + r"\Sub"), exist_ok=True)
        for name, text, old in (("old.txt", "old text", True), ("young.txt", "young", False),
                                ("old.keep", "kept", True), (r"Sub\deep.txt", "deep", True)):
            with open(self.path(folder + "\\" + name), "w") as f:
                f.write(text)
            if old:
                os.utime(self.path(folder + "\\" + name), (month_ago, month_ago))
        self.write_list_file("rules.txt", [folder])
        self.desk.click_control("PushButton13")
        until("an empty list", lambda: self.desk.items() == [])
        self.desk.click_control("PushButton12")
        until("the open-file dialog", lambda: self.desk.seen("dialog", OPEN_LISTS))
        self.desk.type(r"C:\e2e\lists\rules.txt")
        self.desk.key("Return")
        until("the folder in the list", lambda: self.desk.items() == [folder])
        self.desk.click_control("Option1")  # folder mode

        # The rules, typed into the options window from the system menu.
        self.open_options()
        self.desk.key("End", "BackSpace", "BackSpace")
        self.desk.type("-1")
        until("the age refused beside its field", lambda: any(
            "whole number of days" in line
            for line in self.desk.probe_lines("window-labels", "Ondrevan Options") or []))
        assert self.settings().get("MinimumAgeDays") in (None, "0"), "a negative age is not stored"
        self.desk.key("BackSpace", "BackSpace")
        self.desk.type("7")
        self.desk.key("Tab")
        self.desk.type("*.KEEP")
        until("the age stored, once left", lambda: self.settings().get("MinimumAgeDays") == "7")
        self.desk.screenshot("options")
        self.close_by_alt_f4(OPTIONS)
        until("the patterns stored as the window closed",
              lambda: self.settings().get("KeepPatterns") == "*.KEEP")

        # The preview, from the system menu too.
        self.desk.click_control("Label4")  # the main window has the keyboard again
        self.desk.key("alt+space")
        self.desk.choose("p", "the preview", lambda: self.desk.seen("top", PREVIEW))
        report = self.copied_preview().splitlines()
        self.desk.screenshot("preview")
        line = next(l for l in report if l.startswith(folder + ":"))
        assert line.startswith(folder + ": 1 file (8 bytes) would be deleted, 2 files (9 bytes) "
                               "kept by the rules; the folder stays: it holds a file the rules "
                               "keep: "), report
        # The command line writes the same report.
        result = self.desk.wine(PROGRAM, "/preview")
        assert result.returncode == 0, result.stderr[-1000:]
        assert result.stdout.splitlines() == report, (result.stdout, report)

        # The run does what the preview said.
        self.close_by_alt_f4(PREVIEW)  # the preview lies over the buttons
        before = len(self.run_summaries())
        self.desk.click_control("PushButton3")
        if self.settings().get("Check1") == "1":
            self.desk.answer(BOX, "Yes")
        summary = until("the run's last line",
                        lambda: len(self.run_summaries()) > before and self.run_summaries()[-1])
        assert summary == ("Run finished: 1 file deleted (8 bytes), 0 files could not be "
                           "deleted, 0 folders sent to the Recycle Bin, 2 files kept by the "
                           "rules"), summary
        total = next(l for l in report if l.startswith("Total:"))
        assert total.startswith("Total: 1 file (8 bytes) would be deleted, 2 files (9 bytes) kept"
                                " by the rules, 0 folders would go to the Recycle Bin"), total
        left = sorted(os.listdir(self.path(folder)))
        assert left == ["Sub", "old.keep", "young.txt"], left
        assert os.path.isfile(self.path(folder + r"\Sub\deep.txt"))

        # The rules go again, and the mode the later steps expect comes back.
        for key in ("MinimumAgeDays", "KeepPatterns"):
            result = self.desk.wine("reg", "delete", SETTINGS_KEY, "/v", key, "/f")
            assert result.returncode == 0, (key, result.stderr[-500:])
        assert "MinimumAgeDays" not in self.settings(), self.settings()
        self.desk.click_control("Option2")

    def step_a_folders_own_rules_set_by_keyboard_then_preview_and_run(self):
        """A folder's own rules, typed into its window from the list's right-click menu: an
        age, a pattern and a cap of two files. The preview says what they decide; the run
        does it, and says what the cap took."""
        folder = r"C:\e2e\Own"
        os.makedirs(self.path(folder), exist_ok=True)
        for name, days in (("a.txt", 40), ("b.txt", 20), ("c.txt", 10), ("d.txt", 0),
                           ("x.iso", 40)):
            with open(self.path(folder + "\\" + name), "w") as f:
                f.write("0123456789")
            when = time.time() - days * 86400 - 60
            os.utime(self.path(folder + "\\" + name), (when, when))
        lists = self.path(r"C:\e2e\lists")
        os.makedirs(lists, exist_ok=True)
        with open(os.path.join(lists, "own.txt"), "w", newline="") as f:
            f.write(folder + "\r\n")
        self.desk.click_control("PushButton13")
        until("an empty list", lambda: self.desk.items() == [])
        self.desk.click_control("PushButton12")
        until("the open-file dialog", lambda: self.desk.seen("dialog", OPEN_LISTS))
        self.desk.type(r"C:\e2e\lists\own.txt")
        self.desk.key("Return")
        until("the folder in the list", lambda: self.desk.items() == [folder])
        self.desk.click_control("Option2")  # contents mode

        # The entry's menu, then the keyboard: mode, age, by, keep, ..., files.
        self.first_entry_menu()
        self.desk.key("f")
        until("the folder's rules", lambda: self.desk.seen("top", "Rules for This Folder"))
        self.desk.key("Tab")
        self.desk.type("abc")
        self.desk.key("Tab")
        until("the age refused beside its field", lambda: any(
            "Not saved" in line for line in
            self.desk.probe_lines("window-labels", "Rules for This Folder") or []))
        self.desk.key("shift+Tab", "End", "BackSpace", "BackSpace", "BackSpace")
        self.desk.type("15")
        self.desk.key("Tab", "Tab")
        self.desk.type("*.ISO")
        self.desk.key("Tab", "Tab", "Tab", "Tab")
        self.desk.type("2")
        self.desk.screenshot("folder-rules")
        # The main window taken without leaving the field: the cap the field shows is in
        # force before anything can run.
        spot = until("a bare spot of the main window's title bar",
                     lambda: self.desk.seen("title-spot", "Ondrevan"))
        self.desk.click_at(spot.x, spot.y, held=True)
        until("the cap stored", lambda: "maxfiles=2" in self.settings().get("FolderRules", ""))
        # Back from the list's menu, the window shows what is stored, and closes.
        self.move_focus_to("ListView1", "Tab")
        self.desk.key("shift+F10")
        until("the list's menu", lambda: self.desk.seen("class", "#32768", "0"))
        self.desk.key("f")
        until("the rules window in front", lambda: (f := self.desk.seen("foreground"))
              and f.text == "Rules for This Folder")
        self.desk.key("Escape")
        until("the rules window to hide",
              lambda: not self.desk.seen("top", "Rules for This Folder", "0"))

        result = self.desk.wine(PROGRAM, "/preview")
        assert result.returncode == 0, result.stderr[-1000:]
        report = result.stdout.replace("\r", "").splitlines()
        rules = next(l for l in report if l.startswith("    its own rules: "))
        assert rules == ("    its own rules: older than 15 days; keep *.ISO; at most 2 files: "
                         "2 files deleted by age (20 bytes), 1 kept by age (10 bytes), 1 kept "
                         "by pattern (10 bytes), 1 deleted by the cap (10 bytes)"), report

        before = len(self.history())
        self.desk.click_control("PushButton3")
        if self.settings().get("Check1") == "1":
            self.desk.answer(BOX, "Yes")
        lines = self.new_history_lines(before, 3)
        assert any(l.endswith("Deleted to keep folder at most 2 files  " + folder +
                              " (1 file, 10 bytes)") for l in lines), lines
        summary = until("the run's last line", lambda: self.run_summaries())[-1]
        assert summary.startswith("Run finished: 3 files deleted (30 bytes)"), summary
        assert sorted(os.listdir(self.path(folder))) == ["d.txt", "x.iso"]

        # Taken off the list, the folder's rules go with it.
        self.desk.click_control("PushButton13")
        until("an empty list", lambda: self.desk.items() == [])
        until("the rules cleared", lambda: not self.settings().get("FolderRules"))

    def step_where_rules_meet_the_preview_the_windows_run_and_run_agree(self):
        """A tree where the features meet: a listed folder inside another with rules of its
        own, a folder aged by the last opening with a file opened yesterday deep inside, the
        same folder listed twice in two forms, a rule written in another form, a protected
        folder and a relative entry. /preview, the window's run and /run say and do the same,
        and nothing the rules keep is lost."""
        meet = r"C:\e2e\Meet"
        day = 86400
        tree = {  # path below meet: (days since written, days since opened)
            r"Data\top.txt": (9, 9), r"Data\Logs\a.log": (9, 9), r"Data\Logs\b.txt": (9, 9),
            r"Aged\old.txt": (100, 100), r"Aged\sub\read.txt": (100, 1),
        }

        def plant():
            shutil.rmtree(self.path(meet), ignore_errors=True)
            for name, (written, opened) in tree.items():
                path = self.path(meet + "\\" + name)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w") as f:
                    f.write("12345")
                now = time.time()
                os.utime(path, (now - opened * day - 60, now - written * day - 60))

        def left():
            return sorted(name for name in tree if os.path.exists(self.path(meet + "\\" + name)))

        entries = [meet + "\\Data\\", meet + "\\Data\\Logs\\", r"c:\E2E\meet\DATA",
                   meet + "\\Aged", r"C:T\rel", r"C:\Windows"]
        plant()
        self.load_list("meet.txt", entries)
        self.desk.click_control("Option1")  # folder mode
        # Each folder's own rules, written another way than the list holds the folders.
        settings = self.path(r"C:\e2e\lists\meet-rules.txt")
        with open(settings, "w", newline="") as f:
            f.write("FolderRules=c:/e2e/meet/data/logs\tkeep=*.log\r\n"
                    "+C:\\E2E\\Meet\\Aged\\\\\tage=30;ageby=opened\r\n")
        result = self.desk.wine(PROGRAM, "/import", r"C:\e2e\lists\meet-rules.txt")
        assert result.returncode == 0, result.stdout + result.stderr[-1000:]

        preview = self.desk.wine(PROGRAM, "/preview")
        assert preview.returncode == 0, preview.stderr[-1000:]
        report = preview.stdout.replace("\r", "")
        for said in ("the folder stays: it holds the listed folder " + meet + "\\Data\\Logs",
                     r"c:\E2E\meet\DATA: listed before as " + meet + "\\Data\\: cleared once",
                     "the folder stays: it holds a file the rules keep: " + meet +
                     r"\Aged\sub\read.txt (younger than 30 days by last opening)",
                     r"C:T\rel: refused (not a full path)",
                     r"C:\Windows: refused (a protected folder)", "2 entries refused"):
            assert said in report, said + "\n" + report

        def run_lines(before):  # the run's lines, their time stamps taken off
            return [re.sub(r"^\d+/\d+/\d+ \d+:\d+:\d+( [AP]M)? ", "", line)
                    for line in self.all_history()[before:]]

        before = len(self.all_history())
        self.desk.click_control("PushButton3")
        if self.settings().get("Check1") == "1":
            self.desk.answer(BOX, "Yes")
        until("the run's last line", lambda: len(self.run_summaries()) and
              any("Run finished: " in l for l in self.all_history()[before:]))
        by_window, window_left = run_lines(before), left()
        assert window_left == [r"Aged\sub\read.txt", r"Data\Logs\a.log"], window_left

        plant()
        before = len(self.all_history())
        result = self.desk.wine(PROGRAM, "/run")
        assert result.returncode == 1, "two entries were refused: " + result.stdout
        by_switch = run_lines(before)
        assert left() == window_left, left()
        # The same lines, and no failure for what the rules keep.
        assert by_switch == by_window, (by_window, by_switch)
        assert not any("Could not" in l for l in by_window), by_window
        assert by_window[-1].endswith(", 2 entries refused"), by_window
        self.desk.click_control("PushButton13")
        until("an empty list", lambda: self.desk.items() == [])
        shutil.rmtree(self.path(meet), ignore_errors=True)

    def step_folders_dropped_and_picked_ruled_from_the_menus_run_from_the_tray_then_undone(self):
        """A folder dropped from Explorer (a file dropped with it is refused with a word), one
        added by Add Folder..., its rules set through the menu bar, a run from the tray icon's
        menu, the removal undone with Ctrl+Z: by the keyboard wherever a keyboard can."""
        dropped, picked = r"C:\e2e\Dropped", r"C:\e2e\Picked"
        os.makedirs(self.path(dropped), exist_ok=True)
        os.makedirs(self.path(picked + r"\Below"), exist_ok=True)
        for path in (dropped + r"\old.tmp", picked + r"\old.tmp", picked + r"\a.keep",
                     r"C:\e2e\note.txt"):
            with open(self.path(path), "w") as f:
                f.write("0123456789")
        self.click_main_caption(held=False)
        self.desk.key("alt+c")  # "Clear List"
        until("an empty list", lambda: self.desk.items() == [])
        self.desk.key("alt+b")  # contents mode: the folders stay, their files go
        until("contents mode", lambda: self.desk.control("Option2").checked)

        # Dropped on the list: the folder alone, the file refused with the reason.
        assert self.desk.probe_lines("drop", dropped, r"C:\e2e\note.txt") is not None
        until("the dropped folder in the list", lambda: self.desk.items() == [dropped + "\\"])
        said = until("the refusal", lambda: "\n".join(
            self.desk.probe_lines("dialog-texts", BOX) or []))
        assert "C:\\e2e\\note.txt: it is a file; only folders are listed." in said, said
        self.desk.key("Return")
        until("the box to close", lambda: self.boxes() == 0)

        # List > Add Folder...: the picker with an address field; the folder comes alone.
        self.desk.key("alt+l")
        until("the List menu", lambda: self.desk.seen("class", "#32768", "0"))
        self.desk.screenshot("menu-bar-list")
        self.desk.key("a")
        picker = until("the folder picker", lambda: self.desk.seen("top", "Add Folder"))
        self.desk.screenshot("add-folder", picker.rect)
        self.desk.type(picked)
        self.desk.key("Return")
        until("the picked folder in the list",
              lambda: self.desk.items() == [dropped + "\\", picked + "\\"], timeout=30)
        # Under Wine without a window manager the picker can leave Wine's own tray window in
        # front (seen on a fresh desktop): the keyboard is taken back to the main window as a
        # person would, by its caption.
        self.click_main_caption()
        until("the main window in front",
              lambda: (f := self.desk.seen("foreground")) and f.cls == "OndrevanForm1")

        # Its rules through the menu bar: List > Rules for This Folder..., the keep pattern.
        self.move_focus_to("ListView1", "Tab")
        self.desk.key("End")
        self.desk.key("alt+l")
        until("the List menu", lambda: self.desk.seen("class", "#32768", "0"))
        self.desk.key("f")
        until("the rules window in front", lambda: (f := self.desk.seen("foreground"))
              and f.text == RULES)
        self.desk.key("alt+k")
        self.desk.type("*.keep")
        self.desk.key("Escape")
        until("the pattern stored",
              lambda: "keep=*.keep" in self.settings().get("FolderRules", ""))

        # The tray icon's menu runs it.
        before = len(self.run_summaries())
        icon = self.desk.seen("tray")

        def right_click_opens_the_menu():
            # Wine's tray may miss a click that comes with the pointer's arrival: again, but
            # only once the menu had its time to open (a click while it opens closes it).
            subprocess.run(["xdotool", "click", "3"], check=True)
            try:
                return until("the menu after a click",
                             lambda: self.desk.seen("class", "#32768", "3"), timeout=5)
            except AssertionError:
                return None
        ran = lambda: len(self.run_summaries()) > before

        def run_now_from_the_menu():
            # Under Wine without a window manager the tray's own window gets the click first
            # and can take the keyboard back from the menu just opened: the key is lost and
            # the menu stays open. It is closed from the main window's caption, and opened
            # again.
            subprocess.run(["xdotool", "mousemove", str(icon.x), str(icon.y)], check=True)
            until("the tray icon's menu", right_click_opens_the_menu, timeout=40)
            self.desk.screenshot("tray-menu")
            self.desk.key("r")  # Run Now
            try:
                if self.settings().get("Check1") == "1":
                    self.desk.answer(BOX, "Yes")
                return until("the run's last line", ran, timeout=15)
            except AssertionError:
                if not self.desk.seen("class", "#32768", "3"):
                    return until("the run's last line", ran)  # the menu took the key
                self.click_main_caption()
                until("the menu to close", lambda: not self.desk.seen("class", "#32768", "3"))
                return False
        until("a run from the tray icon's menu", run_now_from_the_menu, timeout=240)
        assert not os.path.exists(self.path(dropped + r"\old.tmp"))
        assert sorted(os.listdir(self.path(picked))) == ["Below", "a.keep"]
        assert self.desk.form().visible, "the run from the tray leaves the window as it was"

        # Delete takes the picked folder and its rules away; Ctrl+Z brings both back.
        self.move_focus_to("ListView1", "Tab")
        self.desk.key("End", "Delete")
        until("the folder removed", lambda: self.desk.items() == [dropped + "\\"])
        until("its rules gone", lambda: "keep=" not in self.settings().get("FolderRules", ""))
        self.desk.key("ctrl+z")
        until("the folder back", lambda: self.desk.items() == [dropped + "\\", picked + "\\"])
        until("its rules back", lambda: "keep=*.keep" in self.settings().get("FolderRules", ""))
        self.desk.screenshot("undone")

    def close_by_alt_f4(self, title):
        """Alt+F4 goes to the window in front: it is brought there first, so that it never
        closes the main window (and the program) instead."""
        def in_front():
            found = self.desk.seen("foreground")
            if found and found.text == title:
                return True
            spot = self.desk.seen("title-spot", title)
            if spot:
                self.desk.click_at(spot.x, spot.y, held=True)
            return False
        until(f"{title} in front", in_front)
        self.desk.key("alt+F4")
        until(f"the {title} window to hide", lambda: not self.desk.seen("top", title, "0"))
        assert self.desk.form(), "Alt+F4 closed the program"

    def open_options(self):
        self.desk.click_control("Label4")  # the main window has the keyboard
        self.desk.key("alt+space")
        self.desk.choose("o", "the options window", lambda: self.desk.seen("top", OPTIONS))

    def typed_in_notepad(self, text):
        """A key typed after the others: once Notepad shows it, the keys before it have gone
        where they go, and the program has handled any of them it was given."""
        had = self.notepad_text()
        self.desk.type(text)
        until(f"{text!r} in Notepad", lambda: self.notepad_text() == had + text, 60)
        self.desk.settled()

    def notepad_text(self):
        return "\n".join(self.desk.probe_lines("window-text", "Untitled - Notepad") or [])

    def step_preview_reads_as_a_table_sorts_copies_and_cancels(self):
        base = r"C:\e2e\Table"
        for name, size in (("Ten", 10), ("Small", 9), ("Large", 2048)):
            os.makedirs(self.path(base + "\\" + name), exist_ok=True)
            with open(self.path(base + "\\" + name + r"\f.bin"), "wb") as f:
                f.write(b"x" * size)
        entries = [base + r"\Ten", base + r"\Small", r"C:\Windows", base + r"\Gone",
                   base + r"\Large"]
        self.load_list("table.txt", entries)
        self.open_preview()
        until("the preview counted", lambda: (b := self.desk.seen(
            "window-child", PREVIEW, "Button", "Copy")) and b.enabled, 60)
        # The keyboard starts in the table; Tab goes on to Copy.
        assert until("the keyboard in the preview",
                     lambda: self.desk.seen("window-focus", PREVIEW)).cls == "SysListView32"
        self.desk.key("Tab")
        until("Copy focused", lambda: self.desk.seen("window-focus", PREVIEW).text == "&Copy")
        report = self.copied_preview()
        # The totals come first, and say what would happen, not what did.
        labels = self.desk.probe_lines("window-labels", PREVIEW)
        assert labels[:2] == ["3 files (2.0 KB) would be deleted, 0 files (0 bytes) kept by the "
                              "rules", "0 folders would go to the Recycle Bin, 1 entry refused"], labels
        rows = self.preview_rows()
        assert [row[0] for row in rows] == entries, rows
        assert rows[0] == [entries[0], "Delete files", "1", "10 bytes", "0", ""], rows
        assert rows[2][1] == "Refused" and rows[2][5], rows
        assert rows[3] == [entries[3], "None", "", "", "", "not there"], rows
        self.desk.screenshot("preview-table", self.desk.seen("top", PREVIEW).rect)

        # Sizes sort as numbers, and a second click turns the order round.
        self.desk.click("heading", PREVIEW, "Size")
        by_size = [entries[i] for i in (2, 3, 1, 0, 4)]  # those without a size first
        until("the rows by size", lambda: [r[0] for r in self.preview_rows()] == by_size)
        sorted_at = time.monotonic()
        # A second click within the double-click time would be a double click.
        until("the double-click time to go by", lambda: time.monotonic() > sorted_at + 0.6)
        self.desk.click("heading", PREVIEW, "Size")
        until("the rows by size, largest first",
              lambda: [r[0] for r in self.preview_rows()] == [entries[i] for i in (4, 0, 1, 2, 3)])
        # Another column starts from the smallest, whatever order the last one had.
        sorted_at = time.monotonic()
        until("the double-click time to go by", lambda: time.monotonic() > sorted_at + 0.6)
        self.desk.click("heading", PREVIEW, "Folder")
        until("the rows by folder, A first",
              lambda: [r[0] for r in self.preview_rows()] == [entries[i] for i in (3, 4, 1, 0, 2)])

        # Copy gives what /preview writes, whatever the order shown.
        result = self.desk.wine(PROGRAM, "/preview")
        assert result.returncode == 0, result.stderr[-1000:]
        assert report == result.stdout, (report, result.stdout)
        assert ("Total: " + labels[0] + ", " + labels[1] + "\n") in report, report
        assert self.copied_preview() == report
        self.desk.key("Escape")
        until("the preview to hide", lambda: not self.desk.seen("top", PREVIEW, "0"))

        # A long count shows how far it has come, the window answers, and Cancel stops it.
        bigs = [base + rf"\Big\{n:03}" for n in range(BIG_ENTRIES)]
        for big in bigs:
            os.makedirs(self.path(big), exist_ok=True)
            for i in range(BIG_FILES):
                open(os.path.join(self.path(big), f"{i:05}.tmp"), "w").close()
        self.load_list("big.txt", bigs)
        self.open_preview()
        status = lambda: (self.desk.probe_lines("window-labels", PREVIEW) or ["", "", ""])[2]
        first = until("the count under way", lambda: (t := status()).startswith("Counting: ") and t)
        until("the count going on", lambda: (t := status()) != first and t.startswith("Counting"))
        self.desk.screenshot("preview-counting")
        started = time.monotonic()
        self.desk.key("alt+a")
        stopped = until("the count cancelled", lambda: (t := self.desk.probe_lines(
            "window-labels", PREVIEW)[0]).startswith("Counting cancelled after ") and t)
        waited = time.monotonic() - started
        print(f"  Cancel answered in {waited:.1f} s (the probe's own round trips included)")
        assert waited < 5, "Cancel took long"
        counted = int(stopped.split()[3].replace(",", ""))
        assert 0 < counted < BIG_ENTRIES and len(self.preview_rows()) == counted, stopped
        assert not self.desk.seen("window-child", PREVIEW, "Button", "Copy").enabled
        self.desk.key("Escape")
        until("the preview to hide", lambda: not self.desk.seen("top", PREVIEW, "0"))
        shutil.rmtree(self.path(base))
        self.load_list("rules.txt", [r"C:\e2e\Rules"])

    def close_what_a_step_opened(self):
        """Its boxes, tool windows and dialogs, and the Notepads it started."""
        for title in (OPTIONS, BOX, PREVIEW, RULES, BROWSE, OPEN_LISTS):
            self.desk.probe_lines("close-top", title)
        for notepad in self.notepads:
            notepad.kill()
        self.notepads = []

    def tidy(self, was_running):
        """After a step that failed: its boxes, tool windows and Notepads go, and the program
        starts afresh from what it stored, with the list it showed, so that what the step left
        half typed or half chosen in the window does not reach the next step. It starts again
        too when the step failed with it closed, if it ran when the step began."""
        try:
            self.close_what_a_step_opened()
            alive = self.program is not None and self.program.poll() is None
            if not (alive or was_running):
                return
            # The list as the window showed it, which the program does not store when it came
            # from the samples.
            items = None
            if alive:
                try:
                    items = self.desk.items()
                except AssertionError:
                    pass
            copies = lambda: self.desk.probe_lines("windows", "OndrevanForm1")
            if copies() != ["0"]:
                self.desk.probe_lines("close")
            if alive:
                try:
                    self.program.wait(60)
                except subprocess.TimeoutExpired:
                    self.program.kill()
                    self.program.wait(60)
            until("no copy of the program left", lambda: copies() == ["0"], 60)
            # Stored to start in the tray, it does: a second start brings its window up.
            self.start_program(visible=False)
            if not until("the main window made", lambda: self.desk.form()).visible:
                assert self.desk.start(PROGRAM).wait(90) == 0
            until("the main window", lambda: (f := self.desk.form()) and f.visible, 60)
            if items and self.desk.items() != items:
                self.load_list("as-the-failed-step-left-it.txt", items, "utf-8-sig")
        except Exception:
            traceback.print_exc()

    def designed_hot_key_back(self):
        """Ctrl+Shift+T with its press kept, as designed, and the switch off: what the steps
        after a chosen hot key expect, whether or not that step got to its end."""
        self.close_what_a_step_opened()
        if not self.program or self.program.poll() is not None:
            self.start_program()
        if self.desk.control("PushButton2").text != SWITCH_OFF:
            self.desk.click_control("PushButton2")
            until("the switch off", lambda: self.desk.control("PushButton2").text == SWITCH_OFF)
        stored = self.settings()
        if "HotKey" in stored or "HotKeyPassThrough" in stored:
            # The program reads its hot key at start: the values go, then a fresh start.
            self.desk.probe_lines("close")
            assert self.program.wait(60) == 0
            for key in ("HotKey", "HotKeyPassThrough"):
                self.desk.wine("reg", "delete", SETTINGS_KEY, "/v", key, "/f")
            self.start_program()
        until("the designed hint", lambda: self.desk.control("Label5").text ==
              "(Press Ctrl+Shift+T to toggle ON/OFF)")

    def step_chosen_hot_key_toggles_and_can_keep_its_press(self):
        try:
            self.chosen_hot_key_toggles_and_can_keep_its_press()
        except BaseException:
            self.desk.screenshot("hot-key-as-it-failed")  # before the designed key comes back
            self.desk.say_scene("the hot key's step gave up")
            raise
        finally:
            self.designed_hot_key_back()

    def chosen_hot_key_toggles_and_can_keep_its_press(self):
        # F5 is Notepad's "insert the time": a press that reaches Notepad leaves text there.
        self.open_options()
        self.desk.click("window-child", OPTIONS, "msctls_hotkey32")
        self.desk.key("F5")
        until("the hot key stored", lambda: self.settings().get("HotKey") == "F5")
        until("the hint", lambda: self.desk.control("Label5").text ==
              "(Press F5 to toggle ON/OFF)")
        self.desk.click("window-child", OPTIONS, "Edit")
        self.close_by_alt_f4(OPTIONS)
        asks = self.settings().get("Check1") == "1"

        def toggle_in_notepad(key):
            before = self.desk.control("PushButton2").text
            self.desk.key(key)
            if asks and before == SWITCH_OFF:
                self.desk.answer(BOX, "Yes")
                # The box gave the keyboard back to the window it belongs to: the person
                # goes back to Notepad.
                self.click_notepad_caption()
            return before

        notepad = self.notepad_in_front()
        before = toggle_in_notepad("F5")
        until("F5 to toggle", lambda: self.desk.control("PushButton2").text != before)
        until("the press to reach Notepad too", lambda: self.notepad_text().strip() != "")
        toggled = self.desk.control("PushButton2").text
        self.desk.key("ctrl+shift+t")
        self.typed_in_notepad("q")
        assert self.desk.control("PushButton2").text == toggled, "Ctrl+Shift+T no longer toggles"
        self.close_notepad(notepad)

        self.open_options()
        self.desk.click("window-child", OPTIONS, "Button",
                        "Let the key reach the program in front")
        until("pass-through off", lambda: self.settings().get("HotKeyPassThrough") == "Off")
        self.close_by_alt_f4(OPTIONS)
        notepad = self.notepad_in_front()
        before = toggle_in_notepad("F5")
        until("F5 to toggle again", lambda: self.desk.control("PushButton2").text != before)
        self.typed_in_notepad("x")
        assert self.notepad_text() == "x", "the toggling press stayed with Ondrevan"
        self.close_notepad(notepad)

    def tab_on(self, title, key):
        """Presses Tab (or Shift+Tab) in that window and waits for the keyboard to move."""
        was = until("a control with the keyboard", lambda: self.desk.seen("window-focus", title))
        self.desk.key(key)
        until(f"{key} to move the keyboard", lambda: (f := self.desk.seen(
            "window-focus", title)) and (f.rect, f.cls) != (was.rect, was.cls))

    def options_lines(self):
        return self.desk.probe_lines("window-labels", OPTIONS) or []

    def options_focus(self):
        found = self.desk.seen("window-focus", OPTIONS)
        return found and (found.cls, found.text)

    def refused(self, starts):
        """The line under a field that says a value is not saved, once it is shown."""
        return until(f"the refusal {starts!r}", lambda: next(
            (line for line in self.options_lines() if line.startswith("Not saved: " + starts)),
            None))

    def step_options_store_only_what_the_user_is_done_with(self):
        # A careless hand in the options window, by the keyboard alone.
        self.open_options()
        until("the keyboard in the age", lambda: self.options_focus() == ("Edit", "0"))
        self.desk.key("End", "BackSpace")
        self.desk.type("45")
        self.desk.key("Tab")
        until("45 stored once left", lambda: self.settings().get("MinimumAgeDays") == "45")
        # Back in the field, on the way to 46 it reads 4: nothing is in force until it is left.
        self.desk.key("shift+Tab")
        self.desk.key("End", "BackSpace")
        until("the field to read 4", lambda: (self.desk.probe_lines("window-text", OPTIONS)
                                              or [""])[0] == "4")
        self.desk.settled()
        assert self.settings().get("MinimumAgeDays") == "45", "the 4 on the way is not stored"
        self.desk.key("BackSpace")
        self.desk.type("36501")
        line = self.refused("The age")
        assert line.endswith("The value in force is 45."), line
        self.desk.key("Tab")
        self.desk.type("a|b")
        line = self.refused("A pattern")
        assert line.endswith("No pattern is in force."), line
        field = until("the field with the keyboard", lambda: self.desk.seen("window-focus", OPTIONS))
        self.desk.key("Tab")
        until("the field left", lambda: (f := self.desk.seen("window-focus", OPTIONS))
              and f.rect != field.rect)
        self.desk.settled()
        stored = self.settings()
        assert stored.get("MinimumAgeDays") == "45" and "KeepPatterns" not in stored, stored

        # The hot-key field: a modifier alone, a capital letter, keys every program uses.
        self.desk.key("Tab", "Tab", "Tab")
        until("the hot-key field", lambda: self.options_focus() == ("msctls_hotkey32", ""))
        self.desk.key("ctrl")
        for key, starts in (("shift+k", "Shift+K is pressed as you type"),
                            ("ctrl+c", "Ctrl+C copies"), ("F12", "F12 saves as")):
            self.desk.key(key)
            line = self.refused(starts)
            assert line.endswith("The hot key in force is Ctrl+Shift+T."), line
            assert "Win" not in line, line
        self.desk.screenshot("options-refused")
        assert "HotKey" not in self.settings(), self.settings()
        # Alt+F4 closes the window, as everywhere; the refused values go with it.
        self.close_by_alt_f4(OPTIONS)
        stored = self.settings()
        assert stored.get("MinimumAgeDays") == "45" and "KeepPatterns" not in stored, stored
        assert "HotKey" not in stored, stored

        # Opened again: what is in force, and nothing to say.
        self.open_options()
        texts = self.desk.probe_lines("window-text", OPTIONS)
        assert texts[:2] == ["45", ""], texts
        assert not any(l.startswith("Not saved") for l in self.options_lines()), (
            self.options_lines())
        # Tab goes round every control in reading order, and comes back.
        stops = []
        for _ in range(12):
            self.tab_on(OPTIONS, "Tab")
            stops.append(self.options_focus())
        assert [c for c, _ in stops] == ["Edit", "Edit", "Button", "Button", "msctls_hotkey32",
                                         "Button", "Button", "Button", "Button", "Button",
                                         "Edit", "Edit"], stops
        assert stops[5][1] == "&None" and stops[9] == ("Button", "Close"), stops
        assert stops[10] == ("Edit", "45"), stops
        # Enter stores a field without leaving it; Escape closes the window.
        self.desk.key("shift+Tab")
        self.desk.key("End", "BackSpace", "BackSpace")
        self.desk.type("30")
        self.desk.key("Return")
        until("30 stored by Enter", lambda: self.settings().get("MinimumAgeDays") == "30")
        self.desk.key("Escape")
        until("Escape to close the window", lambda: not self.desk.seen("top", OPTIONS, "0"))

        # A whole combination is stored at once, and None switches the hot key off.
        self.open_options()
        self.desk.click("window-child", OPTIONS, "msctls_hotkey32")
        self.desk.key("ctrl+alt+k")
        until("the hot key stored", lambda: self.settings().get("HotKey") == "Ctrl+Alt+K")
        until("the hint", lambda: self.desk.control("Label5").text ==
              "(Press Ctrl+Alt+K to toggle ON/OFF)")
        # Pressed again in the field it is being chosen, not used.
        switch = self.desk.control("PushButton2").text
        self.desk.key("ctrl+alt+k")
        self.desk.settled()
        assert self.desk.control("PushButton2").text == switch and self.boxes() == 0, (
            "the switch toggled, or said why it could not")
        self.desk.key("Tab", "Return")
        until("no hot key", lambda: self.settings().get("HotKey") == "")
        until("the hint", lambda: self.desk.control("Label5").text ==
              "(No hot key: the button toggles ON/OFF)")
        # The designed key again, chosen in the field, for the steps that follow.
        self.desk.key("shift+Tab", "ctrl+shift+t")
        until("the designed key", lambda: self.settings().get("HotKey") == "Ctrl+Shift+T")
        self.desk.key("Escape")
        until("the options window to hide", lambda: not self.desk.seen("top", OPTIONS, "0"))
        for key in ("HotKey", "MinimumAgeDays"):
            self.desk.wine("reg", "delete", SETTINGS_KEY, "/v", key, "/f")

    def step_restart_finds_everything_as_left(self):
        self.desk.click_control("Option5")
        until("the weekday's box enabled", lambda: self.desk.control("cboWeekly").enabled)
        self.desk.click_control("cboWeekly")
        self.desk.key("W", "Return")  # Wednesday
        until("Wednesday", lambda: self.desk.control("cboWeekly").text == "Wednesday")
        # Loading lists stores the whole list, the samples with it (loading them did not).
        self.load_two_lists()
        for box in ("Check1", "Check8"):  # the confirmation, and "Start in system tray"
            if not self.desk.control(box).checked:
                self.desk.click_control(box)
        if self.desk.control("PushButton2").text != SWITCH_ON:
            self.desk.click_control("PushButton2")
            self.desk.answer(BOX, "Yes")  # the confirmation is on
        until("the switch to read On", lambda: self.desk.control("PushButton2").text == SWITCH_ON)
        items = self.desk.items()
        # What the window shows now is what it must show after the restart.
        checks = {name: self.desk.control(name).checked for name in (
            "Option1", "Option2", "Check1", "Option3", "Option4", "Option5", "Check3", "Check8")}
        texts = {name: self.desk.control(name).text for name in (
            "PushButton2", "cboWeekly", "Text1", "Text2", "Text3")}
        stored = until("the weekday stored", lambda: (s := self.settings()).get("Weekly") ==
                       "Wednesday" and s)
        self.desk.screenshot("before-restart")
        assert self.close_with_close_box() == 0

        self.start_program(visible=False)  # "Start in system tray"
        assert not self.desk.form().visible
        # The everyday start with Windows: the icon is clicked long after the balloon went.
        until("the balloon", lambda: self.desk.seen("class", "tooltips_class32", "0"))
        until("the balloon to go", lambda: not self.desk.seen("class", "tooltips_class32", "0"),
              30)
        self.desk.settled()
        self.desk.click("tray")
        until("the window", lambda: (f := self.desk.form()).visible and not f.iconic)
        left, top, _, _ = self.desk.form().rect
        assert left > -1000 and top > -1000, f"off screen at {left},{top}"
        self.desk.screenshot("after-restart")
        assert checks["Option5"] and checks["Check1"] and texts["cboWeekly"] == "Wednesday"
        self.expect_checks(checks)
        self.expect_texts(texts)
        until("the countdown", lambda: self.desk.control("Frame4").text.startswith("On. "))
        assert self.desk.control("cboWeekly").enabled
        assert self.desk.items() == items
        kept = self.settings()
        for name in ("Folders", "Option2", "Check1", "Option5", "Weekly", "Text3",
                     "StartStopState", "Windows Startup", "Minimized"):
            assert kept.get(name) == stored.get(name), (name, kept.get(name), stored.get(name))

    def step_a_run_missed_yesterday_is_caught_up_once_at_start(self):
        assert self.close_with_close_box() == 0
        # Daily at an hour ago; the last scheduled run yesterday, before that time.
        now = time.localtime()
        hour = (now.tm_hour - 1) % 24
        set_time = f"{(hour % 12) or 12}:{now.tm_min:02d}:00 {'AM' if hour < 12 else 'PM'}"
        yesterday = time.localtime(time.time() - 86400)
        last = time.strftime("%Y-%m-%dT00:00:01", yesterday)
        for name, value in (("Option3", "False"), ("Option4", "True"), ("Option5", "False"),
                            ("Weekly Time", set_time), ("StartStopState", "On"),
                            ("CatchUpMissedRuns", "On"), ("LastScheduledRun", last),
                            ("SwitchedOn", last), ("Minimized", "Off")):
            self.desk.wine("reg", "add", SETTINGS_KEY, "/v", name, "/d", value, "/f")
        before = len(self.run_summaries())
        self.start_program()
        # Started again at once (the start-up entry and a double-click): still one catch-up.
        again = self.desk.start(PROGRAM)
        assert again.wait(90) == 0, "the second start ends at once"
        missed = until("the missed run", lambda: [l for l in self.all_history()
                                                  if "Missed run of " in l], 30)
        until("its last line", lambda: len(self.run_summaries()) == before + 1, 30)
        # And no second one: both starts have been handled by the copy that stayed.
        self.desk.settled()
        assert len([l for l in self.all_history() if "Missed run of " in l]) == 1, missed
        assert len(self.run_summaries()) == before + 1
        assert self.settings().get("LastScheduledRun", "") > last

    def history_window_at(self, dpi):
        """Tools > Run History... by keyboard, with the program started at that DPI: the
        totals, the tables, the chart's bars under the pointer and the keyboard, Copy and
        Escape, as one table of what is seen against what is meant."""
        self.desk.wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                       "REG_DWORD", "/d", str(dpi), "/f")
        self.start_program()
        self.desk.click_control("Label4")  # the main window has the keyboard
        self.desk.key("alt+t")
        window = self.desk.choose("h", "the run history",
                                  lambda: self.desk.seen("top", RUN_HISTORY))
        left, top, right, bottom = window.rect
        # The pointer rests on the window's bare corner: it points at no bar, and the keys go
        # to the window under it.
        self.desk.point_at(left + 12 * dpi // 96, bottom - 12 * dpi // 96)
        until("the keyboard in the span", lambda: (f := self.desk.seen(
            "window-focus", RUN_HISTORY)) and f.cls == "ComboBox")
        heard = [line.split(" ", 5) for line in
                 until("the window's controls", lambda: self.desk.probe_lines(
                     "accessible", RUN_HISTORY, "Static"))]
        # The chart: what is heard as one, or else what is named as one.
        charts = [l for l in heard if l[0] == str(ROLE_CHART)] or [
            l for l in heard if len(l) > 5 and l[5].startswith("Bar chart")]
        assert len(charts) == 1, heard
        chart_role, chart, chart_name = int(charts[0][0]), tuple(map(int, charts[0][1:5])), \
            charts[0][5] if len(charts[0]) > 5 else ""
        lists = [tuple(map(int, rest.split()[:4])) for kind, rest in
                 (line.split(" ", 1) for line in self.desk.probe_lines("geometry", RUN_HISTORY))
                 if kind == "child" and rest.split()[4] == "SysListView32"]
        runs, folders = (self.desk.probe_lines("rows", RUN_HISTORY, str(i)) for i in (0, 1))
        labels = lambda: self.desk.probe_lines("window-labels", RUN_HISTORY)
        tip = lambda: labels()[2]  # after the totals and "Show:"
        slot = (chart[2] - chart[0]) // 30
        today = (chart[0] + 29 * slot, chart[1], chart[0] + 30 * slot, chart[3])
        day = time.strftime("%a %b ") + str(time.localtime().tm_mday) + time.strftime(", %Y")
        seen = {
            "totals": labels()[0],
            "chart's role": chart_role,
            "chart's name": chart_name,
            "chart's right edge": chart[2],
            "runs": sorted(row.split("\t")[1:4] for row in runs),
            "folders": sorted(row.split("\t")[:3] for row in folders),
            "today's bar in the highlight's blue": self.desk.bluest(today) > 0.3,
        }
        def awaited(check):
            """What the line above the chart says once it passes the check, or when the wait
            for that gave up (then the table below says so)."""
            try:
                return until("the chart's line", lambda: (t := tip(), check(t))[1] and (t,),
                             10)[0]
            except AssertionError:
                return tip()

        # The pointer on yesterday's bar says its day; off the chart, nothing.
        self.desk.point_at(chart[0] + 28 * slot + slot // 2, (chart[1] + chart[3]) // 2)
        seen["pointer on yesterday"] = awaited(lambda t: t != "")
        self.desk.point_at(left + 12 * dpi // 96, bottom - 12 * dpi // 96)
        seen["pointer gone"] = awaited(lambda t: t == "")
        # Tab to the chart: the keyboard lands on today's bar, marked and outlined.
        self.tab_on(RUN_HISTORY, "Tab")
        seen["keyboard on the chart"] = awaited(lambda t: t.startswith(day))
        self.desk.key("Left")
        seen["Left"] = awaited(lambda t: t != seen["keyboard on the chart"])
        self.desk.key("End")
        seen["End"] = awaited(lambda t: t == seen["keyboard on the chart"])
        # Today's bar, pointed at, keeps its colour.
        seen["the bar marked stays blue"] = self.desk.bluest(today) > 0.3
        self.desk.screenshot(f"run-history-{dpi}dpi", rect=window.rect)
        self.desk.key("alt+c")
        copied = until("the tables copied", lambda: (c := self.desk.probe_lines("clipboard"))
                       and c[0].startswith("This month:") and c)
        seen["copied"] = copied[0] == seen["totals"] and all(
            any(row.replace("\t", "") == line.replace("\t", "") for line in copied)
            for row in runs + folders)
        if dpi == 96:
            # Export... asks where, proposing the record's own name, and copies it there.
            record = os.path.join(self.desk.temp_folder(), "Ondrevan.runs.csv")
            exported = self.path(r"C:\e2e\Runs\exported.csv")
            self.desk.key("alt+e")
            box = until("the Save As dialog", lambda: self.desk.seen("dialog", EXPORT))
            self.desk.point_at(box.x, box.rect[1] + 10 * dpi // 96)  # its title bar
            proposed = until("the name proposed", lambda: self.desk.seen("dialog-focus", EXPORT))
            self.desk.type(r"C:\e2e\Runs\exported")  # the dialog adds ".csv"
            self.desk.key("Return")
            until("the dialog to close", lambda: not self.desk.seen("dialog", EXPORT, "0"))
            self.desk.point_at(left + 12 * dpi // 96, bottom - 12 * dpi // 96)
            with open(record, "rb") as f:
                wanted = f.read()

            def copy():
                with open(exported, "rb") as f:
                    return f.read()
            seen["exported"] = (proposed.text, until(
                "the copy", lambda: os.path.exists(exported) and copy() == wanted))
        self.desk.key("Escape")
        seen["Escape"] = until("the window to close",
                               lambda: not self.desk.seen("top", RUN_HISTORY, "0") and "closed")
        meant = {
            "totals": re.compile(r"This month: 6\.8 KB freed in 3 runs \(7 files\); last run "
                                 r"\d+:\d\d:\d\d( [AP]M)?, 2 files \(2\.0 KB\)\."),
            "chart's role": ROLE_CHART,
            "chart's name": re.compile(r"Bar chart of the space freed per day over the last 30 "
                                       r"days: 6\.8 KB in all, most " + re.escape(day) + r" .*"),
            "chart's right edge": lists[0][2],
            "runs": [["/run", "2.0 KB", "2"], ["Missed run", "2.9 KB", "3"],
                     ["Run Now", "2.0 KB", "2"]],
            "folders": [[r"C:\e2e\Runs\A", "3.9 KB", "2"], [r"C:\e2e\Runs\B", "2.9 KB", "2"]],
            "today's bar in the highlight's blue": True,
            "pointer on yesterday": re.compile(r"\w\w\w \w\w\w \d+, \d{4}: 0 bytes freed in 0 "
                                               r"runs"),
            "pointer gone": "",
            "keyboard on the chart": day + ": 6.8 KB freed in 3 runs",
            "the bar marked stays blue": True,
            "Left": seen["pointer on yesterday"],
            "End": day + ": 6.8 KB freed in 3 runs",
            "copied": True,
            "Escape": "closed",
        }
        if dpi == 96:
            meant["exported"] = ("Ondrevan.runs.csv", True)
        faults = [f"{what}: {seen[what]!r}, not {want.pattern if hasattr(want, 'pattern') else want!r}"
                  for what, want in meant.items()
                  if not (want.fullmatch(seen[what]) if hasattr(want, "fullmatch")
                          else seen[what] == want)]
        assert self.close_with_close_box() == 0
        return [f"{dpi} DPI: {fault}" for fault in faults]

    def step_run_history_after_three_kinds_of_runs_by_keyboard_at_96_and_192_dpi(self):
        """A missed run caught up at start, the window's button and /run, each recorded; then
        the Run History window by keyboard at 96 and at 192 DPI."""
        was_running = self.program is not None
        if was_running:
            assert self.close_with_close_box() == 0
        record = os.path.join(self.desk.temp_folder(), "Ondrevan.runs.csv")
        folders = {"A": r"C:\e2e\Runs\A", "B": r"C:\e2e\Runs\B"}
        names = ("Folders", "Option1", "Option2", "Check1", "Option3", "Option4", "Option5",
                 "Weekly Time", "StartStopState", "CatchUpMissedRuns", "LastScheduledRun",
                 "SwitchedOn", "Minimized")
        kept = {name: value for name, value in self.settings().items() if name in names}

        def plant(files):  # {folder: count}, 1,000 bytes each
            for name, count in files.items():
                os.makedirs(self.path(folders[name]), exist_ok=True)
                for i in range(count):
                    with open(os.path.join(self.path(folders[name]), f"{time.time_ns()}-{i}.tmp"),
                              "wb") as f:
                        f.write(b"x" * 1000)

        def triggers():
            try:
                with open(record, encoding="utf-8-sig") as f:
                    return [line.split(",")[3] for line in f.read().splitlines()
                            if line.startswith("run,")]
            except FileNotFoundError:
                return []

        faults = []
        try:
            if os.path.exists(record):
                os.remove(record)
            # A daily run an hour ago, missed since yesterday: caught up as the program starts.
            now = time.localtime()
            hour = (now.tm_hour - 1) % 24
            last = time.strftime("%Y-%m-%dT00:00:01", time.localtime(time.time() - 86400))
            for name, value in (
                    ("Folders", "".join(f + "|234SSDEPERATATORZZ|" for f in folders.values())),
                    ("Option1", "False"), ("Option2", "True"), ("Check1", "0"),
                    ("Option3", "False"), ("Option4", "True"), ("Option5", "False"),
                    ("Weekly Time", f"{(hour % 12) or 12}:{now.tm_min:02d}:00 "
                                    f"{'AM' if hour < 12 else 'PM'}"),
                    ("StartStopState", "On"), ("CatchUpMissedRuns", "On"),
                    ("LastScheduledRun", last), ("SwitchedOn", last), ("Minimized", "Off")):
                self.desk.wine("reg", "add", SETTINGS_KEY, "/v", name, "/d", value, "/f")
            plant({"A": 3})
            self.start_program()
            until("the missed run recorded", lambda: triggers() == ["caught-up"], 60)
            plant({"B": 2})
            self.desk.click_control("PushButton3")
            until("the button's run recorded", lambda: triggers() == ["caught-up", "button"])
            plant({"A": 1, "B": 1})
            result = self.desk.wine(PROGRAM, "/run")
            assert result.returncode == 0, result.stdout + result.stderr[-1000:]
            assert triggers() == ["caught-up", "button", "/run"], triggers()
            assert self.close_with_close_box() == 0
            for dpi in (96, 192):
                faults += self.history_window_at(dpi)
        except BaseException:
            self.desk.say_scene("the run history's step gave up")  # before its program goes
            raise
        finally:
            if self.program:
                self.program.kill()
                self.program = None
            self.desk.wine("reg", "delete", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                           "/f")
            for name in names:
                if name in kept:
                    self.desk.wine("reg", "add", SETTINGS_KEY, "/v", name, "/d", kept[name], "/f")
                else:
                    self.desk.wine("reg", "delete", SETTINGS_KEY, "/v", name, "/f")
            shutil.rmtree(self.path(r"C:\e2e\Runs"), ignore_errors=True)
        assert not faults, "\n".join(faults)
        if was_running:
            self.start_program()

    def step_administrators_policy_holds_until_it_is_removed(self):
        def own():
            return {k: v for k, v in self.settings().items()
                    if k in ("Check1", "Windows Startup", "Minimized")}
        stored = own()
        assert stored["Windows Startup"] == "On" and self.run_values()[0] == PROGRAM, stored
        # As Group Policy does it: the values under the policy key, then the broadcast.
        for name, value in (("Windows Startup", "0"), ("Check1", "1"), ("RecycleFiles", "1")):
            result = self.desk.wine("reg", "add", POLICY_KEY, "/v", name, "/t", "REG_DWORD",
                                    "/d", value, "/f")
            assert result.returncode == 0, result.stderr
        assert self.desk.probe_lines("policy-changed") is not None
        until("the policies shown", lambda: not self.desk.control("Check3").enabled)
        self.expect_checks({"Check1": True, "Check3": False})
        assert not self.desk.control("Check1").enabled
        # Said in words in the window, not only in a tool tip.
        until("the line that says so", lambda: self.desk.control("Label4").text == (
            "Some settings are managed by your organization. Everything deleted can be "
            "recovered."))
        assert self.run_values() == [None, None], "a forbidden start-up entry goes"
        # The Help says what the note says: with the files sent to the Recycle Bin, nothing
        # is deleted permanently.
        self.desk.click_control("PushButton11")
        self.desk.click("button", BOX, "OK", "15")
        said = until("the second Help box", lambda: (t := self.desk.probe_lines(
            "dialog-texts", BOX)) and any("Files that lie" in line for line in t) and t)
        self.desk.answer(BOX, "OK")
        until("no box", lambda: self.boxes() == 0)
        assert not any("permanently" in line for line in said), said
        assert any("go to the Recycle Bin, where they can be recovered" in line
                   for line in said), said
        check3 = self.desk.control("Check3")
        subprocess.run(["xdotool", "mousemove", str(check3.x), str(check3.y)], check=True)
        tip = until("the tool tip", lambda: (t := self.desk.seen("class", "tooltips_class32", "0"))
                    and t.visible and t.text and t)
        self.desk.screenshot("set-by-administrator")
        assert tip.text == "Set by your administrator", tip
        assert own() == stored, "the user's own values stay as they were"

        self.desk.wine("reg", "delete", POLICY_KEY, "/f")
        assert self.desk.probe_lines("policy-changed") is not None
        until("the user's own again", lambda: self.desk.control("Check3").enabled)
        self.expect_checks({"Check1": stored.get("Check1") == "1", "Check3": True})
        assert self.desk.control("Check1").enabled
        until("the note again", lambda: self.desk.control("Label4").text.startswith("Note: "))
        until("the start-up entry back", lambda: self.run_values()[0] == PROGRAM)
        assert own() == stored

    def step_a_file_and_a_missing_folder_in_the_list_are_said_for_what_they_are(self):
        """A program file and a folder that is not there, loaded from a list file: the run
        refuses the one and names the other, and Open Folder says why it cannot open either."""
        program_file, missing = self.odd_list_file()
        self.desk.click_control("PushButton13")
        until("an empty list", lambda: self.desk.items() == [])
        self.desk.click_control("PushButton12")
        until("the open-file dialog", lambda: self.desk.seen("dialog", OPEN_LISTS))
        self.desk.type(r"C:\e2e\lists\odd.txt")
        self.desk.key("Return")
        until("both entries in the list", lambda: self.desk.items() == [program_file, missing])
        self.desk.click_control("Option1")  # folder mode: the file would have gone to the bin
        if self.desk.control("Check1").checked:
            self.desk.click_control("Check1")
        before = len(self.history())
        self.desk.click_control("PushButton3")
        lines = self.new_history_lines(before, 2)
        assert lines[0].endswith(" Refused  " + program_file + " (not a folder)"), lines
        assert lines[1].endswith(" Folder not found  " + missing), lines
        summary = until("the run's last line", lambda: self.run_summaries())[-1]
        assert summary.startswith("Run finished: 0 files deleted"), summary
        assert os.path.isfile(self.path(program_file)), "the program file stays where it is"
        assert "np.exe" not in self.trash()

        # Open Folder on each, from the list's right-click menu.
        for text, left_over in (("it is a file, not a folder", [missing]),
                                ("there is no such folder", [])):
            self.first_entry_menu()
            self.desk.key("o")
            said = until("a word on why", lambda: (t := self.desk.probe_lines(
                "dialog-texts", BOX)) and any(text in line for line in t) and t)
            self.desk.screenshot("open-folder-" + text.split()[-1])
            self.desk.answer(BOX, "OK")
            self.first_entry_menu()
            self.desk.key("r")  # the entry answered for goes, and the next is first
            until("the entry removed", lambda: self.desk.items() == left_over)
            assert said

    def step_every_window_by_keyboard_alone(self):
        """The menu bar, the folder list, the options and the preview, without the mouse:
        access keys reach every command, Tab goes round every window, Escape closes a tool
        window from any control and the keyboard comes back where it was."""
        program_file, missing = self.odd_list_file()
        focused = lambda: self.desk.probe_lines("focused")[0]
        self.click_main_caption()
        self.desk.key("alt+c")  # Clear List: the list file is loaded into an empty list
        until("an empty list", lambda: self.desk.items() == [])
        self.desk.key("alt+t")
        until("the Tools menu", lambda: self.desk.seen("class", "#32768", "0"))
        self.desk.screenshot("menu-bar-tools")
        self.desk.key("Escape", "Escape")
        # File > Load Folder List...
        self.desk.key("alt+f")
        until("the File menu", lambda: self.desk.seen("class", "#32768", "0"))
        self.desk.key("l")
        until("the open-file dialog", lambda: self.desk.seen("dialog", OPEN_LISTS))
        self.desk.type(r"C:\e2e\lists\odd.txt")
        self.desk.key("Return")
        until("both entries in the list", lambda: self.desk.items() == [program_file, missing])
        # A run of the two by the button's access key: the tray's tip says it at the end.
        runs = len(self.run_summaries())
        self.desk.key("alt+s")
        if self.settings().get("Check1") == "1":
            self.desk.answer(BOX, "Yes")
        until("the run's last line", lambda: len(self.run_summaries()) > runs)

        # The list: Shift+F10 and the Menu key open its menu, Delete removes the entry.
        self.move_focus_to("ListView1", "Tab")
        self.desk.key("End", "Home")
        for key in ("shift+F10", "Menu"):
            self.desk.key(key)
            until(f"the list's menu by {key}", lambda: self.desk.seen("class", "#32768", "0"))
            self.desk.key("Escape")
            until("the menu to close", lambda: not self.desk.seen("class", "#32768", "0"))
        assert focused() == "ListView1" and self.boxes() == 0
        self.desk.key("Delete")
        until("the entry removed", lambda: self.desk.items() == [missing])
        stored = self.settings().get("Folders", "")
        assert missing in stored and program_file not in stored, stored

        def round_of(title, key):
            """The controls Tab (or Shift+Tab) stops at, until it is back where it began."""
            where = lambda: (f := self.desk.seen("window-focus", title)) and (f.cls, f.rect)
            first, stops = where(), []
            for _ in range(16):
                self.tab_on(title, key)
                stops.append(where())
                if stops[-1] == first:
                    return stops
            raise AssertionError(f"{key} never came back round {title}: {stops}")

        # Tools > Options...: the keyboard starts in its first field and goes round.
        self.desk.key("alt+t")
        self.desk.choose("o", "the options window", lambda: self.desk.seen("top", OPTIONS))
        until("the keyboard in the first field", lambda: (self.options_focus() or ("",))[0] == "Edit")
        forward = round_of(OPTIONS, "Tab")
        backward = round_of(OPTIONS, "shift+Tab")
        # Nine fields, boxes and buttons, then Close; the tenth brings the first back.
        assert len(forward) == 11 and len(set(forward)) == 11, forward
        assert backward[:-1] == forward[-2::-1], (forward, backward)
        folders = next(stop for stop in forward if stop[0] == "Edit" and
                       stop[1][3] - stop[1][1] > 50)  # the multi-line field
        # Access keys: each labelled field and button.
        for key, cls in (("alt+p", "Edit"), ("alt+k", "msctls_hotkey32"), ("alt+m", "Edit"),
                         ("alt+o", "Edit")):
            self.desk.key(key)
            until(f"{key} to reach its field", lambda: self.options_focus()[0] == cls)
        self.desk.key("alt+p")
        until("the folders field", lambda: (f := self.desk.seen("window-focus", OPTIONS))
              and (f.cls, f.rect) == folders)
        self.desk.screenshot("options-by-keyboard")
        self.desk.key("Escape")  # from the multi-line field
        until("Escape to close the options", lambda: not self.desk.seen("top", OPTIONS, "0"))
        until("the keyboard back in the list", lambda: focused() == "ListView1")

        # Tools > Preview Next Run...: round, and Escape from a control inside.
        self.desk.key("alt+t")
        self.desk.choose("p", "the preview", lambda: self.desk.seen("window-focus", PREVIEW))
        stops = round_of(PREVIEW, "Tab")
        assert any(cls == "Button" for cls, _ in stops), stops
        self.desk.key("Tab")
        self.desk.screenshot("preview-by-keyboard")
        self.desk.key("Escape")
        until("Escape to close the preview", lambda: not self.desk.seen("top", PREVIEW, "0"))
        until("the keyboard back in the list", lambda: focused() == "ListView1")

        # Help > About: the version and the licence.
        self.desk.key("alt+h")
        said = self.desk.choose("a", "About", lambda: self.desk.probe_lines("dialog-texts", BOX))
        assert any(re.match(r"Ondrevan \d+\.\d+\.\d+", l) for l in said), said
        assert any("MIT" in l for l in said), said
        self.desk.key("Return")
        until("the box to close", lambda: self.boxes() == 0)
        until("the keyboard back in the list", lambda: focused() == "ListView1")
        # Help > Keyboard and Command Line: every switch, and the keys of every window.
        self.desk.key("alt+h")
        said = "\n".join(self.desk.choose(
            "k", "the keys", lambda: self.desk.probe_lines("dialog-texts", BOX)))
        for switch in ("/preview", "/run", "/status", "/export FILE", "/import FILE", "/exit",
                       "/reopen", "/?"):
            assert re.search(rf"(^|\s){re.escape(switch)}[:,]", said, re.M), \
                f"{switch} missing:\n{said}"
        for window in ("Main window", "Options", "Preview", "Rules for This Folder",
                       "Message boxes"):
            assert window in said, f"{window} missing:\n{said}"
        self.desk.screenshot("keys-help")
        self.desk.key("Return")
        until("the box to close", lambda: self.boxes() == 0)
        until("the keyboard back in the list", lambda: focused() == "ListView1")
        self.desk.key("Home", "Delete")
        until("an empty list", lambda: self.desk.items() == [])

        # The tray's tip: the state first, then the last run, what it did, and what this
        # month's runs freed when earlier steps freed anything.
        tip = next((t for t in self.desk.probe_lines("tips") or [] if t.startswith("Ondrevan:")),
                   None)
        assert tip and re.match(r"Ondrevan: automatic deletion (off|on, next run .+)\\nLast run "
                                r"[^:]+:\d\d:\d\d\W*\w*: nothing to delete, \d not done"
                                r"(\\nThis month: \S+ \w+ freed)?$", tip), tip

    def step_a_second_start_brings_the_first_window_back(self):
        """Started again (the Start menu, by someone who cannot find the icon): no second
        copy, the first one's window comes to the front, from the tray or from behind."""
        def copies():
            return [int(self.desk.probe_lines("windows", cls)[0])
                    for cls in ("OndrevanForm1", "OndrevanTrayWindow")]

        def in_front(cls):
            return (f := self.desk.seen("foreground")) and f.cls == cls

        def start_again():
            second = self.desk.start(PROGRAM)
            assert second.wait(90) == 0, "the second start ends at once"

        self.desk.click("caption-button", "minimize")
        until("the window to hide", lambda: not self.desk.form().visible)
        start_again()
        until("the window back", lambda: (f := self.desk.form()) and f.visible and not f.iconic)
        until("the window in front", lambda: in_front("OndrevanForm1"))

        # Behind another program, with its Help box up: the box comes with it, in front.
        self.desk.click_control("PushButton11")
        until("the Help box", lambda: self.desk.seen("dialog", BOX))
        notepad = self.notepad_in_front()
        start_again()
        until("the Help box in front", lambda: in_front("#32770"))
        self.desk.screenshot("second-start")
        assert copies() == [1, 1], copies()
        assert int(self.desk.probe_lines("tray-icons")[0]) == 1
        self.desk.click("button", BOX, "OK", "15")
        until("the second Help box", lambda: any(
            "deleted permanently" in t for t in self.desk.probe_lines("dialog-texts", BOX)))
        self.desk.answer(BOX, "OK")
        until("no box", lambda: self.boxes() == 0)
        self.close_notepad(notepad)

    def step_uninstaller_leaves_nothing(self):
        """As a deployment tool runs the registered quiet uninstall: it returns when the
        uninstall is done, with its exit code."""
        assert self.history(), "a history file to take away"
        quiet = self.desk.reg_values(UNINSTALL_KEY)["QuietUninstallString"]
        # Ondrevan is still running: the uninstaller closes it first.
        said = self.desk.probe_lines("run-line", quiet)
        # Its last line is the exit code; what the closed copy's /exit wrote comes before it.
        assert said and said[-1] == "0", f"{quiet}: {said}"
        assert not self.desk.form(), "the program closed"
        if self.program:
            assert self.program.wait(90) == 0
            self.program = None
        # Gone when it returned, not later.
        assert not os.path.exists(self.path(PROGRAM)), os.listdir(self.path(PROGRAM_FOLDER))
        assert self.desk.reg_values(UNINSTALL_KEY) is None, "still in Apps & features"
        assert self.desk.reg_values(SETTINGS_KEY) is None
        # The uninstaller, which cannot remove itself while it runs, goes as it ends.
        until("the program folder to go", lambda: not os.path.exists(self.path(PROGRAM_FOLDER)),
              30)
        assert not os.path.exists(self.path(SHORTCUT))
        assert self.run_values() == [None, None]
        assert self.desk.reg_values(UNINSTALL_KEY) is None
        assert not os.path.exists(self.history_file())

    def close_read_me(self):
        """Notepad asked to close, and asked again while its window is still there: on a busy
        machine one request can come before Notepad reads its messages."""
        title = "ReadMe.txt - Notepad"
        def gone():
            if not self.desk.seen("top", title, "0"):
                return True
            self.desk.probe_lines("close-top", title)
            return False
        until("Notepad to go", gone)

    def step_portable_zip(self):
        with zipfile.ZipFile(self.args.zip) as archive:
            names = sorted(archive.namelist())
            for name in ("Ondrevan/Ondrevan.exe", "Ondrevan/HAND-M.CUR", "Ondrevan/ReadMe.txt",
                         "Ondrevan/LICENSE.txt", "Ondrevan/Samples/TestFolder1/notes.txt"):
                assert name in names, names
            assert [n for n in names if n.lower().endswith(".exe")] == ["Ondrevan/Ondrevan.exe"]
            archive.extractall(self.path(r"C:\Portable"))
        self.start_program(r"C:\Portable\Ondrevan\Ondrevan.exe")
        # Help > Read Me: the read-me beside the program, in Notepad.
        self.desk.click_control("Label4")
        self.desk.key("alt+h")
        self.desk.choose("r", "the read-me in Notepad", lambda: self.desk.seen(
            "top", "ReadMe.txt - Notepad", "0") or self.boxes(), 30)
        said = self.desk.probe_lines("dialog-texts", BOX)
        assert self.boxes() == 0, f"no read-me: {said}"
        self.close_read_me()
        self.desk.click_control("PushButton14")
        self.desk.answer(BOX, "No")
        until("the portable samples", lambda: self.desk.items() == [
            r"C:\Portable\Ondrevan\Samples\TestFolder1", r"C:\Portable\Ondrevan\Samples\TestFolder2"])
        self.desk.screenshot("portable")
        before = len(self.history())
        self.desk.click_control("PushButton3")  # nothing stored yet: folder mode, no question
        self.new_history_lines(before, 4)
        assert not os.path.exists(self.path(r"C:\Portable\Ondrevan\Samples\TestFolder1"))
        assert self.close_with_close_box() == 0

    def step_uninstaller_keeps_settings_when_told(self):
        result = self.desk.wine(r"C:\ondrevan-e2e\setup.exe", "/S")
        assert result.returncode == 0, result.stderr[-2000:]
        settings, history = self.settings(), self.history()
        assert settings and history, "the portable run left settings and a history"
        self.desk.start(UNINSTALLER)
        version = re.search(r"Ondrevan-([\d.]+)-setup", self.args.setup)[1]
        wizard = f"Ondrevan {version} Uninstall "  # NSIS ends its window's title with a blank
        self.desk.click("button", wizard, "Uninstall", "20", timeout=30)
        self.desk.answer(wizard.rstrip(), "No")
        self.desk.screenshot("uninstalled-keeping-settings")
        self.desk.answer(wizard, "Close")
        until("the program folder to go", lambda: not os.path.exists(self.path(PROGRAM_FOLDER)),
              60)
        assert self.run_values() == [None, None]
        assert self.settings() == settings
        assert self.history() == history

    def installed_products(self):
        """{DisplayVersion: product key} of every "Ondrevan" in Apps & features (a version
        seen twice is "... again")."""
        result = self.desk.wine("reg", "query", PRODUCTS_KEY)
        products = {}
        for key in result.stdout.replace("\r", "").splitlines():
            if key.upper().startswith("HKEY_LOCAL_MACHINE\\") and key.upper() != PRODUCTS_KEY.upper():
                entry = self.desk.reg_values(key) or {}
                if entry.get("DisplayName") == "Ondrevan":
                    version = entry.get("DisplayVersion")
                    products[version + " again" if version in products else version] = key
        return products

    def expect_entry_and_event_source(self, entry):
        """What Apps & features shows, and the source of the program's events."""
        assert entry.get("InstallLocation", "").rstrip("\\") == PROGRAM_FOLDER, entry
        assert entry.get("URLInfoAbout", "").startswith("https://"), entry
        assert entry.get("HelpLink", "").startswith("https://"), entry
        assert entry.get("DisplayIcon"), entry
        assert int(entry.get("EstimatedSize", "0"), 0) > 0, entry
        source = self.desk.reg_values(EVENT_SOURCE_KEY) or {}
        assert source.get("EventMessageFile") == PROGRAM, source
        assert int(source.get("TypesSupported", "0"), 0) == 7, source

    def expect_closed_by_the_installer(self):
        if self.program:
            assert self.program.wait(60) == 0, "the running copy closes as its close box does"
            self.program = None
        left = [f for f in os.listdir(self.path(PROGRAM_FOLDER)) if f.lower().endswith(".tmp")]
        assert not left, f"files kept for a reboot: {left}"

    def expect_started_again(self, hidden=False):
        """The copy an installer closed runs again when the installer is done, as it was:
        one copy, its window shown or hidden in the tray."""
        if hidden:
            until("the copy back, hidden in the tray", lambda: (f := self.desk.form()) and
                  not f.visible and self.desk.seen("tray", "1"), 60)
        else:
            until("the copy back, its window shown", lambda: (f := self.desk.form()) and
                  f.visible, 60)
        assert self.desk.probe_lines("windows", "OndrevanForm1") == ["1"]
        self.program = None  # started by the installer: closed by the next one, or its box

    def msi(self, *args):
        result = self.desk.wine("msiexec", *args, "/qn")
        assert result.returncode == 0, f"msiexec {args}: {result.returncode} {result.stderr[-2000:]}"

    def msi_shortcuts(self):
        # With ALLUSERS=1 Windows puts the shortcut in the all-users Start menu; Wine's
        # Windows Installer resolves ProgramMenuFolder to the user's own. Either counts.
        own = glob.glob(self.path(r"C:\users") + "/*/AppData/Roaming/Microsoft/Windows/"
                        "Start Menu/Programs/Ondrevan.lnk")
        return [p for p in [self.path(SHORTCUT)] + own if os.path.isfile(p)]

    def step_msi_installs_upgrades_and_uninstalls_silently(self):
        """As a deployment tool does it, around a copy the user keeps running with its start-up
        entry on: a rebuild of the same version and a later version each replace what is
        installed, an earlier one is refused, the uninstall removes everything."""
        version = re.search(r"Ondrevan-([\d.]+)\.msi", self.args.msi)[1]
        later = re.search(r"([\d.]+)\.msi", os.path.basename(self.args.later_msi))[1]
        package, later_package = r"C:\ondrevan-e2e\Ondrevan.msi", r"C:\ondrevan-e2e\later.msi"
        rebuilt_package = r"C:\ondrevan-e2e\rebuilt.msi"
        shutil.copy(self.args.msi, self.path(package))
        shutil.copy(self.args.later_msi, self.path(later_package))
        shutil.copy(self.args.rebuilt_msi, self.path(rebuilt_package))
        assert not os.path.exists(self.path(PROGRAM_FOLDER)), "the earlier uninstall left it"

        self.msi("/i", package)
        folder = self.path(PROGRAM_FOLDER)
        self.expect_installed(r"Samples\TestFolder2\Old\old.txt")
        assert len(self.msi_shortcuts()) == 1, "one Start-menu shortcut"
        first = self.installed_products()
        assert list(first) == [version], first
        self.expect_entry_and_event_source(self.desk.reg_values(first[version]))

        self.start_program()
        self.desk.screenshot("msi-installed")
        assert not self.desk.control("Check3").checked
        self.desk.click_control("Check3")
        until("the start-up entry", lambda: self.run_values()[0] == PROGRAM)
        # The same version built again replaces the installed one.
        self.msi("/i", rebuilt_package)
        self.expect_closed_by_the_installer()
        self.expect_started_again()
        rebuilt = self.installed_products()
        assert list(rebuilt) == [version] and rebuilt != first, (first, rebuilt)
        assert self.run_values()[0] == PROGRAM, "the start-up entry stays"

        # A later version replaces it, over the running copy; an earlier one is refused.
        self.msi("/i", later_package)
        self.expect_closed_by_the_installer()
        self.expect_started_again()
        assert list(self.installed_products()) == [later], self.installed_products()
        assert self.run_values()[0] == PROGRAM, "the start-up entry stays over an upgrade"
        assert len(self.msi_shortcuts()) == 1
        result = self.desk.wine("msiexec", "/i", package, "/qn")
        assert result.returncode != 0, "a downgrade must be refused"
        assert list(self.installed_products()) == [later], self.installed_products()

        self.msi("/x", later_package)
        until("the running copy to close before its files go", lambda: not self.desk.form())
        assert not os.path.exists(folder), os.listdir(folder)
        # An uninstall starts nothing again; what /exit noted for it goes with it here.
        self.desk.wine("reg", "delete", SETTINGS_KEY, "/v", "ClosedByExit", "/f")
        assert self.msi_shortcuts() == []
        assert self.run_values() == [None, None], "the Run value the program wrote"
        assert self.installed_products() == {}
        assert self.desk.reg_values(EVENT_SOURCE_KEY) is None

    def step_setup_and_msi_take_each_other_over(self):
        """The MSI, then the setup program over it, then the MSI again, each around a running
        copy: one entry in Apps & features, one shortcut, the settings and the start-up entry
        kept, whichever came last."""
        setup, package = r"C:\ondrevan-e2e\setup.exe", r"C:\ondrevan-e2e\Ondrevan.msi"
        shutil.copy(self.args.setup, self.path(setup))
        shutil.copy(self.args.msi, self.path(package))

        def one_installation(by_setup):
            products = self.installed_products()
            assert len(products) == 1, products
            key = next(iter(products.values()))
            assert key.upper().endswith("\\ONDREVAN") == by_setup, key
            assert len(self.msi_shortcuts()) == 1, self.msi_shortcuts()
            self.expect_installed(*([r"Uninstall\Uninstall Ondrevan.exe"] if by_setup else []))
            if not by_setup:
                assert not os.path.exists(self.path(PROGRAM_FOLDER + r"\Uninstall"))
            assert self.run_values()[0] == PROGRAM, "the start-up entry stays"
            kept = {k: v for k, v in self.settings().items() if k != "ClosedByExit"}
            assert kept == settings, "the settings stay"

        self.msi("/i", package)
        self.start_program()
        if not self.desk.control("Check3").checked:  # the kept settings may have it on
            self.desk.click_control("Check3")
        until("the start-up entry", lambda: self.run_values()[0] == PROGRAM)
        # Hidden in the tray, as a copy started with Windows often is.
        self.desk.click("caption-button", "minimize")
        until("the window to hide", lambda: not self.desk.form().visible)
        settings = {k: v for k, v in self.settings().items() if k != "ClosedByExit"}
        result = self.desk.wine(setup, "/S")
        assert result.returncode == 0, result.stderr[-2000:]
        self.expect_closed_by_the_installer()
        self.expect_started_again(hidden=True)
        one_installation(by_setup=True)

        self.msi("/i", package)
        self.expect_closed_by_the_installer()
        self.expect_started_again(hidden=True)
        one_installation(by_setup=False)

        self.msi("/x", package)
        until("the running copy to close", lambda: not self.desk.form())
        self.desk.wine("reg", "delete", SETTINGS_KEY, "/v", "ClosedByExit", "/f")
        assert self.installed_products() == {} and self.msi_shortcuts() == []
        assert not os.path.exists(self.path(PROGRAM_FOLDER))

    def step_setup_refuses_to_replace_a_later_version(self):
        """The setup program over a later version that the MSI installed: refused, with a
        message and an exit code of its own, as the MSI refuses an earlier version of itself."""
        later = re.search(r"([\d.]+)\.msi", os.path.basename(self.args.later_msi))[1]
        setup, later_package = r"C:\ondrevan-e2e\setup.exe", r"C:\ondrevan-e2e\later.msi"
        shutil.copy(self.args.setup, self.path(setup))
        shutil.copy(self.args.later_msi, self.path(later_package))
        self.msi("/i", later_package)
        try:
            result = self.desk.wine(setup, "/S")
            assert result.returncode == 5, f"the setup over {later} exited {result.returncode}"
            assert list(self.installed_products()) == [later], self.installed_products()
            assert not os.path.exists(self.path(PROGRAM_FOLDER + r"\Uninstall"))
        finally:
            self.msi("/x", later_package)
        assert self.installed_products() == {}

    def laid_out(self, title):
        """Waits until the window has its final size and place: two looks alike."""
        last = [None]

        def same_twice():
            self.desk.settled()
            now = self.desk.probe_lines("geometry", title)
            alike, last[0] = now is not None and now == last[0], now
            return alike
        until(f"{title} laid out", same_twice, 60)

    def step_every_window_fits_its_screen_at_every_dpi(self):
        """Each window opened at 96, 144 and 192 DPI on a 1280 x 800 and a 1920 x 1080 screen
        (each a virtual display of its own): the window lies inside the work area and every
        control inside the window. The portable copy is used; the installed one is gone."""
        if self.program:
            self.close_with_close_box()
        with zipfile.ZipFile(self.args.zip) as archive:
            archive.extractall(self.path(r"C:\Geometry"))
        exe = r"C:\Geometry\Ondrevan\Ondrevan.exe"
        desktop_key = r"HKCU\Control Panel\Desktop"
        faults, measured = [], []

        def check(screen, dpi, title, name):
            lines = until(f"the geometry of {name}", lambda: self.desk.probe_lines("geometry", title))
            # A multi-line text goes on over the next lines: only the lines that name a kind.
            rects = [(kind, tuple(map(int, rest.split()[:4])), " ".join(rest.split()[4:]))
                     for kind, rest in (line.split(" ", 1) for line in lines
                                        if line.split(" ", 1)[0] in KINDS and " " in line)]
            window, client, work = (r for _, r, _ in rects[:3])
            inside = lambda a, b: a[0] >= b[0] and a[1] >= b[1] and a[2] <= b[2] and a[3] <= b[3]
            measured.append(f"{screen} at {dpi} DPI: {name} {window[2] - window[0]}x"
                            f"{window[3] - window[1]} at {window[0]},{window[1]}, client "
                            f"{client[2] - client[0]}x{client[3] - client[1]}")
            print(measured[-1], flush=True)
            if not inside(window, work):
                faults.append(f"{screen} {dpi} {name}: window {window} beyond the work area {work}")
            for _, rect, what in rects[3:]:
                if not inside(rect, client):
                    faults.append(f"{screen} {dpi} {name}: {what!r} {rect} beyond {client}")
            self.desk.screenshot(f"fit-{screen}-{dpi}-{name}", rect=tuple(
                max(w, c) if i < 2 else min(w, c) for i, (w, c) in enumerate(zip(window, work))))

        KINDS = ("window", "client", "work", "child")
        main_display = os.environ["DISPLAY"]
        try:
            for screen, dpis in (("1280x800", (96, 144, 192)), ("1920x1080", (144, 192))):
                subprocess.run(["wineserver", "-k"], check=False)
                subprocess.run(["wineserver", "-w"], check=False)
                xvfb, display = virtual_display(screen)
                os.environ["DISPLAY"] = display
                try:
                    # The first window on a new display brings up Wine's desktop for it, which
                    # takes long on a busy machine: the probe waits for it once, generously.
                    self.desk.wine(self.desk.probe_path, "focused", timeout=300)
                    for dpi in dpis:
                        self.desk.wine("reg", "add", desktop_key, "/v", "LogPixels", "/t",
                                       "REG_DWORD", "/d", str(dpi), "/f")
                        self.desk.wine("reg", "delete", SETTINGS_KEY, "/f")
                        # One folder in the list, for its rules window.
                        self.desk.wine("reg", "add", SETTINGS_KEY, "/v", "Folders", "/d",
                                       r"C:\Geometry|234SSDEPERATATORZZ|", "/f")
                        # Rules that do not read: the window says so in a long line.
                        self.desk.wine("reg", "add", SETTINGS_KEY, "/v", "FolderRules", "/d",
                                       "C:\\Geometry\tage=abc;maxmb=-1;freebelowgb=x", "/f")
                        print(f"{screen} at {dpi} DPI: starting", flush=True)
                        # The first start at a new DPI can take long under Wine on a busy machine:
                        # more time than a start usually takes.
                        self.start_program(exe, timeout=240)
                        # Opened, the first control in reading order has the keyboard.
                        until("the focus on the first control",
                              lambda: self.desk.probe_lines("focused")[0] == "PushButton2")
                        check(screen, dpi, "form", "main")
                        # The menu bar's List menu, for the read-me's pictures.
                        self.desk.key("alt+l")
                        until("the List menu", lambda: self.desk.seen("class", "#32768", "0"))
                        self.desk.screenshot(f"fit-{screen}-{dpi}-list-menu")
                        self.desk.key("Escape", "Escape")
                        until("the List menu to close",
                              lambda: not self.desk.seen("class", "#32768", "0"))
                        for key, title, name in (("o", OPTIONS, "options"),
                                                 ("p", PREVIEW, "preview"),
                                                 ("h", RUN_HISTORY, "history")):
                            self.desk.key("alt+t")
                            self.desk.choose(key, name, lambda: self.desk.seen(
                                "window-focus", title))
                            self.laid_out(title)
                            check(screen, dpi, title, name)
                            self.desk.key("Escape")
                            until(f"the {name} to close",
                                  lambda: not self.desk.seen("top", title, "0"))
                        # The folder's rules, from the list's menu by keyboard.
                        self.move_focus_to("ListView1", "Tab")
                        self.desk.key("Down", "shift+F10")
                        until("the list's menu", lambda: self.desk.seen("class", "#32768", "0"))
                        self.desk.key("f")
                        until("the folder's rules", lambda: self.desk.seen("top", RULES))
                        self.laid_out(RULES)
                        check(screen, dpi, RULES, "rules")
                        self.desk.key("Escape")
                        until("the rules to close", lambda: not self.desk.seen("top", RULES, "0"))
                        assert self.close_with_close_box() == 0
                except BaseException:
                    self.desk.screenshot(f"fit-{screen}-as-it-failed")  # this display's
                    raise
                finally:
                    if self.program:
                        self.program.kill()
                        self.program = None
                    subprocess.run(["wineserver", "-k"], check=False)
                    subprocess.run(["wineserver", "-w"], check=False)
                    stop_display(xvfb)
        finally:
            os.environ["DISPLAY"] = main_display
            self.desk.wine("reg", "delete", desktop_key, "/v", "LogPixels", "/f")
        assert not faults, "\n".join(faults)


def main():
    parser = argparse.ArgumentParser()
    for option in ("prefix", "setup", "zip", "probe", "msi", "later-msi", "rebuilt-msi", "ca",
                   "samples", "shots"):
        parser.add_argument("--" + option, required=True)
    session = Session(parser.parse_args())
    steps = [getattr(Session, name) for name in Session.__dict__ if name.startswith("step_")]
    # While working on one step: ONDREVAN_E2E_STEPS=first_start,... runs only those.
    if os.environ.get("ONDREVAN_E2E_STEPS"):
        chosen = os.environ["ONDREVAN_E2E_STEPS"].split(",")
        steps = [step for step in steps if step.__name__[len("step_"):] in chosen]
    passed = failed = 0
    for step in steps:
        name = step.__name__[len("step_"):]
        started = time.monotonic()
        running = session.program is not None and session.program.poll() is None
        try:
            step(session)
            passed += 1
            print(f"[  PASSED  ] {name} ({time.monotonic() - started:.1f} s)", flush=True)
        except Exception:  # one failed step is reported, and the next ones still run
            failed += 1
            print(f"[  FAILED  ] {name}\n{traceback.format_exc()}", flush=True)
            session.desk.screenshot("FAILED-" + name)
            session.desk.say_scene("the step gave up")
            session.tidy(running)
    if session.program:
        session.program.kill()
    print(f"e2e: {passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
