#!/usr/bin/env python3
"""scripts/check-layers on a copy of the tree with one include or folder changed."""
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
CHECK = ROOT / "scripts" / "check-layers"


class CheckLayers(unittest.TestCase):
    # One copy of the tree for all cases; each case puts back what it changed.
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.root = pathlib.Path(cls.tmp.name)
        for d in ("src", "tools", "docs"):
            shutil.copytree(ROOT / d, cls.root / d, ignore=shutil.ignore_patterns("*.png"))

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def setUp(self):
        self.changed = {}  # path: its text before the case, None when the case made it

    def tearDown(self):
        for path, text in self.changed.items():
            if text is not None:
                path.write_text(text, encoding="utf-8")
            elif path.is_dir():
                shutil.rmtree(path)
            else:
                path.unlink()
        self.changed = {}

    def change(self, path):
        if path not in self.changed:
            self.changed[path] = path.read_text(encoding="utf-8") if path.exists() else None
        return path

    def run_check(self):
        r = subprocess.run([sys.executable, str(CHECK), str(self.root)], capture_output=True, text=True)
        return r.returncode, r.stdout

    def add_include(self, file, header):
        path = self.change(self.root / file)
        path.write_text(f'#include "{header}"\n' + path.read_text(encoding="utf-8"), encoding="utf-8")

    def add_to_picture(self, line):
        doc = self.change(self.root / "docs" / "ARCHITECTURE.md")
        text = doc.read_text(encoding="utf-8")
        doc.write_text(text.replace("```layers\n", "```layers\n" + line + "\n", 1), encoding="utf-8")

    def test_the_tree_as_it_is_passes(self):
        self.assertEqual(self.run_check()[0], 0)

    def test_lower_folder_including_a_higher_one_fails(self):
        self.add_include("src/db/SqlLog.cpp", "frmMain.h")
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("src/db/SqlLog.cpp:1: db/ includes frmMain.h of shell/, a higher layer", out)

    def test_window_folder_including_a_sibling_fails(self):
        self.add_include("src/print/SpreadPrint.cpp", "FrmCalendar.h")
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("print/ includes FrmCalendar.h of calendar/, a sibling", out)

    def test_include_by_relative_path_is_caught(self):
        self.add_include("src/util/IniFile.cpp", "../base/Settings.h")
        self.assertEqual(self.run_check()[0], 1)

    def test_allowed_edge_passes_and_an_unused_one_fails(self):
        self.add_include("src/grid/Spread.cpp", "FrmSPPrint_Preview.h")
        self.add_to_picture("allow grid/ -> print/  the preview opens from the grid")
        self.assertEqual(self.run_check()[0], 0)
        self.add_to_picture("allow db/ -> shell/  nobody needs this")
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("allowed edge db/ -> shell/ is no longer used", out)

    def test_include_loops_within_a_folder(self):
        cases = [  # (file, header it is made to include, picture line, expected line or None to pass)
            ("src/print/FrmSPPrint_PrintDlg.cpp", "FrmSPPrint_Preview.h", None,
             "print/: include loop FrmSPPrint_Preview -> FrmSPPrint_PrintDlg -> FrmSPPrint_Preview"),
            ("src/print/HeaderFooterCode.h", "HeaderFooterTable.h", None,
             "print/: include loop HeaderFooterTable -> HeaderFooterCode -> HeaderFooterTable"),
            ("src/print/HeaderFooterCode.h", "HeaderFooterTable.h", "loops print/  known", None),
            ("src/print/FrmSPPrint_Preview.cpp", "HeaderFooterCode.h", None, None),  # down, no loop
            (None, None, "loops grid/  none there", "grid/ has no include loop any more"),
        ]
        for file, header, line, expected in cases:
            with self.subTest(file=file, header=header, line=line):
                self.tearDown()
                self.setUp()
                if file:
                    self.add_include(file, header)
                if line:
                    self.add_to_picture(line)
                code, out = self.run_check()
                self.assertEqual(code, 0 if expected is None else 1, out)
                if expected:
                    self.assertIn(expected, out)

    def test_folder_outside_the_picture_fails(self):
        self.change(self.root / "src" / "charts").mkdir()
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("charts/ is in no layer", out)

    def test_header_name_in_two_folders_fails(self):
        shutil.copy(self.root / "src" / "base" / "Settings.h", self.change(self.root / "src" / "grid" / "Settings.h"))
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("Settings.h is in both", out)


if __name__ == "__main__":
    unittest.main()
