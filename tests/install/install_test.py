#!/usr/bin/env python3
"""The Debian package of the build tree this test runs in, unpacked and used from there.

Usage: install_test.py --cpack CPACK --build BUILD --version VERSION [unittest options]

CPack packages the programs already built in BUILD (it builds nothing), into a temporary folder;
dpkg-deb unpacks the package into a temporary root, and everything below runs from that root:
kiv2200, a demo package and an empty one laid out with the installed programs, a generate and its
report as PDF, the window on the offscreen platform, the validators on the desktop entry and the
metainfo, and the manual page against kiv2200's own list of commands.
Exits 77 (skipped) where dpkg-deb or dpkg-shlibdeps is missing.
"""

import argparse
import datetime
import filecmp
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.dont_write_bytecode = True  # nothing written beside the sources

ARGS = None
ID = "org.kiv2200.Kiv2200"
PROGRAMS = ("kiv2200", "Kiv2200P1", "Kiv0000P1")
RUNTIME_DEPENDS = ("libqt6sql6-sqlite", "libqt6sql6-psql", "qt6-translations-l10n",
                   "fonts-noto-cjk", "fonts-dejavu-core")
ADDED = "新 增 成 功"  # the generate tab's success message


def run(*command, env=None, check=True):
    r = subprocess.run(command, capture_output=True, text=True, env=env, timeout=120)
    if check and r.returncode != 0:
        raise AssertionError(f"{' '.join(command)} exited {r.returncode}:\n{r.stdout}{r.stderr}")
    return r


def tomorrow():
    return (datetime.date.today() + datetime.timedelta(days=1)).isoformat()


class InstalledPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="kiv-install-")
        out = os.path.join(cls.tmp, "out")
        start = time.monotonic()
        run(ARGS.cpack, "--config", os.path.join(ARGS.build, "CPackConfig.cmake"), "-B", out)
        arch = run("dpkg", "--print-architecture").stdout.strip()
        cls.deb = os.path.join(out, f"kiv2200_{ARGS.version}_{arch}.deb")
        cls.root = os.path.join(cls.tmp, "root")
        run("dpkg-deb", "-x", cls.deb, cls.root)
        print(f"packaged and unpacked in {time.monotonic() - start:.1f} s", file=sys.stderr)
        cls.usr = os.path.join(cls.root, "usr")
        cls.kiv2200 = os.path.join(cls.usr, "bin", "kiv2200")
        cls.program_folder = os.path.join(cls.usr, "lib", "kiv2200", "exe")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def base(self, name):
        return os.path.join(self.tmp, name)

    def kiv(self, *args, check=True):
        return run(self.kiv2200, *args, check=check)

    def demo(self, name):
        base = self.base(name)
        self.kiv("--base", base, "demo", "--students", "200")
        return base

    def assert_installed_programs_in(self, base):
        for program in PROGRAMS:
            copy = os.path.join(base, "exe", program)
            self.assertTrue(os.access(copy, os.X_OK), copy)
            self.assertTrue(filecmp.cmp(copy, os.path.join(self.program_folder, program),
                                        shallow=False), f"{copy} is not the installed {program}")

    def test_package_namesItsVersionMaintainerAndWhatItNeeds(self):
        fields = run("dpkg-deb", "--field", self.deb).stdout
        self.assertRegex(fields, rf"(?m)^Version: {re.escape(ARGS.version)}$")
        self.assertRegex(fields, r"(?m)^Maintainer: \S.*<\S+@\S+>$")
        self.assertRegex(fields, r"(?m)^Description: \S.*\n \S")  # a summary and a long text
        depends = re.search(r"(?m)^Depends: (.*)$", fields).group(1)
        names = {d.strip().split(" ")[0] for d in depends.split(",")}
        # Computed from the programs (dpkg-shlibdeps), then what they load at run time.
        for name in ("libc6", "libqt6core6", "libqt6widgets6", "libqt6sql6", "libpq5",
                     *RUNTIME_DEPENDS):
            self.assertIn(name, names, depends)

    def test_files_standWhereTheSystemLooksForThem(self):
        icons = {s: f"share/icons/hicolor/{s}x{s}/apps/{ID}.png" for s in (48, 128, 256)}
        for path in [f"lib/kiv2200/exe/{p}" for p in PROGRAMS] + list(icons.values()) + [
                f"share/applications/{ID}.desktop", f"share/metainfo/{ID}.metainfo.xml",
                f"share/icons/hicolor/scalable/apps/{ID}.svg", "share/man/man1/kiv2200.1.gz",
                "share/doc/kiv2200/copyright", "share/doc/kiv2200/changelog.gz"]:
            self.assertTrue(os.path.isfile(os.path.join(self.usr, path)), path)
        # kiv2200 on the path: a relative link, so that the unpacked root works where it lies.
        self.assertEqual(os.readlink(self.kiv2200), "../lib/kiv2200/exe/kiv2200")
        for size, icon in icons.items():
            with open(os.path.join(self.usr, icon), "rb") as png:
                head = png.read(24)
            self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual((int.from_bytes(head[16:20], "big"),
                              int.from_bytes(head[20:24], "big")), (size, size))

    def test_nothingInstalled_namesTheBuildOrSourceTree(self):
        source = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
        trees = [os.path.realpath(ARGS.build).encode(), source.encode()]
        for folder, _, files in os.walk(self.root):
            for name in files:
                path = os.path.join(folder, name)
                if os.path.islink(path):
                    continue
                with open(path, "rb") as f:
                    data = f.read()
                if path.endswith(".gz"):
                    data = gzip.decompress(data)
                for tree in trees:
                    self.assertNotIn(tree, data, path)

    def test_kiv2200_runsFromTheUnpackedRoot(self):
        self.assertEqual(self.kiv("--version").stdout, f"kiv2200 {ARGS.version}\n")
        # Without --base, the package of the installed programs, as for the desktop's window.
        told = self.kiv("list", "groups", "--tab", "generate", check=False)
        self.assertEqual(told.returncode, 1)
        self.assertIn(os.path.join(self.usr, "lib", "kiv2200", "mdb", "KIV.mdb"),
                      told.stdout + told.stderr)

    def test_demoAndInitDb_layOutPackagesWithTheInstalledPrograms(self):
        self.assert_installed_programs_in(self.demo("demo"))
        empty = self.base("empty")
        self.kiv("--base", empty, "init-db")
        self.assertTrue(os.path.isfile(os.path.join(empty, "mdb", "KIV.mdb")))
        self.assert_installed_programs_in(empty)
        # The package's own kiv2200 takes its base from where it stands: the demo's groups.
        listed = run(os.path.join(self.base("demo"), "exe", "kiv2200"), "list", "groups", "--tab",
                     "generate").stdout
        self.assertRegex(listed, r"(?m)^1\t")

    def test_generate_andItsReportAsPdf(self):
        base = self.demo("round")
        generated = self.kiv("--base", base, "generate", "--date", tomorrow(), "--group", "1",
                             "--yes", "--quiet")
        self.assertIn(ADDED, generated.stdout)
        pdf = os.path.join(self.tmp, "round.pdf")
        self.kiv("--base", base, "report", "--date", tomorrow(), "--group", "1", "--pdf", pdf)
        with open(pdf, "rb") as f:
            data = f.read()
        self.assertTrue(data.startswith(b"%PDF-"))
        self.assertGreater(data.count(b"/Type /Page\n") + data.count(b"/Type/Page"), 0)

    def test_window_startsOnTheDemoPackage(self):
        base = self.demo("window")
        # Qt's accessibility log names every window it shows: the main window with its caption,
        # and any message box (which the window shows when it cannot start on the package).
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                   QT_LOGGING_RULES="qt.accessibility.cache.debug=true")
        log_path = os.path.join(self.tmp, "window.log")
        with open(log_path, "w") as log, self.assertRaises(subprocess.TimeoutExpired):
            # Still up after some seconds, when it is ended: it did not end by itself.
            subprocess.run([os.path.join(base, "exe", "Kiv2200P1"), "a/b/c"], stdout=log,
                           stderr=subprocess.STDOUT, env=env, timeout=8)
        with open(log_path, encoding="utf-8", errors="replace") as log:
            text = log.read()
        self.assertIn(f'name="Feltrane({base})"', text)
        self.assertIn("MainWindow", text)
        self.assertNotIn("role=AlertMessage", text)

    @unittest.skipUnless(shutil.which("desktop-file-validate") and shutil.which("appstreamcli"),
                         "desktop-file-validate or appstreamcli is not installed")
    def test_desktopEntryAndMetainfo_validate(self):
        entry = os.path.join(self.usr, "share", "applications", f"{ID}.desktop")
        metainfo = os.path.join(self.usr, "share", "metainfo", f"{ID}.metainfo.xml")
        self.assertEqual(run("desktop-file-validate", entry).stdout, "")
        run("appstreamcli", "validate", "--no-net", "--pedantic", metainfo)
        with open(entry, encoding="utf-8") as f:
            text = f.read()
        # The entry starts the installed window, under the prefix the package installs to.
        self.assertRegex(text, r"(?m)^Exec=/usr/lib/kiv2200/exe/Kiv2200P1 a/b/c$")
        self.assertRegex(text, rf"(?m)^Icon={re.escape(ID)}$")
        self.assertRegex(text, r"(?m)^Name=\S")
        self.assertRegex(text, r"(?m)^Name\[zh_TW\]=\S")
        with open(metainfo, encoding="utf-8") as f:
            self.assertIn(f'<launchable type="desktop-id">{ID}.desktop</launchable>', f.read())

    def test_manualPage_describesEveryCommandOfHelp(self):
        with gzip.open(os.path.join(self.usr, "share", "man", "man1", "kiv2200.1.gz"), "rt",
                       encoding="utf-8") as f:
            page = f.read()
        self.assertIn(f'"Kiv2200 {ARGS.version}"', page)
        commands = re.findall(r"(?m)^  ([a-z][a-z-]+)\b", self.kiv("--help").stdout)
        self.assertGreater(len(commands), 10)
        for command in commands:
            typed = command.replace("-", r"\\-")  # troff's minus: \-
            self.assertIsNotNone(re.search(rf"(?m)^\.B {typed}\b", page),
                                 f"kiv2200 {command} is not in the manual page")
        if shutil.which("man"):
            shown = run("man", "--warnings", "-l", os.path.join(self.usr, "share", "man", "man1",
                                                                  "kiv2200.1.gz"),
                        env=dict(os.environ, MANWIDTH="80", MAN_KEEP_FORMATTING="0"))
            self.assertEqual(shown.stderr, "")
            self.assertIn("kiv2200 - build a school's tuition collection batches", shown.stdout)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--cpack", required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("--version", required=True)
    ARGS, rest = parser.parse_known_args()
    for tool in ("dpkg-deb", "dpkg-shlibdeps"):
        if not shutil.which(tool):
            print(f"skipped: {tool} is not installed (Debian dpkg / dpkg-dev)")
            return 77
    program = unittest.main(argv=[sys.argv[0]] + rest, exit=False, verbosity=2)
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
