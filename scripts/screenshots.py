#!/usr/bin/env python3
"""The README's pictures of Kiv2200P1: the window as the demo opens it, then each tab with real
content, made on a demo package in an X server of their own with the same driver as the window
tests. Nothing is written to the database for these: lists are opened and entries chosen, no
command runs.

Two more show a command on tab 產生 meeting another workstation: one waits for the database's
write lock, held meanwhile by this script; in the other the batch is changed by this script while
the clerk reads the overwrite question. Those run commands, so they always get a fresh demo
package of their own, whatever --base says.

Usage: screenshots.py --programs BUILD/bin --out DIR [--only SHOT] [--base DEMO]
"""

import argparse
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bench"))

from package import (AFTER_SCHOOL, AFTER_SCHOOL_DAY, TUITION, TUITION_DAY, DemoPackage, day, roc,
                     summary_text)
from xsession import WAIT, Window, XServer, install_probe, wait_until

CAPTION = r"^Feltrane\(.*\)$"
# The shots that run a command; --only also takes "demo", the window as the demo opens it.
WRITING_SHOTS = ("wait-for-workstation", "changed-meanwhile", "missing-database")

# What the window says; the overwrite question has no caption.
FELTRANE, PROGRAM, EMPTY = "Feltrane", "Kiv2200P1", ""
ADDED = "新 增 成 功"
OVERWRITE = "此 筆 資 料 已 存 在,\n\n是 否 要 覆 蓋 之 前 所 有 的 資 料"
WAITING = re.compile(r"等候其他工作站寫入完成… ([0-9]+) 秒")


def capture(win, path):
    """Saves the window as it is on screen, with the lists and message boxes open over it,
    as a PNG. Each X window is read on its own and laid over the window bottom first: on a
    bare X server the screen image can miss a Qt window drawn over another."""
    main = window_image(win.x, win.wid)
    for wid in win.x.windows(win.pid, ".*"):
        if wid != win.wid:
            main.lay_over(window_image(win.x, wid))
    with open(path, "wb") as f:
        subprocess.run(["pnmtopng"], input=main.ppm(), stdout=f, check=True, timeout=WAIT)


def window_image(x, wid):
    """The window's picture; one just mapped is black until it paints, which is waited out."""
    return wait_until("the window to paint", lambda: painted(read_window(x, wid)))


def painted(image):
    return image if any(image.pixels[::97]) else None


def read_window(x, wid):
    shell = dict(line.split("=", 1) for line in
                 x.xdotool("getwindowgeometry", "--shell", str(wid)).split())
    dump = subprocess.run(["xwd", "-silent", "-id", str(wid)], env=x.env(),
                          capture_output=True, check=True, timeout=WAIT).stdout
    ppm = subprocess.run(["xwdtopnm"], input=dump, capture_output=True, check=True,
                         timeout=WAIT).stdout
    return Image(int(shell["X"]), int(shell["Y"]), ppm)


class Image:
    """An RGB picture placed on the screen, from binary PPM."""

    def __init__(self, x, y, ppm):
        fields, at = [], 0
        while len(fields) < 4:
            while ppm[at:at + 1].isspace():
                at += 1
            if ppm[at:at + 1] == b"#":
                at = ppm.index(b"\n", at)
                continue
            end = at
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[at:end])
            at = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError("not an 8-bit binary PPM")
        self.x, self.y = x, y
        self.w, self.h = int(fields[1]), int(fields[2])
        self.pixels = bytearray(ppm[at + 1:at + 1 + self.w * self.h * 3])

    def lay_over(self, top):
        """Copies top over this picture where they overlap."""
        left, right = max(self.x, top.x), min(self.x + self.w, top.x + top.w)
        upper, lower = max(self.y, top.y), min(self.y + self.h, top.y + top.h)
        if left >= right or upper >= lower:
            return
        width = (right - left) * 3
        for y in range(upper, lower):
            to = ((y - self.y) * self.w + left - self.x) * 3
            src = ((y - top.y) * top.w + left - top.x) * 3
            self.pixels[to:to + width] = top.pixels[src:src + width]

    def ppm(self):
        return b"P6\n%d %d\n255\n" % (self.w, self.h) + bytes(self.pixels)


