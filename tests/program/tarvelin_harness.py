"""Runs the built program as a user would: a copy of the executable in a
directory of its own, stand-in tools (or the real ones) on the search path, a
record of every line handed to /bin/sh -c and of every dialog shown, and the
window driven through the X server with pointer and keys. File dialogs are
answered through the dialog record, so that the real dialog runs without
racing its own completion of typed paths."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from Xlib import X, Xatom, display, error as xerror, protocol
from Xlib.ext import xtest

HERE = os.path.dirname(os.path.abspath(__file__))
STAND_INS = os.path.join(HERE, "stand-ins")
STAND_IN_TOOLS = ("cdrecord", "mkisofs", "dvd_cdrecord", "dvd+rw-format", "xterm")

# The main window opens here; everything else is placed relative to it.
WINDOW_LEFT, WINDOW_TOP = 299, 216
WINDOW_WIDTH, WINDOW_HEIGHT = 496, 291

# Left, top, width, height inside the window, as the layout places them.
CONTROLS = {
    "...": (440, 40, 39, 25),
    "Erase CDRW": (388, 72, 91, 25),
    "Burn": (14, 241, 75, 25),
    "About": (384, 199, 75, 25),
    "Close": (384, 241, 75, 25),
    "Make ISO": (111, 241, 75, 25),
    "Open ISO and burn": (232, 241, 128, 25),
    "Format DVDRW": (366, 117, 107, 25),
    "folder": (96, 40, 336, 23),
    "title": (56, 72, 130, 23),
    "dvd device": (208, 117, 152, 23),
    # The editable combo boxes: their entry fills the left part.
    "speed": (379, 8, 70, 25),
    "medium": (208, 160, 50, 25),
    # The erase mode list opens from its arrow at the right end.
    "erase mode arrow": (356, 72, 20, 25),
    # The option group's check boxes, one under the other inside its frame.
    "Long-Joliet": (24, 123, 120, 18),
    "ISO-Level 4": (24, 149, 120, 18),
    "Deactived folder deep": (24, 175, 140, 18),
    "Burnproof": (24, 201, 120, 18),
    "Cdrtools in current folder": (197, 203, 163, 23),
}

# A drive as "cdrecord --scanbus" lists it: TAB, address, TAB, description.
SCAN_LINE_000 = b"\t0,0,0\t  0) 'VENDOR' 'MODEL' 'REV' Removable CD-ROM\n"
SCANBUS_ONE_DRIVE = (
    b"scsibus0:\n" + SCAN_LINE_000 + b"\t0,1,0\t  1) *\n"
)
PRCAP_PROTECTED = (
    b"Drive capabilities, per MMC-3 page 2A:\n"
    b"  Does read CD-R media\n"
    b"  Does support Buffer-Underrun-Free recording\n"
)
BURNPROOF_MARKER = b"Does not support Buffer-Underrun-Free recording"
PRCAP_UNPROTECTED = (
    b"Drive capabilities, per MMC-3 page 2A:\n"
    b"  Does read CD-R media\n"
    b"  " + BURNPROOF_MARKER + b"\n"
)

# Only a limit for what never comes: on a busy machine a start can take long.
TIMEOUT = 30.0

# The dialog record cancels a file dialog that has not taken its answer after
# 30 s; the test waits longer, so that what it reports is the record's
# account of the dialog.
ANSWERED_DIALOG_TIMEOUT = 40.0

# "(tarvelin:1234): Gtk-WARNING **: ..." and the like.
TOOLKIT_WARNING = re.compile(rb"^\(\S+:\d+\): [\w-]+-(?:WARNING|CRITICAL|ERROR) \*\*.*$", re.MULTILINE)
GIVEN_UP = re.compile(rb"^record_dialogs: .*$", re.MULTILINE)


def wait_for(what, probe, timeout=TIMEOUT, interval=0.03):
    """Polls probe until it gives something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:.0f}s waiting for {what}")
        time.sleep(interval)


def files_named(top, names):
    """Every file or folder under top with one of these names: what a name run
    as a command instead of passed on would leave behind."""
    found = []
    for where, dirs, files in os.walk(top):
        found += [os.path.join(where, n) for n in dirs + files if n in names]
    return found


