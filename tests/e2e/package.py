"""A demo package laid out by kiv2200 for one test; its database read with Python's own sqlite3."""

import datetime
import hashlib
import os
import sqlite3
import stat
import subprocess
import time

from xsession import install_probe


def _today_for_a_whole_run(margin_seconds=240):
    """Today, after midnight has passed if it is near: the demo, calendars and checks follow it."""
    now = datetime.datetime.now()
    midnight = datetime.datetime.combine(now.date() + datetime.timedelta(days=1), datetime.time())
    left = (midnight - now).total_seconds()
    if left < margin_seconds:
        time.sleep(left + 2)
    return datetime.date.today()


TODAY = _today_for_a_whole_run()


def day(offset):
    return TODAY + datetime.timedelta(days=offset)


def roc(d):
    """A date as the date lists show it: the Republic-of-China year, then /MM/dd."""
    return f"{d.year - 1911}/{d.month:02d}/{d.day:02d}"


# The demo school's groups and past batches, dated from the day the package is laid out.
TUITION, LUNCH, AFTER_SCHOOL, TEXTBOOKS = 1, 2, 3, 4
TUITION_DAY, LUNCH_DAY, AFTER_SCHOOL_DAY, TEXTBOOKS_DAY = day(-30), day(7), day(3), day(14)

# Stands in for the menu program: notes how it was started, and ends.
MENU_RECORDER = """#!/bin/sh
{ printf '%s\\n' "$#"; for a in "$@"; do printf '%s\\n' "$a"; done; pwd; } > "$0.started"
"""


class DemoPackage:
    def __init__(self, programs, base, record_menu=True):
        self.base = base
        subprocess.run([os.path.join(programs, "kiv2200"), "--base", base, "demo"], check=True,
                       stdout=subprocess.DEVNULL, timeout=120)
        self.exe = os.path.join(base, "exe")
        self.window = os.path.join(self.exe, "Kiv2200P1")
        install_probe(programs, self.exe)
        self.menu = os.path.join(self.exe, "Kiv0000P1")
        self.database = os.path.join(base, "mdb", "KIV.mdb")
        if record_menu:
            os.remove(self.menu)
            with open(self.menu, "w") as f:
                f.write(MENU_RECORDER)
            os.chmod(self.menu, os.stat(self.menu).st_mode | stat.S_IXUSR)

    def menu_started(self):
        """(arguments, working folder) of the recorded menu start, or None."""
        try:
            with open(self.menu + ".started", encoding="utf-8") as f:
                lines = f.read().splitlines()
        except FileNotFoundError:
            return None
        count = int(lines[0])
        if len(lines) != count + 2:
            return None  # still being written
        return lines[1:1 + count], lines[-1]

    def query(self, sql, *params):
        # A fresh read-only connection per question: the window compacts the file by replacing it.
        db = sqlite3.connect(f"file:{self.database}?mode=ro", uri=True, timeout=30)
        try:
            return db.execute(sql, params).fetchall()
        finally:
            db.close()

    def digest(self):
        """A fingerprint of every row of every table, whatever the rows' physical order."""
        h = hashlib.sha256()
        for (t,) in self.query("select name from sqlite_master where type = 'table' order by name"):
            rows = sorted(repr(r) for r in self.query(f"select * from {t}"))
            h.update(f"{t}:{len(rows)}\n".encode())
            for r in rows:
                h.update(r.encode())
        return h.hexdigest()

    def bills(self, tran_day, group):
        """The batch's payment records: Stdid, PayAmt, Fee, PreWay, Check_DL, TranDay2."""
        return self.query(
            "select Stdid, PayAmt, Fee, PreWay, Check_DL, TranDay2 from KIV8_PayMent"
            " where TranDay = ? and Grpid = ? order by Stdid", tran_day.isoformat(), group)

    def batch_digest(self, tran_day, group):
        """The batch's bills, items and header."""
        day, of = tran_day.isoformat(), " where TranDay = ? and Grpid = ?"
        items = self.query("select Stdid, ItemId, ItemAmt from KIV9_Payitem" + of, day, group)
        header = self.query("select PayStas from KIV10_Agency" + of, day, group)
        return self.bills(tran_day, group), sorted(items), header

    def totals(self, tran_day, group):
        """Count and amount (fees included) of the transfer bills, then of the counter bills."""
        return sum((self.query("select count(*), coalesce(sum(PayAmt + Fee), 0) from KIV8_PayMent"
                               " where TranDay = ? and Grpid = ? and PreWay = ?",
                               tran_day.isoformat(), group, way)[0] for way in ("1", "2")), ())


def summary_text(transfer_count, transfer_amount, counter_count, counter_amount):
    """The summary box of a generation, apply or re-collection, for the given totals."""
    return ("轉 帳 總 數       {:,} 筆\n\n轉 帳 總 金 額  {:,} 元\n\n"
            "臨 櫃 總 數       {:,} 筆\n\n臨 櫃 總 金 額  {:,} 元").format(
        transfer_count, transfer_amount, counter_count, counter_amount)
