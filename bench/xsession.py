"""An Xvfb of our own and a Qt window in it, driven with real input events through xdotool: the
driver of the window benchmark, which the end-to-end tests and the screenshots use too.

The controls are no X windows: KIV2200_CONTROL_MAP makes the window's probe program keep a file of
its visible controls ("name x y w h text"; "name#i" for tabs and open list entries, "box" for a
message box). The probe is Kiv2200P1 with that map; install_probe puts it in a package's exe.
"""

import datetime
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

# A loaded machine is slow: waits are generous, and a wait that is met returns at once.
WAIT = float(os.environ.get("KIV_E2E_WAIT", "30"))
POLL = 0.05


def install_probe(programs, exe):
    """Makes exe/Kiv2200P1 the window's probe program (Kiv2200P1 with its control map)."""
    target = os.path.join(exe, "Kiv2200P1")
    if os.path.exists(target):
        os.remove(target)
    shutil.copy2(os.path.join(programs, "Kiv2200P1_probe"), target)


class Timeout(AssertionError):
    pass


def wait_until(what, probe, timeout=WAIT, last=None):
    """Polls probe() until it answers something true; else Timeout, with what last() says."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            detail = f"; last seen: {last()}" if last else ""
            raise Timeout(f"gave up after {timeout:.0f} s waiting for {what}{detail}")
        time.sleep(POLL)


def stop_process(proc, grace=10):
    """Ends a process this module started, by its id: politely, then for sure."""
    if proc is None or proc.poll() is not None:
        return
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait(timeout=grace)


class XServer:
    """Xvfb on a display it chooses itself; ended when the with-block ends."""

    def __init__(self, width=1280, height=800):
        self.size = f"{width}x{height}x24"
        self.proc = None
        self.display = None

    def __enter__(self):
        # Qt wants a private runtime folder, and says so on every start when there is none.
        self.runtime_dir = tempfile.mkdtemp(prefix="kiv2200-xdg-")
        readable, writable = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(writable), "-screen", "0", self.size, "-nolisten", "tcp"],
            pass_fds=(writable,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(writable)
        number = b""
        deadline = time.monotonic() + WAIT
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([readable], [], [], left)[0]:
                    raise Timeout("Xvfb did not say which display it took")
                chunk = os.read(readable, 16)
                if not chunk:
                    raise RuntimeError("Xvfb ended before it took a display")
                number += chunk
        except BaseException:
            stop_process(self.proc)
            raise
        finally:
            os.close(readable)
        self.display = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        stop_process(self.proc)
        shutil.rmtree(self.runtime_dir, ignore_errors=True)

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        env["QT_QPA_PLATFORM"] = "xcb"  # the unit tests run offscreen; this one must not
        env.pop("XAUTHORITY", None)
        env.setdefault("XDG_RUNTIME_DIR", self.runtime_dir)
        return env

    def xdotool(self, *args, check=True):
        done = subprocess.run(["xdotool", *args], env=self.env(), capture_output=True, text=True,
                              timeout=WAIT)
        if check and done.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(args)}: {done.stderr.strip()}")
        return done.stdout

    def windows(self, pid, name):
        """Visible X windows of process pid whose caption matches the pattern name, bottom first."""
        out = self.xdotool("search", "--all", "--onlyvisible", "--pid", str(pid), "--name", name,
                           check=False)
        return [int(w) for w in out.split()]


class Control:
    def __init__(self, x, y, w, h, text):
        self.x, self.y, self.w, self.h, self.text = x, y, w, h, text

    def center(self):
        return self.x + self.w // 2, self.y + self.h // 2


def read_map(path):
    controls = {}
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except FileNotFoundError:
        return controls
    for parts in (line.split(" ", 5) for line in lines):
        if len(parts) >= 5:
            text = parts[5] if len(parts) == 6 else ""
            controls[parts[0]] = Control(*map(int, parts[1:5]), text.replace("\\n", "\n"))
    return controls


class Window:
    """A program with a control map, started in an X server; its main window is found by caption."""

    def __init__(self, x, program, args, cwd, workdir, caption):
        self.x = x
        self.map_path = os.path.join(workdir, "control-map")
        self.log_path = os.path.join(workdir, "window.log")
        env = x.env()
        env["KIV2200_CONTROL_MAP"] = self.map_path
        with open(self.log_path, "w") as log:
            self.proc = subprocess.Popen([program, *args], cwd=cwd, env=env,
                                         stdin=subprocess.DEVNULL, stdout=log,
                                         stderr=subprocess.STDOUT)
        self.pid = self.proc.pid
        try:
            self.wid = wait_until(f"the window '{caption}'",
                                  lambda: self._alive() and next(iter(x.windows(self.pid, caption)),
                                                                 None))
            wait_until("the control map", lambda: self._alive() and read_map(self.map_path))
        except BaseException:
            self.stop()
            raise

    def _alive(self):
        if self.proc.poll() is not None:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                raise AssertionError(f"the program ended ({self.proc.returncode}): {f.read()}")
        return True

    def stop(self):
        stop_process(self.proc)

    def wait_ended(self, timeout=WAIT):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Timeout(f"the program was still running after {timeout:.0f} s")

    def controls(self):
        self._alive()
        return read_map(self.map_path)

    def control(self, name):
        return wait_until(f"control {name}", lambda: self.controls().get(name),
                          last=lambda: sorted(self.controls()))

    def text(self, name):
        return self.control(name).text

    def wait_text(self, name, expected, timeout=WAIT):
        def seen():
            c = self.controls().get(name)
            return c.text if c else f"<{name} not shown>"
        wait_until(f"{name} to show {expected!r}", lambda: seen() == expected, timeout,
                   last=seen)

    def wait_hidden(self, name, timeout=WAIT):
        wait_until(f"{name} to be hidden", lambda: name not in self.controls(), timeout,
                   last=lambda: self.controls()[name].text)

    def entries(self, name):
        """The entries of list name while it is open, in order; [] while it is closed."""
        found = []
        controls = self.controls()
        while f"{name}#{len(found)}" in controls:
            found.append(controls[f"{name}#{len(found)}"].text)
        return found

    def focus(self, wid=None):
        self.x.xdotool("windowfocus", "--sync", str(wid or self.wid))

    def click_at(self, x, y, button=1):
        self.x.xdotool("mousemove", "--sync", str(x), str(y), "click", str(button))

    def click(self, name, button=1):
        self.focus()
        self.click_at(*self.control(name).center(), button)

    def key(self, *keys, wid=None):
        """Keys typed into the window (or the window wid), which gets the keyboard focus first."""
        self.focus(wid)
        self.x.xdotool("key", "--delay", "40", *keys)

    def switch_tab(self, tabs, index):
        label = self.text(f"{tabs}#{index}")
        self.click(f"{tabs}#{index}")
        self.wait_text(tabs, label)

    def tick(self, name):
        box = self.control(name)
        self.focus()
        self.click_at(box.x + 10, box.y + box.h // 2)
        self.wait_text(name, "[x] " + box.text[4:])

    def open_list(self, name, key=None):
        """Opens list name with its arrow, as a clerk does, or with key (alt+Down, say) typed in
        its text; answers its entries."""
        box = self.control(name)
        self.focus()
        if key:
            self.click_at(box.x + 10, box.y + box.h // 2)
            self.key(key)
        else:
            self.click_at(box.x + box.w - 8, box.y + box.h // 2)
        wait_until(f"list {name} to open", lambda: f"{name}#0" in self.controls())
        return self.entries(name)

    def close_list(self, name):
        self.x.xdotool("key", "Escape")  # not self.key: focusing the window would close the list
        wait_until(f"list {name} to close", lambda: not self.entries(name))

    def choose(self, name, entry, key=None):
        """Opens list name (with key, if given) and clicks its entry; answers the entries the
        list offered."""
        offered = self.open_list(name, key)
        if entry not in offered:
            self.close_list(name)
            raise AssertionError(f"{name} offers no {entry!r}: {offered}")
        self.click_at(*self.controls()[f"{name}#{offered.index(entry)}"].center())
        wait_until(f"list {name} to close", lambda: not self.entries(name))
        self.wait_text(name, entry)
        return offered

    def set_date(self, name, day):
        """Clicks calendar name, then walks to day with the arrow keys (Up/Down a week)."""
        calendar = self.control(name)
        self.focus()
        self.click_at(calendar.x + calendar.w // 2, calendar.y + calendar.h * 2 // 3)

        def stable():  # the map follows the window within a tenth of a second
            first = self.text(name)
            time.sleep(0.3)
            return datetime.date.fromisoformat(first) if self.text(name) == first else None
        for _ in range(5):
            delta = (day - wait_until(f"{name} to settle", stable)).days
            if delta == 0:
                return
            weeks, days = divmod(abs(delta), 7)
            keys = (["Down"] * weeks + ["Right"] * days if delta > 0
                    else ["Up"] * weeks + ["Left"] * days)
            self.key(*keys)
        self.wait_text(name, day.isoformat())

    def expect_box(self, caption, text, timeout=WAIT):
        """Waits for a box with this caption and text (or text(), once it is up); answers its id."""
        pattern = "^" + caption + "$"

        def shown():
            box = self.controls().get("box")
            return box.text if box else "<no message box>"

        wid = wait_until(f"a message box captioned {caption!r}",
                         lambda: next(iter(self.x.windows(self.pid, pattern)), None), timeout,
                         last=shown)
        # What a window manager shows: Qt fills an empty title with the application's name there.
        shown_caption = self.x.xdotool("getwindowname", str(wid)).rstrip("\n")
        if not re.fullmatch(pattern, shown_caption):
            raise AssertionError(f"the box's caption reads {shown_caption!r}, not {caption!r}")
        if callable(text):
            text = text()
        # Another text that stays means another message: no need to wait out the timeout.
        other = {"text": None, "since": 0.0}

        def read_or_give_up():
            now = shown()
            if now == text:
                return True
            if now != other["text"]:
                other["text"], other["since"] = now, time.monotonic()
            elif time.monotonic() - other["since"] > 3 and now != "<no message box>":
                raise AssertionError(f"the message box reads {now!r}, not {text!r}")
            return False

        wait_until(f"the message box to read {text!r}", read_or_give_up, last=shown)
        return wid

    def answer(self, wid, key):
        """Answers message box wid with a key, and waits until it is gone."""
        self.key(key, wid=wid)
        wait_until("the message box to close",
                   lambda: wid not in self.x.windows(self.pid, ".*"))