def first_difference(expected, actual):
    for i, (a, b) in enumerate(zip(expected, actual)):
        if a != b:
            return i
    return min(len(expected), len(actual))


def describe_mismatch(expected, actual):
    at = first_difference(expected, actual)

    def byte_at(text):
        return f"0x{text[at]:02x} {chr(text[at])!r}" if at < len(text) else "end of text"

    return (
        f"\nexpected ({len(expected)} bytes): {expected!r}"
        f"\nactual   ({len(actual)} bytes): {actual!r}"
        f"\nfirst difference at byte {at}: expected {byte_at(expected)}, actual {byte_at(actual)}"
    )


class CommandAssertions:
    """Mixed into test cases: command texts compared byte for byte."""

    def assertCommand(self, expected, actual, what="command line"):
        if isinstance(expected, str):
            expected = expected.encode()
        if isinstance(actual, str):
            actual = actual.encode()
        if expected != actual:
            self.fail(f"{what} differs:" + describe_mismatch(expected, actual))

    def assertCommands(self, expected, actual, what="shell lines"):
        expected = [e.encode() if isinstance(e, str) else e for e in expected]
        for i, (e, a) in enumerate(zip(expected, actual)):
            self.assertCommand(e, a, f"{what}[{i}]")
        if len(expected) != len(actual):
            self.fail(f"{what}: expected {len(expected)} lines, got {len(actual)}"
                      + "".join(f"\n  expected {e!r}" for e in expected)
                      + "".join(f"\n  actual   {a!r}" for a in actual))


