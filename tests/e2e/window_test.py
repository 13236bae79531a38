#!/usr/bin/env python3
"""Kiv2200P1 in an X server of its own, driven by real clicks and keys on a fresh demo package.

Usage: window_test.py --programs BUILD/bin [unittest options]
"""

import argparse
import contextlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
# The driver of the real window, which the window benchmark shares.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))

from package import (AFTER_SCHOOL, AFTER_SCHOOL_DAY, TUITION, TUITION_DAY, DemoPackage, day, roc,
                     summary_text)
from xsession import Window, XServer, wait_until

PROGRAMS = None
X = None

FELTRANE = "Feltrane"
PROGRAM = "Kiv2200P1"  # the caption of boxes shown with the default title
EMPTY = ""  # the overwrite question has no caption

ADDED = "新 增 成 功"
OVERWRITE = "此 筆 資 料 已 存 在,\n\n是 否 要 覆 蓋 之 前 所 有 的 資 料"
DEADLINE_NOTICES = ("首次設定者，請向Morvane公司儲匯處申請新增特戶存款資料條碼檢核方式",
                    "ATM繳費無法控管繳費期限")
BUSY = "執 行 中, 請 稍 後"


def end_quietly(pid):  # a process the window started, if it still runs
    with contextlib.suppress(ProcessLookupError):
        os.kill(pid, signal.SIGTERM)


def setUpModule():
    global X
    X = XServer().__enter__()


def tearDownModule():
    if X:
        X.__exit__(None, None, None)


class StartUp(unittest.TestCase):
    def test_withoutFields_endsAtOnce_sayingHowToStart(self):
        with tempfile.TemporaryDirectory(prefix="kiv2200-e2e-") as base:
            pkg = DemoPackage(PROGRAMS, base)
            done = subprocess.run([pkg.window], cwd=pkg.exe, env=X.env(), capture_output=True,
                                  text=True, timeout=60)
            self.assertIsNone(pkg.menu_started(), "ending at once hands nothing back")
        self.assertEqual(done.returncode, 0)
        self.assertIn("Kiv2200P1 a/b/c", done.stderr)
        self.assertIn("Kiv0000P1", done.stderr)

    def test_withoutDisplay_bothProgramsNameItAndTheWayOut_exit1(self):
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        for program in ("Kiv2200P1", "Kiv0000P1"):
            with self.subTest(program):
                done = subprocess.run([os.path.join(PROGRAMS, program), "a/b/c"], env=env,
                                      capture_output=True, text=True, timeout=60)
                # The message itself: the window test's missingDisplayMessage cases.
                self.assertEqual(done.returncode, 1, done.stderr)
                self.assertTrue(done.stderr.startswith(program), done.stderr)
                self.assertIn("WAYLAND_DISPLAY", done.stderr)


class WindowTest(unittest.TestCase):
    """A fresh demo package and the window started on it, as the menu program starts it."""

    record_menu = True

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="kiv2200-e2e-")
        self.pkg = DemoPackage(PROGRAMS, os.path.join(self.dir, "school"), self.record_menu)
        self.win = Window(X, self.pkg.window, ["a/b/c"], self.pkg.exe, self.dir,
                          caption=r"^Feltrane\(.*\)$")

    def tearDown(self):
        self.win.stop()
        shutil.rmtree(self.dir, ignore_errors=True)

    def expect_summary_then_added(self, tran_day, group, busy_label):
        """The summary matches the database, the busy label meanwhile still up; then ADDED."""
        wid = self.win.expect_box(PROGRAM, lambda: summary_text(*self.pkg.totals(tran_day, group)))
        self.assertEqual(self.win.text(busy_label), BUSY)
        self.win.answer(wid, "Return")
        self.win.answer(self.win.expect_box(FELTRANE, ADDED), "Return")
        self.win.wait_hidden(busy_label)


