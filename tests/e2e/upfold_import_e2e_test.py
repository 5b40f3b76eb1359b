#!/usr/bin/env python3
"""End-to-end tests of upfold-import on the demo office: the program as installed in C:\\MFW,
its registry, its data files read back with mfrec.

    upfold_import_e2e_test.py [unittest arguments, e.g. FlowTest or KillTest]

Each test works on its own copy of one demo installation made at the start."""
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

SOURCE = os.environ.get("UPFOLD_SOURCE_DIR",
                        os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BINARY = os.environ.get("UPFOLD_BINARY_DIR", os.path.join(SOURCE, "build"))
DATE = "461211"  # 11 December 2026, after every demo transaction
REPORT = "MFW/PRINT/IR121126.TXT"  # the saved settings' "*TXT" for report 44 on that date


def find_program(name):
    for root, dirs, files in os.walk(BINARY):
        dirs.sort()
        if name in files and os.access(os.path.join(root, name), os.X_OK):
            return os.path.join(root, name)
    return None


MFREC = find_program("mfrec")
PRISTINE = None  # the demo installation every test copies
TMP = None


def setUpModule():
    global PRISTINE, TMP
    for name in ("mfrec", "upfold-import"):
        if find_program(name) is None:
            raise AssertionError(name + " is not built under " + BINARY)
    TMP = tempfile.mkdtemp(prefix="upfold-import-e2e-")
    PRISTINE = os.path.join(TMP, "pristine")
    out = subprocess.run([sys.executable, os.path.join(SOURCE, "demo", "install"), "--build",
                          BINARY, PRISTINE], capture_output=True, text=True)
    if out.returncode != 0:
        shutil.rmtree(TMP, ignore_errors=True)
        raise AssertionError("demo/install failed:\n" + out.stderr)


def tearDownModule():
    shutil.rmtree(TMP, ignore_errors=True)


class Office:
    """A copy of the demo installation, its program and its files."""

    def __init__(self, name, source=None):
        """A copy of `source` (the demo installation, or another office's root)."""
        source = source or PRISTINE
        self.root = os.path.join(TMP, name)
        shutil.rmtree(self.root, ignore_errors=True)
        shutil.copytree(source, self.root, symlinks=True,
                        ignore=shutil.ignore_patterns("registry.reg.lock"))
        self.registry = os.path.join(self.root, "registry.reg")
        with open(self.registry, encoding="utf-8") as f:
            text = f.read()
        with open(self.registry, "w", encoding="utf-8") as f:
            f.write(text.replace(os.path.join(source, "C"), os.path.join(self.root, "C")))
        self.program = self.c("MFW/upfold-import")

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def c(self, rel):
        return os.path.join(self.root, "C", *rel.split("/"))

    def env(self):
        env = dict(os.environ, MARROWFIELD_REGISTRY=self.registry, QT_QPA_PLATFORM="offscreen")
        env.pop("DISPLAY", None)  # no desktop: no conflicting program can be running
        return env

    def args(self, *args, date=DATE):
        return [self.program, "--date", date] + list(args)

    def run(self, *args, **kwargs):
        return subprocess.run(self.args(*args, **kwargs), capture_output=True, text=True,
                              env=self.env(), timeout=120)

    def spawn(self, *args):
        """Starts the program with its output captured; finish() waits for it."""
        return subprocess.Popen(self.args(*args), stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True, env=self.env())

    def start(self, *args):
        return subprocess.Popen(self.args(*args), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, env=self.env())

    def mfrec(self, *args):
        out = subprocess.run([MFREC] + list(args), capture_output=True, text=True, timeout=60)
        if out.returncode != 0:
            raise AssertionError("mfrec " + " ".join(args) + ": " + out.stderr)
        return out.stdout

    def dump(self, rel, layout):
        return [json.loads(line) for line in self.mfrec("dump", self.c(rel), layout).splitlines()
                if line.strip()]

    def count(self, rel):
        stat = self.mfrec("stat", self.c(rel))
        return int(re.search(r"records?(?: count)?\D*(\d+)", stat.split("ength", 1)[1],
                             re.I).group(1))

    def load(self, rel, layout, records):
        self.mfrec("create", self.c(rel), layout)
        lines = "".join(json.dumps(r) + "\n" for r in records)
        out = subprocess.run([MFREC, "load", self.c(rel), layout], input=lines,
                             capture_output=True, text=True, timeout=60)
        if out.returncode != 0:
            raise AssertionError("mfrec load: " + out.stderr)

    def registry_values(self):
        with open(self.registry, encoding="utf-8") as f:
            pairs = re.findall(r'^"([^"]+)"="((?:[^"\\]|\\.)*)"$', f.read(), re.M)
        return {k: v.replace("\\\\", "\\") for k, v in pairs}

    def exists(self, rel):
        """Whether the file is there, its name matched without regard to case."""
        folder, name = os.path.split(self.c(rel))
        return os.path.isdir(folder) and name.upper() in (n.upper() for n in os.listdir(folder))


def finish(proc):
    stdout, stderr = proc.communicate(timeout=120)
    return subprocess.CompletedProcess(proc.args, proc.returncode, stdout, stderr)


def run_all(runs):
    """Runs (office, args) pairs side by side, as the program waits much of its time."""
    procs = [office.spawn(*args) for office, args in runs]
    return [finish(proc) for proc in procs]


def tsv(stdout):
    """The results grid and each warning grid: {title: rows}, the grid under "results"."""
    sections, title = {}, "results"
    for block in stdout.split("\n\n"):
        lines = [line for line in block.splitlines() if line]
        if not lines:
            continue
        if "\t" not in lines[0]:
            title, lines = lines[0], lines[1:]
        sections[title] = [line.split("\t") for line in lines]
        title = None
    return sections


RESULT_HEADINGS = ["Remote file name", "Total recs", "# Rejects", "Reject file", "Renamed file"]


class OfficeTest(unittest.TestCase):
    def setUp(self):
        self.office = Office(self.id().rsplit(".", 1)[-1])
        self.addCleanup(self.office.remove)

    def assertExit(self, out, status):
        self.assertEqual(out.returncode, status, "stdout:\n" + out.stdout + "\nstderr:\n" +
                         out.stderr)


class FlowTest(OfficeTest):
    def test_clean_import_posts_renames_and_records_its_progress(self):
        o = self.office
        out = o.run("--yes", o.c("REMOTE/CHECKS/TRIN67.RME"))  # host path; Yes: no descriptions
        self.assertExit(out, 0)
        self.assertIn("[question] The description file (C:\\REMOTE\\CHECKS\\DESC67.RME for the "
                      "remote batch is missing.\nIf you continue", out.stderr)
        self.assertNotIn("[error]", out.stderr)
        self.assertEqual(tsv(out.stdout), {"results": [
            RESULT_HEADINGS,
            ["C:\\REMOTE\\CHECKS\\TRIN67.RME", "1", "0", "No Reject File",
             "C:\\REMOTE\\CHECKS\\TRIN67.001"]]})
        posted = o.dump("MFW/DATA/Trin01.s", "Batch")
        self.assertEqual([(r["Client"].strip(), r["Trtype"], r["AUnits"]) for r in posted],
                         [("LARCH", "F", 2.0)])
        self.assertFalse(o.exists("REMOTE/CHECKS/TRIN67.RME"))
        self.assertTrue(o.exists("REMOTE/CHECKS/DESC67.001"))
        values = o.registry_values()
        self.assertEqual((values["UpfoldNumInFile"], values["UpfoldNumProcessed"],
                          values["UpfoldNumReject"], values["UpfoldDate"]), ("1", "1", "0", DATE))

    def test_rejects_budget_warnings_and_the_reject_report(self):
        o = self.office
        out = o.run("C:\\REMOTE\\TRIN12.RME", "C:\\REMOTE\\TRIN23.RME", "C:\\REMOTE\\TRIN34.RME")
        self.assertExit(out, 0)
        grids = tsv(out.stdout)
        self.assertEqual(grids["results"], [RESULT_HEADINGS] + [
            ["C:\\REMOTE\\TRIN%s.RME" % ws, recs, rejects, "C:\\MFW\\DATA\\TRIN%s.R01" % ws,
             "C:\\REMOTE\\TRIN%s.001" % ws]
            for ws, recs, rejects in (("12", "18", "2"), ("23", "14", "2"), ("34", "24", "15"))])
        self.assertEqual(grids["Fee Budget Phase Warnings"], [
            ["Client", "Case", "Group", "Budget", "Current"],
            ["HARWOOD", "      1", "CT", "10 hrs", "9.00 hrs"],
            ["KESTREL", "      1", "RS", "$5000", "$4620.00"],
            ["ORCHARD", "      1", "CF", "$2000", "$1805.00"],
            ["ORCHARD", "      1", "DR", "20 hrs", "18.00 hrs"]])
        self.assertEqual(grids["Case Budget Warnings"], [
            ["Client", "Case", "Budget", "Current"],
            ["HARWOOD", "      2", "$12000.00", "$10861.25"],
            ["QUINCEY", "      2", "$3000.00", "$2705.00"]])
        for ws, rejects in (("12", 2), ("23", 2), ("34", 15)):
            self.assertEqual(o.count("MFW/DATA/TRIN%s.R01" % ws), rejects)
        with open(o.c(REPORT), encoding="cp1252") as f:
            report = f.read()
        self.assertEqual(sorted(set(re.findall(r"Original file name: (\S+)", report))),
                         ["C:\\REMOTE\\TRIN%s.RME" % ws for ws in ("12", "23", "34")])
        self.assertEqual(report.count("*Reject reason:"), 19)
        self.assertIn("Bad date, Bad type code, Bad case", report)
        self.assertIn("Case frozen", report)
        self.assertNotIn("[error]", out.stderr)

    def test_reject_report_destinations_of_the_command_line(self):
        # options, exit status, where the two rejects of TRIN23 are printed (None: refused)
        cases = [
            (["--report-file", "C:\\TRANSFER\\REJECTS.TXT"], 0, "TRANSFER/REJECTS.TXT"),
            (["--printer", "Upfold PDF Printer"], 0, "MFW/PDF"),
            (["--printer", "No Such Printer"], 1, None),
            (["--report-file", "C:\\TRANSFER\\rejects-of-the-night.txt"], 1, None),
            (["--report-file", "C:\\MFW\\DATA\\REJECTS.TXT"], 1, None),  # a data folder
        ]
        offices = [Office("destination-%d" % n) for n in range(len(cases))]
        for o in offices:
            self.addCleanup(o.remove)
        outs = run_all([(o, args + ["C:\\REMOTE\\TRIN23.RME"])
                        for o, (args, _, _) in zip(offices, cases)])
        for o, out, (args, status, printed) in zip(offices, outs, cases):
            with self.subTest(args=args):
                self.assertExit(out, status)
                self.assertFalse(o.exists(REPORT))
                self.assertEqual(o.exists("REMOTE/TRIN23.RME"), printed is None)
                if printed is None:
                    self.assertRegex(out.stderr, r"\[(error|information)\] ")
                    continue
                path = o.c(printed)
                if os.path.isdir(path):
                    pdfs = [f for f in os.listdir(path) if f.lower().endswith(".pdf")]
                    self.assertEqual(len(pdfs), 1, pdfs)
                    text = subprocess.run(["pdftotext", "-layout", os.path.join(path, pdfs[0]),
                                           "-"], capture_output=True, text=True).stdout
                else:
                    with open(path, encoding="cp1252") as f:
                        text = f.read()
                self.assertEqual(text.count("*Reject reason:"), 2)

    def test_an_existing_report_file_is_appended_to(self):
        o = self.office
        with open(o.c("TRANSFER/REJECTS.TXT"), "w", encoding="ascii") as f:
            f.write("an earlier report\n")
        out = o.run("--report-file", o.c("TRANSFER/REJECTS.TXT"), "C:\\REMOTE\\TRIN23.RME")
        self.assertExit(out, 0)
        with open(o.c("TRANSFER/REJECTS.TXT"), encoding="cp1252") as f:
            text = f.read()
        self.assertTrue(text.startswith("an earlier report\n"))
        self.assertEqual(text.count("*Reject reason:"), 2)

    def test_refused_batch_stops_with_the_message_and_touches_nothing(self):
        o = self.office
        out = o.run("C:\\REMOTE\\CHECKS\\TRIN45.RME", "C:\\REMOTE\\TRIN12.RME")
        self.assertExit(out, 1)
        self.assertIn("] This batch is not a valid Marrowfield Windows remote batch.\n",
                      out.stderr)
        self.assertEqual(out.stdout, "")
        self.assertFalse(o.exists("MFW/DATA/Trin01.s"))
        self.assertTrue(o.exists("REMOTE/TRIN12.RME"))

    def test_usage_errors_and_help(self):
        o = self.office
        cases = [
            ([], 2, "no remote batch"),
            (["--interrupted", "maybe", "X"], 2, "--interrupted"),
            (["--unmerged"], 2, "needs a value"),
            (["--frobnicate", "X"], 2, "unknown option"),
            (["--yes", "--no", "X"], 2, "exclude"),
            (["--printer", "P", "--report-file", "F", "X"], 2, "exclude"),
            (["/nowhere/TRIN12.RME"], 2, "no drive"),
        ]
        for args, status, text in cases:
            with self.subTest(args=args):
                out = o.run(*args)
                self.assertExit(out, status)
                self.assertIn(text, out.stderr)
                self.assertEqual(out.stdout, "")
        out = subprocess.run([o.program, "--help"], capture_output=True, text=True)
        self.assertExit(out, 0)
        self.assertIn("Usage: upfold-import [options] BATCH...", out.stdout)

    def test_program_folder_and_workstation_from_the_command_line(self):
        o = self.office
        # The built program lies outside drive C:, so only --pgmdir can name the templates.
        o.program = find_program("upfold-import")
        out = o.run("--yes", "--wsid", "02", "C:\\REMOTE\\CHECKS\\TRIN67.RME")
        self.assertExit(out, 1)
        self.assertIn("[plain] Unable to access Import Remote.", out.stderr)
        out = o.run("--yes", "--pgmdir", "C:\\MFW", "--wsid", "02",
                    "C:\\REMOTE\\CHECKS\\TRIN67.RME")
        self.assertExit(out, 0)
        self.assertEqual(o.count("MFW/DATA/Trin02.s"), 1)
        self.assertFalse(o.exists("MFW/DATA/Trin01.s"))
        self.assertEqual(o.registry_values()["HD"], "C:\\MFW")

    def test_bad_working_date_is_refused_like_the_desktop_program(self):
        out = self.office.run("C:\\REMOTE\\TRIN12.RME", date="000101")
        self.assertExit(out, 1)
        self.assertIn("[error] Please run this program from Marrowfield  main menu.", out.stderr)


class UnmergedTest(unittest.TestCase):
    """A second import (TRIN23) meets the host batch that the first one (TRIN12) left unmerged.
    STUDIO9 only has transactions in the first batch, ALDERTN only in the second."""

    @classmethod
    def setUpClass(cls):
        cls.after_first = Office("after-first")
        out = cls.after_first.run("C:\\REMOTE\\TRIN12.RME")
        if out.returncode != 0:
            cls.after_first.remove()
            raise AssertionError("the first import failed:\n" + out.stderr)
        cls.first = cls.after_first.count("MFW/DATA/Trin01.s")

    @classmethod
    def tearDownClass(cls):
        cls.after_first.remove()

    def office(self, name):
        office = Office(name, self.after_first.root)
        self.addCleanup(office.remove)
        return office

    def test_choices(self):
        # options, exit status, the first import's records kept, TRIN23 imported
        cases = [
            ([], 1, True, False),
            (["--unmerged", "exit"], 1, True, False),
            (["--unmerged", "erase", "--no"], 1, True, False),
            (["--unmerged", "append"], 0, True, True),
            (["--unmerged", "erase", "--yes"], 0, False, True),
        ]
        offices = [self.office("unmerged-%d" % n) for n in range(len(cases))]
        outs = run_all([(o, args + ["C:\\REMOTE\\TRIN23.RME"])
                        for o, (args, _, _, _) in zip(offices, cases)])
        for o, out, (args, status, kept, imported) in zip(offices, outs, cases):
            with self.subTest(args=args):
                self.assertEqual(out.returncode, status, out.stderr)
                self.assertIn("[question] Your last batch has not been merged.\n", out.stderr)
                records = o.dump("MFW/DATA/Trin01.s", "Batch")
                clients = {r["Client"].strip() for r in records}
                self.assertEqual("STUDIO9" in clients, kept)
                self.assertEqual("ALDERTN" in clients, imported)
                self.assertEqual(o.exists("REMOTE/TRIN23.RME"), not imported)
                if not imported:
                    self.assertEqual(len(records), self.first)

    def test_merge_hands_the_batch_to_the_posting_program_and_stops(self):
        o = self.office("unmerged-merge")
        out = o.run("--unmerged", "merge", "C:\\REMOTE\\TRIN23.RME")
        self.assertEqual(out.returncode, 1, out.stderr)
        with open(o.c("MFW/Brask.log"), encoding="utf-8") as f:
            self.assertEqual(len(f.read().splitlines()), 1)
        self.assertEqual(o.count("MFW/DATA/Trin01.s"), self.first)
        self.assertTrue(o.exists("REMOTE/TRIN23.RME"))


def generated_batch(count):
    """A remote batch of `count` fees with unique actual hours (1.00, 1.01, ...); every
    seventh names a client that does not exist and is rejected."""
    batch, descs = [], []
    for i in range(count):
        seq = "%8d" % (i + 1)
        client = "NOSUCH" if i % 7 == 3 else ("HARWOOD" if i % 2 else "LARCH")
        batch.append({"ClientCode": client, "CaseSuffix": "      1", "Type": "F",
                      "StringTransDate": "461201", "StringEntryDate": "461201",
                      "GroupingCode": "DR", "EmployeeCode": "DBE", "ActualHours": 1 + i / 100,
                      "BillableEmpCode": "DBE", "BillableHours": 1 + i / 100,
                      "SequenceNumber": seq, "TransactionDate": "2026-12-01",
                      "Unassigned2": "+++"})
        descs.append({"SequenceNumber": seq, "SequenceSuffix": "0",
                      "Description": "Generated transaction %d" % (i + 1)})
    return batch, descs


class KillTest(OfficeTest):
    """SIGKILL in the middle of a run, then the next import continues it."""

    COUNT = 300
    SEEDS = (1, 2, 3, 4)

    def prepare(self, office):
        batch, descs = generated_batch(self.COUNT)
        office.load("REMOTE/TRIN77.RME", "RemBatch", batch)
        office.load("REMOTE/DESC77.RME", "RemBatchD", descs)
        return {round(r["ActualHours"], 2) for r in batch}

    def test_continuing_posts_every_transaction_exactly_once(self):
        for seed in self.SEEDS:
            with self.subTest(seed=seed):
                office = Office("kill-%d" % seed)
                self.addCleanup(office.remove)
                expected = self.prepare(office)
                target = random.Random(seed).randint(5, self.COUNT * 3 // 4)
                proc = office.start("C:\\REMOTE\\TRIN77.RME")
                killed_at = self.kill_after(office, proc, target)
                self.assertIsNotNone(killed_at, "the import ended before it could be killed")

                # Without an answer the interrupted import is neither continued nor dropped.
                held = office.count("MFW/DATA/Trin01.s")
                out = office.run("C:\\REMOTE\\TRIN77.RME")
                self.assertExit(out, 1)
                self.assertIn("[question] The processing of your last remote file was "
                              "interrupted!", out.stderr)
                self.assertIn("[answer] Cancel\n", out.stderr)
                self.assertEqual(office.count("MFW/DATA/Trin01.s"), held)

                out = office.run("--interrupted", "yes", "C:\\REMOTE\\TRIN77.RME")
                self.assertExit(out, 0)
                posted = [round(r["AUnits"], 2) for r in office.dump("MFW/DATA/Trin01.s", "Batch")]
                rejected = [round(r["ActualHours"], 2)
                            for r in office.dump("MFW/DATA/TRIN77.R01", "RemBatch")]
                both = posted + rejected
                self.assertEqual(len(both), len(set(both)), "a transaction was written twice")
                self.assertEqual(set(both), expected)
                self.assertEqual(len(rejected), sum(1 for i in range(self.COUNT) if i % 7 == 3))
                descriptions = office.dump("MFW/DATA/Desc01.s", "TrDesc")
                self.assertEqual(sum(1 for d in descriptions
                                     if d["Description"].startswith("Generated")), len(posted))
                self.assertFalse(office.exists("REMOTE/TRIN77.RME"))
                self.assertTrue(office.exists("REMOTE/TRIN77.001"))
                for folder in ("MFW/DATA", "REMOTE"):
                    for name in sorted(os.listdir(office.c(folder))):
                        path = os.path.join(office.c(folder), name)
                        if os.path.isfile(path) and name.upper() not in ("REMIDS", "RMCONIDS"):
                            office.mfrec("stat", path)  # every data file opens

    @staticmethod
    def kill_after(office, proc, target):
        """Kills the import once the host batch holds `target` records; the records it held
        then, or None when the import ended first."""
        deadline = time.monotonic() + 60
        try:
            while time.monotonic() < deadline:
                if proc.poll() is not None:
                    return None
                try:
                    held = office.count("MFW/DATA/Trin01.s")
                except (AssertionError, AttributeError):
                    held = 0  # not made yet, or busy
                if held >= target:
                    proc.send_signal(signal.SIGKILL)
                    proc.wait()
                    return held
                time.sleep(0.002)
            return None
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()


if __name__ == "__main__":
    unittest.main()