def changed_meanwhile(tran_day, group):
    return (f"另一個工作站在您確認之後變更了這批資料（收款日期 {roc(tran_day)}，繳費群組 {group}）。"
            "\n\n本次沒有寫入任何資料，請重新執行一次。")


def whole_batch(pkg, tran_day, group):
    """Every column of the batch's bills, items and header, whatever the rows' order: a batch
    written again with the same amounts still differs, by the bill locked meanwhile."""
    return tuple(sorted(pkg.query(f"select * from {table} where TranDay = ? and Grpid = ?",
                                  tran_day.isoformat(), group), key=repr)
                 for table in ("KIV8_PayMent", "KIV9_Payitem", "KIV10_Agency"))


def saver(win, out, made):
    def save(name):
        path = os.path.join(out, name)
        capture(win, path)
        made.append(path)
    return save


def shoot(programs, out, only, base):
    os.makedirs(out, exist_ok=True)
    made = []
    with tempfile.TemporaryDirectory(prefix="kiv2200-shots-") as work, XServer() as x:
        if only in (None, "demo"):
            shoot_tabs(x, programs, out, only == "demo", base, work, made)
        if only in (None, "missing-database"):
            shoot_missing_database(x, programs, out, work, made)
        wanted = [name for name in WRITING_SHOTS[:2] if only in (None, name)]
        if wanted:
            shoot_other_workstation(x, programs, out, wanted, os.path.join(work, "writes"), made)
    return made


def shoot_tabs(x, programs, out, only_demo, base, work, made):
    if base:
        # The probe runs from a package of its own on the same database: the demo package keeps
        # its own window program.
        probe_base = os.path.join(work, "probe")
        exe = os.path.join(probe_base, "exe")
        shutil.copytree(os.path.join(base, "exe"), exe)
        os.symlink(os.path.abspath(os.path.join(base, "mdb")), os.path.join(probe_base, "mdb"))
        install_probe(programs, exe)
    else:
        exe = DemoPackage(programs, os.path.join(work, "school"), record_menu=False).exe
    win = Window(x, os.path.join(exe, "Kiv2200P1"), ["a/b/c"], exe, work, caption=CAPTION)
    try:
        save = saver(win, out, made)

        # As it opens: tab 產生 on today, no group chosen.
        win.wait_text("CC_TranDay", day(0).isoformat())
        save("demo.png" if not only_demo else "demo-screenshot.png")
        if only_demo:
            return

        win.set_date("CC_TranDay", day(3))
        win.tick("Chk_DL")
        win.open_list("CBO_GrpID")
        save("tab0-generate.png")
        win.close_list("CBO_GrpID")

        win.switch_tab("SSTab1", 1)
        win.open_list("CBO_TranDay")
        save("tab1-delete.png")
        win.close_list("CBO_TranDay")

        win.switch_tab("SSTab1", 2)
        win.choose("CBO_GrpID3", "3:課後輔導費")
        win.choose("CBO_TranDay3", roc(AFTER_SCHOOL_DAY))
        win.set_date("CC_TranDay3", day(33))
        win.open_list("CBO_GrpID3")
        save("tab2-apply.png")
        win.close_list("CBO_GrpID3")

        win.switch_tab("SSTab1", 3)
        win.choose("CBO_GrpID4", "1:上學期學雜費")
        win.choose("CBO_TranDay4", roc(TUITION_DAY))
        win.set_date("CC_TranDay4", day(10))
        save("tab3-recollect.png")
    finally:
        win.stop()


