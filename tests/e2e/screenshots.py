#!/usr/bin/env python3
"""The README's pictures of Kiv2200P1: the window as the demo opens it, then each tab with real
content, made on a demo package in an X server of their own with the same driver as the window
tests. Nothing is written to the database: lists are opened and entries chosen, no command runs.

Usage: screenshots.py --programs BUILD/bin --out DIR [--only demo] [--base DEMO]
"""

import argparse
import os
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from package import AFTER_SCHOOL_DAY, TUITION_DAY, DemoPackage, day, roc
from xsession import Window, XServer


def shoot(programs, out, only_demo, base):
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="kiv2200-shots-") as work, XServer() as x:
        if base:
            exe = os.path.join(base, "exe")
        else:
            exe = DemoPackage(programs, os.path.join(work, "school"), record_menu=False).exe
        win = Window(x, os.path.join(exe, "Kiv2200P1"), ["a/b/c"], exe, work,
                     caption=r"^Feltrane\(.*\)$")
        try:
            made = []

            def save(name):
                path = os.path.join(out, name)
                win.capture(path)
                made.append(path)

            # As it opens: tab 產生 on today, no group chosen.
            win.wait_text("CC_TranDay", day(0).isoformat())
            save("demo.png" if not only_demo else "demo-screenshot.png")
            if only_demo:
                return made

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
            return made
        finally:
            win.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--programs", required=True, help="the folder holding the built programs")
    parser.add_argument("--out", required=True, help="where the PNG files go")
    parser.add_argument("--only", choices=["demo"], help="only the window as the demo opens it")
    parser.add_argument("--base", help="an existing package to show instead of a fresh demo")
    args = parser.parse_args()
    for path in shoot(os.path.abspath(args.programs), args.out, args.only == "demo", args.base):
        print(path)


if __name__ == "__main__":
    main()
