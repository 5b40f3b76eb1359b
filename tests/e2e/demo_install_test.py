#!/usr/bin/env python3
"""Builds the demo installation in a temporary folder with the built mfrec and checks it with
mfrec stat and mfrec dump: every file the program needs, its record length and record count,
the registry, a clean rebuild, and the data rules an import relies on (right-justified case
suffixes, the batch marker, descriptions that belong to their transactions, fee splits between
existing cases)."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("UPFOLD_SOURCE_DIR",
                        os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BINARY = os.environ.get("UPFOLD_BINARY_DIR", os.path.join(SOURCE, "build"))
INSTALL = os.path.join(SOURCE, "demo", "install")
DATA = os.path.join(SOURCE, "demo", "data")

# Files the program needs, under drive C, with their record lengths.
DATA_FILES = [
    ("MFW/DATA/YCase.lf", 439), ("MFW/DATA/YEmpl.lf", 74), ("MFW/DATA/YEmrt.lf", 24),
    ("MFW/DATA/YTable.lf", 144), ("MFW/DATA/YGrate.lf", 24), ("MFW/DATA/FSplit.lf", 40),
    ("MFW/DATA/TSC.lc", 2404), ("MFW/DATA/Sysop.lc", 504), ("MFW/DATA/BPhases.lf", 33),
    ("MFW/DATA/Fee.lf", 80), ("MFW/DATA/HFee.lf", 80), ("MFW/DATA/Print01.LC", 97),
    ("MFW/Print.clo", 97),
    ("REMOTE/TRIN12.RME", 127), ("REMOTE/DESC12.RME", 91),
    ("REMOTE/TRIN23.RME", 127), ("REMOTE/DESC23.RME", 91),
    ("REMOTE/TRIN34.RME", 127), ("REMOTE/DESC34.RME", 91),
    ("REMOTE/CHECKS/TRIN45.RME", 127), ("REMOTE/CHECKS/DESC45.RME", 91),
    ("REMOTE/CHECKS/TRIN56.RME", 127), ("REMOTE/CHECKS/DESC56.RME", 91),
    ("REMOTE/CHECKS/TRIN67.RME", 127),
]
TEMPLATES = [("MFW/Trin.clo", 127), ("MFW/Desc.clo", 91), ("MFW/RemTrin.clo", 127),
             ("MFW/Remdesc.clo", 91)]
BATCHES = ["REMOTE/TRIN12.RME", "REMOTE/TRIN23.RME", "REMOTE/TRIN34.RME"]


def find_mfrec():
    for root, dirs, files in os.walk(BINARY):
        dirs.sort()
        if "mfrec" in files and os.access(os.path.join(root, "mfrec"), os.X_OK):
            return os.path.join(root, "mfrec")
    return None


MFREC = find_mfrec()


def run(args, **kwargs):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          **kwargs)


def install(target):
    return run([sys.executable, INSTALL, "--build", BINARY, target])


def source_lines(rel):
    with open(os.path.join(DATA, rel + ".jsonl"), encoding="utf-8") as f:
        return sum(1 for line in f if line.strip())


def stat(path):
    """Record length and record count as mfrec stat reports them."""
    out = run([MFREC, "stat", path])
    if out.returncode != 0:
        raise AssertionError("mfrec stat " + path + ": " + out.stderr)
    length = re.search(r"record length\D*(\d+)", out.stdout, re.I)
    count = re.search(r"records?(?: count)?\D*(\d+)", out.stdout[length.end():], re.I)
    return int(length.group(1)), int(count.group(1))


def dump(path, layout, key=None):
    args = [MFREC, "dump", path, layout] + (["--key", str(key)] if key is not None else [])
    out = run(args)
    if out.returncode != 0:
        raise AssertionError("mfrec dump " + path + ": " + out.stderr)
    return [json.loads(line) for line in out.stdout.splitlines() if line.strip()]


class DemoInstallTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if MFREC is None:
            raise AssertionError("mfrec is not built under " + BINARY)
        cls.tmp = tempfile.mkdtemp(prefix="demo-install-")
        cls.target = os.path.join(cls.tmp, "demo")
        result = install(cls.target)
        if result.returncode != 0:
            shutil.rmtree(cls.tmp, ignore_errors=True)  # tearDownClass does not run then
            raise AssertionError("demo/install failed:\n" + result.stderr)
        cls.drive_c = os.path.join(cls.target, "C")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def c(self, rel):
        return os.path.join(self.drive_c, *rel.split("/"))

    def test_every_file_has_its_record_length_and_records(self):
        expected = [(rel, length, source_lines(rel)) for rel, length in DATA_FILES]
        expected += [(rel, length, 0) for rel, length in TEMPLATES]
        for rel, length, count in expected:
            with self.subTest(file=rel):
                self.assertEqual(stat(self.c(rel)), (length, count))

    def test_every_data_file_of_the_source_is_installed(self):
        listed = {rel for rel, _ in DATA_FILES}
        for root, _, files in os.walk(DATA):
            for name in files:
                rel = os.path.relpath(os.path.join(root, name), DATA).replace(os.sep, "/")
                if rel.endswith(".jsonl"):
                    self.assertIn(rel[:-len(".jsonl")], listed)
                else:
                    self.assertTrue(os.path.isfile(self.c(rel)), rel)

    def test_programs_and_stand_ins_are_in_the_program_folder(self):
        for name in ("mfrec", "Brask.exe", "KVX"):
            with self.subTest(program=name):
                self.assertTrue(os.access(self.c("MFW/" + name), os.X_OK))
        self.assertTrue(os.path.isfile(self.c("MFW/PDFREPXP.DLL")))
        for folder in ("MFW/PRINT", "MFW/PDF", "TRANSFER"):
            self.assertTrue(os.path.isdir(self.c(folder)), folder)

    def test_registry_maps_drive_c_and_names_the_folders(self):
        with open(os.path.join(self.target, "registry.reg"), encoding="utf-8") as f:
            text = f.read()
        self.assertTrue(text.startswith("Windows Registry Editor Version 5.00\n"))
        values = dict(re.findall(r'^"([^"]+)"="((?:[^"\\]|\\.)*)"$', text, re.M))
        unescaped = {k: v.replace("\\\\", "\\") for k, v in values.items()}
        self.assertEqual(unescaped["C:"], self.drive_c)
        self.assertEqual(unescaped["WSID"], "01")
        self.assertEqual(unescaped["H_0"], "C:\\MFW\\DATA")
        self.assertEqual(unescaped["PhysicalName"], "C:\\MFW\\DATA")
        self.assertEqual(unescaped["DefaultRemotePath"], "C:\\REMOTE")

    def test_text_lists_have_crlf_lines_and_known_employees(self):
        employees = {r["Employee Code"].strip()
                     for r in dump(self.c("MFW/DATA/YEmpl.lf"), "EMP")}
        with open(self.c("MFW/DATA/Remids"), "rb") as f:
            remids = f.read()
        self.assertTrue(remids.endswith(b"\r\n"))
        for line in remids.decode("ascii").split("\r\n")[:-1]:
            self.assertEqual(len(line), 6, repr(line))
            code = line[2:].strip()
            self.assertTrue(code == "" or code in employees, line)
        with open(self.c("MFW/DATA/RmConIds"), "rb") as f:
            self.assertEqual(f.read(), b"12\r\n23\r\n")

    def test_case_suffixes_are_right_justified(self):
        # The import looks cases up with the suffix formatted "%7s"; a left-justified one is
        # never found.
        fields = [("MFW/DATA/YCase.lf", "YCase", ["Case Suffix"]),
                  ("MFW/DATA/FSplit.lf", "FeeSplit", ["DummyCase", "ReceptorCase"]),
                  ("MFW/DATA/BPhases.lf", "BPhases", ["CaseSuffix"]),
                  ("MFW/DATA/Fee.lf", "Fees", ["CaseSuffix"]),
                  ("MFW/DATA/HFee.lf", "Fees", ["CaseSuffix"])]
        fields += [(rel, "RemBatch", ["CaseSuffix"]) for rel in BATCHES]
        for rel, layout, names in fields:
            for record in dump(self.c(rel), layout):
                for name in names:
                    value = record[name]
                    with self.subTest(file=rel, value=value):
                        self.assertEqual(value, value.strip().rjust(7))
        for case in dump(self.c("MFW/DATA/YCase.lf"), "YCase"):
            self.assertEqual(case["Case Suffix"].strip(), case["LeftJustCaseSuffix"].strip())

    def test_fee_splits_join_dummy_cases_to_existing_receptors(self):
        cases = {(r["Client Code"], r["Case Suffix"]): r
                 for r in dump(self.c("MFW/DATA/YCase.lf"), "YCase")}
        splits = dump(self.c("MFW/DATA/FSplit.lf"), "FeeSplit")
        dummies = {(s["DummyClient"], s["DummyCase"]) for s in splits}
        self.assertEqual(len(dummies), 2)
        for s in splits:
            self.assertEqual(cases[(s["DummyClient"], s["DummyCase"])]["Case Status 2"], "D")
            self.assertIn((s["ReceptorClient"], s["ReceptorCase"]), cases)
        for dummy in dummies:
            shares = [s for s in splits if (s["DummyClient"], s["DummyCase"]) == dummy]
            self.assertAlmostEqual(sum(s["FeePerCent"] for s in shares), 100)
            self.assertAlmostEqual(sum(s["CostPerCent"] for s in shares), 100)

    def test_remote_batches_carry_the_marker_first_in_reading_order(self):
        marked = BATCHES + ["REMOTE/CHECKS/TRIN67.RME"]
        for rel in marked:
            with self.subTest(batch=rel):
                first = dump(self.c(rel), "RemBatch", key=1)[0]
                self.assertTrue(first["Unassigned2"].startswith("+++"))
        first = dump(self.c("REMOTE/CHECKS/TRIN45.RME"), "RemBatch", key=1)[0]
        self.assertFalse(first["Unassigned2"].startswith("+++"))

    def test_descriptions_belong_to_their_transactions_in_suffix_order(self):
        suffixes = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
        for rel in BATCHES:
            with self.subTest(batch=rel):
                records = dump(self.c(rel), "RemBatch")
                sequences = [r["SequenceNumber"] for r in records]
                self.assertEqual(len(set(sequences)), len(sequences))
                self.assertTrue(all(len(s) == 8 and s == s.strip().rjust(8) for s in sequences))
                lines = dump(self.c(rel.replace("TRIN", "DESC")), "RemBatchD", key=1)
                by_sequence = {}
                for line in lines:
                    self.assertIn(line["SequenceNumber"], sequences)
                    by_sequence.setdefault(line["SequenceNumber"], []).append(
                        line["SequenceSuffix"])
                for seq, got in by_sequence.items():
                    self.assertEqual("".join(got), suffixes[:len(got)], seq)
                self.assertEqual(set(by_sequence), set(sequences))

    def test_print_settings_hold_report_and_printer_records(self):
        for rel in ("MFW/DATA/Print01.LC", "MFW/Print.clo"):
            with self.subTest(file=rel):
                reports = {r["ReportNum"]: r for r in dump(self.c(rel), "Print", key=1)}
                self.assertEqual(set(reports), {"38", "41", "44", "53", "56", "59"})
                for report in ("38", "41", "44"):
                    self.assertEqual(reports[report]["PageLen"].strip(), "66")
                    printer = reports[str(int(report) + 15)]["DirPath"].strip()
                    self.assertNotEqual(printer, "")


class DemoReinstallTest(unittest.TestCase):
    def setUp(self):
        if MFREC is None:
            self.fail("mfrec is not built under " + BINARY)
        self.tmp = tempfile.mkdtemp(prefix="demo-reinstall-")
        self.addCleanup(shutil.rmtree, self.tmp, True)

    def test_second_install_starts_afresh(self):
        target = os.path.join(self.tmp, "demo")
        self.assertEqual(install(target).returncode, 0)
        remote = os.path.join(target, "C", "REMOTE")
        # As after an import: the batch renamed, a reject file and a host batch made.
        os.rename(os.path.join(remote, "TRIN12.RME"), os.path.join(remote, "TRIN12.001"))
        open(os.path.join(target, "C", "MFW", "DATA", "TRIN12.R01"), "w").close()
        result = install(target)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertFalse(os.path.exists(os.path.join(remote, "TRIN12.001")))
        self.assertFalse(os.path.exists(os.path.join(target, "C", "MFW", "DATA", "TRIN12.R01")))
        ycase = os.path.join(target, "C", "MFW", "DATA", "YCase.lf")
        self.assertEqual(stat(ycase)[1], source_lines("MFW/DATA/YCase.lf"))
        self.assertEqual(stat(os.path.join(remote, "TRIN12.RME"))[1],
                         source_lines("REMOTE/TRIN12.RME"))

    def test_refuses_a_folder_that_is_not_an_installation(self):
        for entries in (["notes.txt"], ["registry.reg", "notes.txt"], ["C/Documents/x"]):
            with self.subTest(entries=entries):
                target = tempfile.mkdtemp(dir=self.tmp)
                for entry in entries:
                    path = os.path.join(target, *entry.split("/"))
                    os.makedirs(os.path.dirname(path), exist_ok=True)
                    with open(path, "w") as f:
                        f.write("keep me")
                result = install(target)
                self.assertEqual(result.returncode, 1)
                self.assertIn("does not hold a demo installation", result.stderr)
                for entry in entries:
                    self.assertTrue(os.path.exists(os.path.join(target, *entry.split("/"))))

    def test_without_mfrec_it_says_so_and_leaves_the_target_alone(self):
        target = os.path.join(self.tmp, "demo")
        empty_build = os.path.join(self.tmp, "build")
        os.makedirs(empty_build)
        result = run([sys.executable, INSTALL, "--build", empty_build, target])
        self.assertEqual(result.returncode, 1)
        self.assertIn("mfrec was not found", result.stderr)
        self.assertFalse(os.path.exists(target))


if __name__ == "__main__":
    unittest.main(verbosity=2)