def shoot_missing_database(x, programs, out, work, made):
    """The window started on a package whose database file is gone: its one box names the file."""
    pkg = DemoPackage(programs, os.path.join(work, "no-database"), record_menu=False)
    os.remove(pkg.database)
    proc = subprocess.Popen([pkg.window, "a/b/c"], cwd=pkg.exe, env=x.env(),
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        wid = wait_until("the start-up box", lambda: next(iter(x.windows(proc.pid, f"^{PROGRAM}$")),
                                                          None))
        image = window_image(x, wid)
        path = os.path.join(out, "missing-database.png")
        with open(path, "wb") as f:
            subprocess.run(["pnmtopng"], input=image.ppm(), stdout=f, check=True, timeout=WAIT)
        made.append(path)
    finally:
        proc.kill()
        proc.wait()


def shoot_other_workstation(x, programs, out, wanted, work, made):
    """Tab 產生 meeting another workstation, played by this script's own connections to the
    package's database."""
    pkg = DemoPackage(programs, os.path.join(work, "school"), record_menu=False)
    win = Window(x, pkg.window, ["a/b/c"], pkg.exe, work, caption=CAPTION)
    try:
        save = saver(win, out, made)
        win.wait_text("CC_TranDay", day(0).isoformat())

        if "wait-for-workstation" in wanted:
            # A new tuition batch, asked for while another workstation holds the write lock.
            target = day(1)
            win.set_date("CC_TranDay", target)
            win.choose("CBO_GrpID", "上學期學雜費")
            other = sqlite3.connect(pkg.database, isolation_level=None)
            try:
                other.execute("BEGIN EXCLUSIVE")
                win.click("cmd_confirm")

                def label():
                    shown = win.controls().get("Label4")
                    return shown.text if shown else "<Label4 not shown>"

                def counted():
                    seen = WAITING.fullmatch(label())
                    return seen and int(seen.group(1)) >= 1
                wait_until("the busy label to count the seconds waited", counted, last=label)
                save("wait-for-workstation.png")
            finally:
                other.execute("ROLLBACK")
                other.close()
            win.answer(win.expect_box(PROGRAM, lambda: summary_text(*pkg.totals(target, TUITION))),
                       "Return")
            win.answer(win.expect_box(FELTRANE, ADDED), "Return")
            win.wait_hidden("Label4")
            if not pkg.headers(target, TUITION):
                raise AssertionError("the batch was not written once the lock came free")

        if "changed-meanwhile" in wanted:
            # The unpaid after-school batch; while the clerk reads the overwrite question, another
            # workstation locks one of its bills.
            win.set_date("CC_TranDay", AFTER_SCHOOL_DAY)
            win.choose("CBO_GrpID", "課後輔導費")
            count = len(pkg.bills(AFTER_SCHOOL_DAY, AFTER_SCHOOL))
            win.click("cmd_confirm")
            question = win.expect_box(EMPTY, OVERWRITE)
            save("overwrite-question.png")  # its buttons in the clerks' language
            other = sqlite3.connect(pkg.database, timeout=30)
            try:
                with other:
                    other.execute(
                        "update KIV8_PayMent set lock_data = '1' where rowid = (select min(rowid)"
                        " from KIV8_PayMent where TranDay = ? and Grpid = ?)",
                        (AFTER_SCHOOL_DAY.isoformat(), AFTER_SCHOOL))
            finally:
                other.close()
            changed = whole_batch(pkg, AFTER_SCHOOL_DAY, AFTER_SCHOOL)
            win.answer(question, "y")
            box = win.expect_box(FELTRANE, changed_meanwhile(AFTER_SCHOOL_DAY, AFTER_SCHOOL))
            save("changed-meanwhile.png")
            win.answer(box, "Return")
            win.wait_hidden("Label4")
            now = whole_batch(pkg, AFTER_SCHOOL_DAY, AFTER_SCHOOL)
            if len(now[0]) != count:
                raise AssertionError(f"the refused command left {len(now[0])} bills of {count}")
            if now != changed:
                raise AssertionError("the refused command changed the batch's rows")
    finally:
        win.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--programs", required=True, help="the folder holding the built programs")
    parser.add_argument("--out", required=True, help="where the PNG files go")
    parser.add_argument("--only", choices=["demo", *WRITING_SHOTS],
                        help="only this picture (demo: the window as the demo opens it)")
    parser.add_argument("--base", help="an existing package to show instead of a fresh demo")
    args = parser.parse_args()
    for path in shoot(os.path.abspath(args.programs), args.out, args.only, args.base):
        print(path)


if __name__ == "__main__":
    main()
