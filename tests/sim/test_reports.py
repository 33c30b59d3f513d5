"""Ownership-sheet reports: generated, listed while they advance, fetched as PDF, deleted."""

import base64
import hashlib
import re
import shutil
import subprocess
import tempfile
import unittest

from simharness import SimTestCase

DATE_TIME = r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$"


def pdf_structure_problems(data):
    """What a PDF reader would trip over: header, trailer, and every xref offset."""
    problems = []
    if not data.startswith(b"%PDF-1.") or not data.rstrip().endswith(b"%%EOF"):
        problems.append("header or end marker")
    start = int(re.search(rb"startxref\s+(\d+)\s+%%EOF\s*$", data).group(1))
    if not data[start:].startswith(b"xref"):
        problems.append("startxref does not point at the xref table")
    table = re.match(rb"xref\s+0 (\d+)\s+((?:\d{10} \d{5} [fn] ?\s+)+)", data[start:])
    for number, entry in enumerate(table.group(2).split(b"\n")[1:int(table.group(1))], 1):
        offset = int(entry.split()[0])
        if not data[offset:].startswith(b"%d 0 obj" % number):
            problems.append("object %d is not at %d" % (number, offset))
    return problems


class ReportTest(SimTestCase, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.id_rizeni = cls.sim.new_proceeding()

    def report(self, answer, id_sestavy):
        for e in answer.findall("t:reportList/t:report"):
            if e.findtext("{*}id") == id_sestavy:
                return {child.tag.split("}")[1]: child.text for child in e}
        return None

    def generate(self):
        answer = self.sim.ok("generujLVProParcelyPM", idRizeniPM=self.id_rizeni)
        self.assertEqual(len(answer.findall("t:reportList/t:report")), 1)
        return answer.value("t:reportList/t:report/t:id"), answer

    def test_report_is_made_as_it_is_listed_then_fetched_as_pdf(self):
        id_sestavy, answer = self.generate()
        ordered = self.report(answer, id_sestavy)
        self.assertEqual(ordered["stav"], "čeká")
        self.assertEqual(ordered["format"], "pdf")
        self.assertRegex(ordered["datumPozadavku"], DATE_TIME)
        self.assertNotIn("datumSpusteni", ordered)
        self.assertIn("PM-", ordered["nazev"])

        early = self.sim.call("vratSestavu", idSestavy=id_sestavy)
        self.assertEqual(early.messages[0][:2], ("51", "CHYBA"))

        listed = [self.report(self.sim.ok("seznamSestav"), id_sestavy) for _ in range(4)]
        self.assertEqual([r["stav"] for r in listed],
                         ["čeká", "vytváří se", "zpracován", "zpracován"])
        self.assertNotIn("datumSpusteni", listed[0])
        self.assertRegex(listed[1]["datumSpusteni"], DATE_TIME)
        self.assertNotIn("datumVytvoreni", listed[1])
        self.assertRegex(listed[2]["datumVytvoreni"], DATE_TIME)
        self.assertEqual(listed[2]["pocetStran"], "2")
        self.assertNotIn("souborSestavy", listed[2])

        fetched = self.sim.ok("vratSestavu", idSestavy=id_sestavy)
        report = self.report(fetched, id_sestavy)
        data = base64.b64decode(report["souborSestavy"])
        self.assertEqual(pdf_structure_problems(data), [])
        record = next(r for r in self.sim.state()["reports"] if r["id"] == id_sestavy)
        self.assertEqual(record["sha256"], hashlib.sha256(data).hexdigest())
        self.assertEqual(record["parcely"], ["2543187101", "2543188101"])
        if shutil.which("pdfinfo"):
            with tempfile.NamedTemporaryFile(suffix=".pdf") as f:
                f.write(data)
                f.flush()
                info = subprocess.run(["pdfinfo", f.name], capture_output=True, text=True)
                text = subprocess.run(["pdftotext", f.name, "-"], capture_output=True, text=True)
            self.assertEqual(info.returncode, 0, info.stderr)
            self.assertRegex(info.stdout, r"Pages:\s+2\n")
            self.assertIn("parcela: 2543188101", text.stdout)

    def test_deleted_report_is_gone(self):
        id_sestavy, _ = self.generate()
        deleted = self.sim.ok("smazSestavu", idSestavy=id_sestavy)
        self.assertIsNone(deleted.find("t:reportList"))
        self.assertIsNone(self.report(self.sim.ok("seznamSestav"), id_sestavy))
        self.assertIn(id_sestavy, self.sim.state()["deletedReports"])
        for operation in ("smazSestavu", "vratSestavu"):
            with self.subTest(operation):
                answer = self.sim.call(operation, idSestavy=id_sestavy)
                self.assertEqual(answer.messages,
                                 [("50", "CHYBA", "Sestava %s neexistuje." % id_sestavy)])

    def test_reports_are_numbered_in_sequence(self):
        first, _ = self.generate()
        second, _ = self.generate()
        self.assertEqual(int(second), int(first) + 1)


if __name__ == "__main__":
    unittest.main()