class GenerateTab(WindowTest):
    """Tab 產生: a date in the calendar, a group from the list, the deadline box, 確認 S."""

    def test_newBatchByAltS_thenOverwriteDeclinedByN_acceptedByY_withDeadline_thenLeave(self):
        target = day(1)
        others = self.pkg.batch_digest(TUITION_DAY, TUITION)
        self.win.set_date("CC_TranDay", target)
        offered = self.win.choose("CBO_GrpID", "上學期學雜費")
        self.assertIn("5:", offered)  # the unnamed group, as its id
        self.win.key("alt+s")
        self.expect_summary_then_added(target, TUITION, "Label4")
        students = [b[0] for b in self.pkg.bills(target, TUITION)]
        self.assertGreater(len(students), 1000)

        self.win.tick("Chk_DL")  # the deadline notices below show that it reached the command
        before = self.pkg.digest()
        self.win.click("cmd_confirm")
        self.win.answer(self.win.expect_box(EMPTY, OVERWRITE), "n")
        self.assertEqual(self.pkg.digest(), before, "declining the overwrite changed the database")
        self.win.wait_hidden("Label4")

        self.win.click("cmd_confirm")
        self.win.answer(self.win.expect_box(EMPTY, OVERWRITE), "y")
        for notice in DEADLINE_NOTICES:
            self.win.answer(self.win.expect_box(PROGRAM, notice), "Return")
        self.expect_summary_then_added(target, TUITION, "Label4")
        self.assertEqual([b[0] for b in self.pkg.bills(target, TUITION)], students)
        self.assertEqual(self.pkg.batch_digest(TUITION_DAY, TUITION), others)

        # Leaving hands the three fields to the menu program, started from exe/; the window ends.
        self.win.click("Cmd_exit")
        started = wait_until("the menu program to be started", self.pkg.menu_started)
        self.assertEqual(started, (["a/b/c"], self.pkg.exe))
        self.assertEqual(self.win.wait_ended(), 0)


class ApplyTab(WindowTest):
    """Tab 套用: an old batch from two lists, the new date; the real menu stand-in at the end."""

    record_menu = False

    def test_batchApplied_thenPasteOnlyWhereTyped_thenLeave(self):
        target = day(33)
        self.win.switch_tab("SSTab1", 2)
        self.win.choose("CBO_GrpID3", "3:課後輔導費", key="alt+Down")
        self.win.choose("CBO_TranDay3", roc(AFTER_SCHOOL_DAY), key="alt+Up")
        self.win.set_date("CC_TranDay3", target)
        old = self.pkg.batch_digest(AFTER_SCHOOL_DAY, AFTER_SCHOOL)
        self.win.click("cmd_confirm3")
        self.expect_summary_then_added(target, AFTER_SCHOOL, "Label10")
        self.assertEqual(self.pkg.batch_digest(AFTER_SCHOOL_DAY, AFTER_SCHOOL), old)

        # A middle-click pastes the X selection into a list that takes typing, not into CBO_GrpID.
        self.win.click("CBO_GrpID3")
        self.win.key("ctrl+a")
        self.win.switch_tab("SSTab1", 3)
        self.win.click("CBO_GrpID4", button=2)
        self.win.wait_text("CBO_GrpID4", "3:課後輔導費")
        self.win.switch_tab("SSTab1", 0)
        self.win.click("CBO_GrpID", button=2)
        time.sleep(0.5)
        self.assertEqual(self.win.text("CBO_GrpID"), "")

        self.win.key("alt+e")  # the stand-in shows the fields it was given in its caption
        menu = wait_until("the menu program's window",
                          lambda: X.xdotool("search", "--onlyvisible", "--name",
                                            r"^Kiv0000P1 \(a/b/c\)$", check=False).split())
        self.addCleanup(end_quietly, int(X.xdotool("getwindowpid", menu[0])))
        self.assertEqual(self.win.wait_ended(), 0)


def main():
    global PROGRAMS
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--programs", required=True, help="the folder holding the built programs")
    args, rest = parser.parse_known_args()
    PROGRAMS = os.path.abspath(args.programs)
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
