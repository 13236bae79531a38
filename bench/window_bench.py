#!/usr/bin/env python3
"""The window against kiv2200: each batch command of Kiv2200P1 run on a demo school through the
window, in an X server of its own and driven as the end-to-end tests drive it, and the same
command run by kiv2200 on an identical copy of the database. One line per command:

  window-generate students=N seconds=S cli_seconds=C ratio=S/C

generate is the tuition batch (group 1) for tomorrow, apply the tuition batch of 30 days ago
copied to today+33, recollect that batch's failed transfers collected again at today+10: all
three written over no batch, so that neither side meets the overwrite question. The window's time
runs from the Alt+S that confirms to the box "新 增 成 功", the summary box before it closed with
Return on the way; kiv2200's is its whole process, with --yes, output to files. Each is the best
of several runs, each run on a fresh copy of the database, the two sides taking turns.

Usage: window_bench.py --programs BUILD/bin --work DIR [--students N] [--repeats R]
"""

import argparse
import os
import shutil
import sqlite3
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from package import TUITION, TUITION_DAY, day, roc
from xsession import Window, XServer, install_probe, wait_until

CAPTION = r"^Feltrane\(.*\)$"
FELTRANE, PROGRAM = "Feltrane", "Kiv2200P1"
ADDED = "新 增 成 功"
LONG = 900  # seconds a command may take on a loaded machine

# name, tab, its controls (group list, old-date list, calendar, busy label), group entry,
# old batch, new date, the kiv2200 arguments.
COMMANDS = (
    ("generate", 0, ("CBO_GrpID", None, "CC_TranDay", "Label4"), "上學期學雜費", None, day(1),
     ["generate", "--date", day(1).isoformat(), "--group", str(TUITION)]),
    ("apply", 2, ("CBO_GrpID3", "CBO_TranDay3", "CC_TranDay3", "Label10"), "1:上學期學雜費",
     TUITION_DAY, day(33),
     ["apply", "--from", TUITION_DAY.isoformat(), "--to", day(33).isoformat(), "--group",
      str(TUITION)]),
    ("recollect", 3, ("CBO_GrpID4", "CBO_TranDay4", "CC_TranDay4", "Label13"), "1:上學期學雜費",
     TUITION_DAY, day(10),
     ["recollect", "--from", TUITION_DAY.isoformat(), "--to", day(10).isoformat(), "--group",
      str(TUITION)]),
)


def lay_out(programs, base, students):
    """A demo package of that many students."""
    shutil.rmtree(base, ignore_errors=True)
    subprocess.run([os.path.join(programs, "kiv2200"), "--base", base, "demo", "--students",
                    str(students)], check=True, stdout=subprocess.DEVNULL, timeout=LONG)
    install_probe(programs, os.path.join(base, "exe"))


def fresh_copy(pristine, base):
    """base/mdb holding only a copy of pristine."""
    mdb = os.path.join(base, "mdb")
    shutil.rmtree(mdb, ignore_errors=True)
    os.makedirs(mdb)
    shutil.copyfile(pristine, os.path.join(mdb, "KIV.mdb"))


def totals(base, tran_day, group):
    """Count and amount (fees included) of the transfer bills, then of the counter bills."""
    db = sqlite3.connect(f"file:{os.path.join(base, 'mdb', 'KIV.mdb')}?mode=ro", uri=True)
    try:
        return sum((db.execute("select count(*), coalesce(sum(PayAmt + Fee), 0) from KIV8_PayMent"
                               " where TranDay = ? and Grpid = ? and PreWay = ?",
                               (tran_day.isoformat(), group, way)).fetchone()
                    for way in ("1", "2")), ())
    finally:
        db.close()


def time_window(x, exe, work, command):
    """Seconds from Alt+S to the box ADDED in a window started on the package of exe. Boxes are
    seen as their X windows come up: the control map follows them only within a tenth of a
    second, so ADDED's text is checked once the time is taken."""
    _, tab, (groups, dates, calendar, busy), group, old_day, new_day, _ = command
    win = Window(x, os.path.join(exe, "Kiv2200P1"), ["a/b/c"], exe, work, caption=CAPTION)

    def box(caption):
        return wait_until(f"a box captioned {caption}",
                          lambda: win._alive() and next(iter(x.windows(win.pid, f"^{caption}$")),
                                                        None), LONG,
                          last=lambda: {k: c.text for k, c in win.controls().items()
                                        if k in ("box", busy)})
    try:
        if tab:
            win.switch_tab("SSTab1", tab)
        win.choose(groups, group)
        if dates:
            win.choose(dates, roc(old_day))
        win.set_date(calendar, new_day)
        win.focus()
        start = time.monotonic()
        x.xdotool("key", "alt+s")
        win.answer(box(PROGRAM), "Return")  # the summary
        box(FELTRANE)
        seconds = time.monotonic() - start
        win.answer(win.expect_box(FELTRANE, ADDED), "Return")
        win.wait_hidden(busy)
        return seconds
    finally:
        win.stop()


def time_cli(programs, base, work, command):
    """Seconds of the whole kiv2200 process running the command with --yes."""
    args = [os.path.join(programs, "kiv2200"), "--base", base, *command[6], "--yes"]
    with open(os.path.join(work, "cli.out"), "w") as out, \
            open(os.path.join(work, "cli.err"), "w") as err:
        start = time.monotonic()
        done = subprocess.run(args, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                              timeout=LONG)
        seconds = time.monotonic() - start
    if done.returncode != 0:
        with open(os.path.join(work, "cli.out"), encoding="utf-8") as f:
            raise AssertionError(f"{' '.join(args)} ended with {done.returncode}: {f.read()}")
    return seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--programs", required=True, help="the folder holding the built programs")
    parser.add_argument("--work", required=True, help="a folder for the packages, emptied first")
    parser.add_argument("--students", type=int, default=50000)
    parser.add_argument("--repeats", type=int, default=3)
    args = parser.parse_args()
    programs, work = os.path.abspath(args.programs), os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    window_base, cli_base = os.path.join(work, "window"), os.path.join(work, "cli")
    lay_out(programs, window_base, args.students)
    pristine = os.path.join(work, "KIV.mdb")
    shutil.copyfile(os.path.join(window_base, "mdb", "KIV.mdb"), pristine)
    os.makedirs(cli_base)
    exe = os.path.join(window_base, "exe")
    with XServer() as x:
        for command in COMMANDS:
            name, new_day = command[0], command[5]
            best_window = best_cli = None
            for _ in range(args.repeats):
                fresh_copy(pristine, window_base)
                s = time_window(x, exe, work, command)
                fresh_copy(pristine, cli_base)
                c = time_cli(programs, cli_base, work, command)
                written = totals(window_base, new_day, TUITION)
                if not written[0] or totals(cli_base, new_day, TUITION) != written:
                    raise AssertionError(f"window-{name}: the window and kiv2200 wrote other"
                                         f" batches: {written}")
                best_window = s if best_window is None else min(best_window, s)
                best_cli = c if best_cli is None else min(best_cli, c)
            print(f"window-{name} students={args.students} seconds={best_window:.2f} "
                  f"cli_seconds={best_cli:.2f} ratio={best_window / best_cli:.2f}", flush=True)
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