class Screen:
    """The X side: finding windows, pointer and keys."""

    _shared = None

    @classmethod
    def shared(cls):
        """One connection for the whole run. It also keeps the X server from
        resetting itself each time a program ends and no client is left, which
        refuses connections made meanwhile."""
        if cls._shared is None:
            cls._shared = cls()
        return cls._shared

    def __init__(self):
        self.display = display.Display()
        self.root = self.display.screen().root
        self._net_wm_pid = self.display.intern_atom("_NET_WM_PID")
        self._net_wm_name = self.display.intern_atom("_NET_WM_NAME")
        self._utf8 = self.display.intern_atom("UTF8_STRING")

    def windows(self, pid=None):
        """The mapped top-level windows as (window, name, pid, x, y, w, h)."""
        found = []
        for window in self.root.query_tree().children:
            try:
                if window.get_attributes().map_state != X.IsViewable:
                    continue
                prop = window.get_full_property(self._net_wm_pid, Xatom.CARDINAL)
                owner = prop.value[0] if prop else None
                if pid is not None and owner != pid:
                    continue
                prop = window.get_full_property(self._net_wm_name, self._utf8)
                name = prop.value.decode("utf-8", "replace") if prop else (window.get_wm_name() or "")
                if isinstance(name, bytes):
                    name = name.decode("latin-1")
                geometry = window.get_geometry()
                at = window.translate_coords(self.root, 0, 0)
                found.append((window, name, owner, -at.x, -at.y, geometry.width, geometry.height))
            except xerror.XError:
                continue  # gone while we looked
        return found

    def move_to(self, x, y):
        xtest.fake_input(self.display, X.MotionNotify, x=int(x), y=int(y))
        self.display.sync()

    def click_at(self, x, y):
        self.move_to(x, y)
        xtest.fake_input(self.display, X.ButtonPress, 1)
        xtest.fake_input(self.display, X.ButtonRelease, 1)
        self.display.sync()

    @staticmethod
    def key(*keys):
        subprocess.run(["xdotool", "key", "--delay", "20", *keys], check=True)

    @staticmethod
    def type(text):
        subprocess.run(["xdotool", "type", "--delay", "8", "--", text], check=True)

    def send_delete(self, window):
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(
            window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        self.display.sync()


class MapWatch:
    """Every top-level window mapped on the screen from its creation on, seen
    through a connection of its own that asks the server for each map."""

    def __init__(self, test):
        self.display = display.Display()
        self.display.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.display.sync()
        test.addCleanup(self.display.close)

    def mapped(self):
        # The round trip brings in every event the server sent before it.
        self.display.sync()
        found = []
        while self.display.pending_events():
            event = self.display.next_event()
            if event.type == X.MapNotify:
                found.append(event.window.id)
        return found


class Tarvelin:
    """One run of the program in a directory of its own.

    tools: the names of the stand-ins to put ahead of /usr/bin; the others
    are the real Debian programs (or missing).
    device_config: None for no file, bytes for a file, "dir" for a directory.
    login_shell: the user's SHELL as the program finds it.
    """

    def __init__(self, test, *, tools=STAND_IN_TOOLS, device_config=None,
                 scanbus=SCANBUS_ONE_DRIVE, prcap=PRCAP_PROTECTED, print_size=b"123456\n",
                 name="tarvelin", login_shell="/bin/bash"):
        self.login_shell = login_shell
        self.base = tempfile.mkdtemp(prefix="tarvelin-test-")
        test.addCleanup(shutil.rmtree, self.base, True)
        test.addCleanup(self.check_toolkit_quiet)
        test.addCleanup(self.check_every_dialog_met)
        self.program_dir = self.path("program")
        self.tools_dir = self.path("tools")
        self.calls_dir = self.path("calls")
        self.start_dir = self.path("elsewhere")
        self.answers_dir = self.path("answers")
        for d in (self.program_dir, self.tools_dir, self.calls_dir, self.start_dir, self.answers_dir):
            os.mkdir(d)
        self.executable = os.path.join(self.program_dir, name)
        # A copy, not a link: the program finds its own directory through
        # /proc/self/exe, which resolves links.
        shutil.copy2(os.environ["TARVELIN"], self.executable)
        for tool in tools:
            os.symlink(os.path.join(STAND_INS, tool), os.path.join(self.tools_dir, tool))
        if tools:
            os.symlink(os.path.join(STAND_INS, "record"), os.path.join(self.tools_dir, "record"))
        if device_config == "dir":
            os.mkdir(os.path.join(self.program_dir, "device.config"))
        elif device_config is not None:
            self.write("program/device.config", device_config)
        self.scanbus_file = self.write("scanbus", scanbus)
        self.prcap_file = self.write("prcap", prcap)
        self.print_size_file = self.write("print-size", print_size)
        self.shell_log = self.path("shell.log")
        self.dialog_log = self.path("dialogs.log")
        # The dialogs the test has met so far, and what it knows of each
        # dialog window: its number in the record and its text.
        self.dialogs_met = 0
        self.shown = {}
        self.stdout_file = self.path("stdout")
        self.stderr_file = self.path("stderr")
        self.process = None
        self.screen = Screen.shared()
        test.addCleanup(self.stop)

    def path(self, *parts):
        return os.path.join(self.base, *parts)

    def write(self, relative, data):
        target = self.path(relative)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
        return target

    def environment(self):
        env = dict(os.environ)
        for name in ("TARVELIN", "RECORD_SHELL", "RECORD_DIALOGS"):
            env.pop(name, None)
        env.update({
            # Not /bin first: a shell that a tool starts as /bin/sh would land
            # in the record of the program's own shell lines.
            "PATH": f"{self.tools_dir}:/usr/bin",
            "SHELL": self.login_shell,
            # The program runs elsewhere: a relative path would not load.
            "LD_PRELOAD": " ".join(os.path.abspath(os.environ[v]) for v in ("RECORD_SHELL", "RECORD_DIALOGS")),
            "TARVELIN_SHELL_LOG": self.shell_log,
            "TARVELIN_DIALOG_LOG": self.dialog_log,
            "TARVELIN_DIALOG_ANSWERS": self.answers_dir,
            "STANDIN_LOG_DIR": self.calls_dir,
            "STANDIN_SCANBUS": self.scanbus_file,
            "STANDIN_PRCAP": self.prcap_file,
            "STANDIN_PRINT_SIZE": self.print_size_file,
            "NO_AT_BRIDGE": "1",
            "GTK_A11Y": "none",
            # The file dialogs keep settings and recent files: not the user's.
            "GSETTINGS_BACKEND": "memory",
            "XDG_CONFIG_HOME": self.path("home", "config"),
            "XDG_DATA_HOME": self.path("home", "data"),
            "XDG_CACHE_HOME": self.path("home", "cache"),
        })
        return env

    # The process.

    def start(self):
        with open(self.stdout_file, "wb") as out, open(self.stderr_file, "wb") as err:
            self.process = subprocess.Popen(
                [self.executable], cwd=self.start_dir, env=self.environment(),
                stdin=subprocess.DEVNULL, stdout=out, stderr=err, start_new_session=True)
        return self

    def stop(self):
        if self.process and self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait(5)

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not end within {timeout:.0f}s") from None

    def output(self):
        with open(self.stdout_file, "rb") as f:
            out = f.read()
        with open(self.stderr_file, "rb") as f:
            err = f.read()
        return out, err

    def check_toolkit_quiet(self):
        """A warning from GTK or GLib means the program misused the toolkit;
        the tools' own messages on the shared error stream do not count. The
        dialog record tells here of a dialog it gave up on."""
        if self.process is None:
            return
        _, err = self.output()
        warnings = TOOLKIT_WARNING.findall(err) + GIVEN_UP.findall(err)
        if warnings:
            raise AssertionError(f"complaints on the program's error stream: {warnings!r}")

    def check_every_dialog_met(self):
        """A box the test did not wait for tells of something it did not expect,
        such as an error."""
        unmet = self.dialogs()[self.dialogs_met:]
        if unmet:
            raise AssertionError(f"the program showed dialogs the test did not look at: {unmet!r}")

    def _alive(self):
        if self.process.poll() is not None:
            out, err = self.output()
            raise AssertionError(
                f"the program ended with status {self.process.returncode}\nstdout: {out!r}\nstderr: {err!r}")

    def children(self):
        """Processes the program has started and not yet waited for."""
        kids = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/stat", "rb") as f:
                    stat = f.read()
            except OSError:
                continue
            fields = stat[stat.rindex(b")") + 2:].split()
            if int(fields[1]) == self.process.pid:
                kids.append(int(entry))
        return kids

    def wait_idle(self, timeout=TIMEOUT):
        """Waits until every command the program started has ended."""
        wait_for("the program's commands to end", lambda: not self.children(), timeout)

    # The shell lines and the tools' records.

    def shell_lines(self):
        try:
            with open(self.shell_log, "rb") as f:
                data = f.read()
        except FileNotFoundError:
            return []
        lines = data.split(b"\0")
        if lines[-1] != b"":
            raise AssertionError(f"shell log does not end with NUL: {data!r}")
        return lines[:-1]

    def wait_shell_lines(self, count, timeout=TIMEOUT):
        def enough():
            lines = self.shell_lines()
            return lines if len(lines) >= count else None
        try:
            return wait_for(f"{count} shell lines", enough, timeout)
        except AssertionError as e:
            raise AssertionError(f"{e}; have {self.shell_lines()!r}") from None

    def calls(self):
        """The stand-in tools' calls in order, as (tool, [args], stdin path or None)."""
        found = []
        for name in sorted(os.listdir(self.calls_dir)):
            if name.endswith(".stdin"):
                continue
            tool = name.split("-", 2)[2]
            with open(os.path.join(self.calls_dir, name), "rb") as f:
                args = f.read().split(b"\0")[:-1]
            track = os.path.join(self.calls_dir, name + ".stdin")
            found.append((tool, args, track if os.path.exists(track) else None))
        return found

    def calls_of(self, tool):
        return [c for c in self.calls() if c[0] == tool]

    # The windows.

    def windows(self):
        return self.screen.windows(self.process.pid)

    def main_window(self, timeout=TIMEOUT):
        def find():
            self._alive()
            for w in self.windows():
                if w[1].startswith("Tarvelin 0.13"):
                    return w
            return None
        return wait_for("the main window", find, timeout)

    def started(self):
        """Starts the program and waits until its window is on the screen."""
        self.start()
        self.window = self.main_window()
        return self

    def window_named(self, name, timeout=TIMEOUT):
        def find():
            self._alive()
            for w in self.windows():
                if w[1] == name and w[5] > 20 and w[6] > 20:
                    return w
            return None
        return wait_for(f"a window named {name!r}", find, timeout)

    def no_window_named(self, name):
        return not any(w[1] == name for w in self.windows())

    def centre(self, control):
        left, top, width, height = CONTROLS[control]
        _, _, _, x, y, _, _ = self.window
        return x + left + width // 2, y + top + height // 2

    def click(self, control):
        self.screen.click_at(*self.centre(control))

    def set_text(self, control, text):
        """Replaces the text of an entry as a user would: click, select all, type."""
        self.click(control)
        self.screen.key("ctrl+a")
        if text:
            self.screen.type(text)
        else:
            self.screen.key("BackSpace")

    def pick_next_item(self, arrow, steps=1):
        """Opens a drop-down list and moves its choice down by steps."""
        before = {w[0].id for w in self.windows()}
        self.click(arrow)
        popup = wait_for("the list to drop down",
                         lambda: [w for w in self.windows() if w[0].id not in before and w[5] > 20])[0]
        for _ in range(steps):
            self.screen.key("Down")
        self.screen.key("Return")
        wait_for("the list to close", lambda: popup[0].id not in [w[0].id for w in self.windows()])

    def focus_on(self, window):
        """Without a window manager the keyboard follows the pointer."""
        _, _, _, x, y, w, h = window
        self.screen.move_to(x + w // 2, y + 8)

    def dialogs(self):
        """The dialogs the program has shown, in order, as (kind, title, text)."""
        try:
            with open(self.dialog_log, "rb") as f:
                fields = f.read().split(b"\0")[:-1]
        except FileNotFoundError:
            return []
        return [tuple(fields[i:i + 3]) for i in range(0, len(fields) - 2, 3)]

    def _next_dialog(self, kind, title, timeout):
        """Waits for the next dialog the program shows, which must be of this
        kind and title, and gives its window."""
        number = self.dialogs_met

        def logged():
            self._alive()
            dialogs = self.dialogs()
            return dialogs[number] if len(dialogs) > number else None
        shown_kind, shown_title, text = wait_for(f"a {kind} titled {title!r}", logged, timeout)
        if (shown_kind, shown_title) != (kind.encode(), title.encode()):
            raise AssertionError(f"expected a {kind} titled {title!r}, the program showed a"
                                 f" {shown_kind.decode()} titled {shown_title.decode()!r}")
        self.dialogs_met += 1
        window = self.window_named(title, timeout)
        self.shown[window[0].id] = (number, text)
        return window

    def message_box(self, title="tarvelin", timeout=TIMEOUT):
        """The program's next message or error box: the window titled with the
        executable's name, without its extension."""
        return self._next_dialog("box", title, timeout)

    def message_text(self, box):
        """The text the box shows, as its labels hold it."""
        return self.shown[box[0].id][1]

    def answer_box(self, box, key="Return"):
        self.focus_on(box)
        self.screen.key(key)
        self._wait_closed(box)

    def _wait_closed(self, window, timeout=TIMEOUT):
        wait_for(f"{window[1]!r} to close", lambda: window[0].id not in [w[0].id for w in self.windows()],
                 timeout)

    def file_dialog(self, title, timeout=TIMEOUT):
        return self._next_dialog("file", title, timeout)

    def _answer(self, dialog, answer):
        number = self.shown[dialog[0].id][0]
        ready = os.path.join(self.answers_dir, str(number))
        with open(ready + ".new", "wb") as f:
            f.write(answer)
        os.rename(ready + ".new", ready)
        self._wait_closed(dialog, ANSWERED_DIALOG_TIMEOUT)
        given_up = GIVEN_UP.findall(self.output()[1])
        if given_up:
            raise AssertionError(f"the file dialog {dialog[1]!r} was not answered: {given_up!r}")

    def choose_in_dialog(self, dialog, path):
        """Confirms a path in a file dialog: the dialog takes it as if typed
        (a folder, or a folder and a name) and its confirm button is pressed."""
        self._answer(dialog, b"choose\0" + os.fsencode(path))

    def make_iso(self, folder, title, path):
        """Makes an image of the folder under the title, confirming the path in
        the save dialog, and waits until the command has ended; the start-up
        ran two shell lines before it."""
        self.set_text("folder", folder)
        self.set_text("title", title)
        self.click("Make ISO")
        self.choose_in_dialog(self.file_dialog("Save file as"), path)
        self.wait_shell_lines(3)
        self.wait_idle()

    def cancel_dialog(self, dialog):
        self._answer(dialog, b"cancel")

    def close_by_window_manager(self):
        self.screen.send_delete(self.window[0])
