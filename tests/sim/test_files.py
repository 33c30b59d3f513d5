"""ZPMZ files of a surveying result: listed with their sizes, fetched with their content."""

import base64
import email.parser
import email.policy
import hashlib
import os
import shutil
import tempfile
import unittest

from simharness import ACTION_HOST, Sim, SimTestCase, request_text


def listing(sim, cislo):
    answer = sim.ok("najdiSouborZPMZ", cisloVysledku=cislo)
    return [(e.findtext("{*}zpmzDokumentId"), e.findtext("{*}nazevSouboru"),
             int(e.findtext("{*}velikostSouboru")))
            for e in answer.findall("t:souborZPMZList/t:souborZPMZ")]


def fetch(sim, cislo, doc_id):
    answer = sim.ok("vratSouborZPMZ", cisloVysledku=cislo, zpmzDokumentId=doc_id)
    content = answer.find("t:souborZPMZ/t:obsahSouboru")
    return answer, base64.b64decode(content.text or "")


class GeneratedFilesTest(SimTestCase, unittest.TestCase):
    def test_listed_files_come_with_the_size_and_name_they_are_listed_with(self):
        files = listing(self.sim, 501)
        self.assertGreaterEqual(len(files), 3)
        self.assertEqual(len({size for _, _, size in files}), len(files), "sizes all differ")
        self.assertIn("ZPMZ_501_náčrt.pdf", [name for _, name, _ in files])
        for doc_id, name, size in files:
            with self.subTest(name):
                answer, data = fetch(self.sim, 501, doc_id)
                self.assertEqual(len(data), size)
                self.assertEqual(answer.value("t:souborZPMZ/t:nazevSouboru"), name)
                self.assertEqual(answer.value("t:souborZPMZ/t:velikostSouboru"), str(size))
                self.assertEqual(answer.value("t:souborZPMZ/t:zpmzDokumentId"), doc_id)
                if name.endswith(".pdf"):
                    self.assertTrue(data.startswith(b"%PDF-1.4"))
        self.assertIn(0, [size for _, _, size in files], "one file is empty")
        downloads = self.sim.state()["downloads"]
        self.assertEqual([d["zpmzDokumentId"] for d in downloads[-len(files):]],
                         [doc_id for doc_id, _, _ in files])

    def test_content_is_the_same_on_every_run_and_differs_between_results(self):
        other = Sim()
        self.addCleanup(other.close)
        mine, theirs = listing(self.sim, 777), listing(other, 777)
        self.assertEqual(mine, theirs)
        doc_id = mine[2][0]
        self.assertEqual(fetch(self.sim, 777, doc_id)[1], fetch(other, 777, doc_id)[1])
        self.assertNotEqual(fetch(self.sim, 777, mine[1][0])[1],
                            fetch(self.sim, 778, listing(self.sim, 778)[1][0])[1])

    def test_refusals(self):
        doc_id = listing(self.sim, 501)[0][0]
        cases = [
            ("result number zero", "najdiSouborZPMZ", {"cisloVysledku": "0"}, "60"),
            ("document of another result", "vratSouborZPMZ",
             {"cisloVysledku": "502", "zpmzDokumentId": doc_id}, "61"),
            ("result number beyond 32 bits", "najdiSouborZPMZ", {"cisloVysledku": "4294967797"},
             "1"),
        ]
        for name, operation, values, code in cases:
            with self.subTest(name):
                answer = self.sim.call(operation, **values)
                self.assertEqual(answer.messages[0][:2], (code, "CHYBA"))
                self.assertIsNone(answer.find("t:souborZPMZ"))
                self.assertIsNone(answer.find("t:souborZPMZList"))


class FilesFromDirectoryTest(unittest.TestCase):
    """With --files-dir every result carries the files of that directory, streamed."""

    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="sim-files-")
        cls.files = {"a_plan.pdf": b"%PDF-1.4\n" + bytes(range(256)) * 40,
                     "b_měření.zip": os.urandom(3 * 1024 * 1024 + 1)}
        for name, data in cls.files.items():
            with open(os.path.join(cls.dir, name), "wb") as f:
                f.write(data)
        cls.sim = Sim("--files-dir", cls.dir)

    @classmethod
    def tearDownClass(cls):
        cls.sim.close()
        shutil.rmtree(cls.dir)

    def test_directory_files_are_served_byte_for_byte(self):
        files = listing(self.sim, 12)
        self.assertEqual([(name, size) for _, name, size in files],
                         [(n, len(d)) for n, d in sorted(self.files.items())])
        for doc_id, name, _ in files:
            with self.subTest(name):
                data = fetch(self.sim, 12, doc_id)[1]
                self.assertEqual(hashlib.sha256(data).digest(),
                                 hashlib.sha256(self.files[name]).digest())
        self.assertIn("[3145729 bytes as 4194308 characters of base64]", self.sim.log())


class MtomTest(SimTestCase, unittest.TestCase):
    """With --mtom file contents travel as binary parts referenced by xop:Include."""

    options = ("--mtom",)

    def test_file_content_arrives_as_an_attachment_part(self):
        doc_id, name, size = listing(self.sim, 501)[0]
        text = request_text("vratSouborZPMZ", cisloVysledku="501", zpmzDokumentId=doc_id)
        status, raw, headers = self.sim.post(text.encode("utf-8"),
                                             '"%svratSouborZPMZ"' % ACTION_HOST)
        self.assertEqual(status, 200)
        self.assertTrue(headers["Content-Type"].startswith("multipart/related;"))
        package = email.parser.BytesParser(policy=email.policy.default).parsebytes(
            b"Content-Type: " + headers["Content-Type"].encode("ascii") + b"\r\n\r\n" + raw)
        root, part = package.iter_parts()
        self.assertEqual(root["Content-Id"], "<rootpart@cadastre-sim>")
        self.assertIn('type="text/xml"', root["Content-Type"])
        envelope = root.get_payload(decode=True).decode("utf-8")
        self.assertIn("<ns0:nazevSouboru>%s</ns0:nazevSouboru>" % name, envelope)
        self.assertIn('<ns0:obsahSouboru><xop:Include xmlns:xop="http://www.w3.org/2004/08/xop/'
                      'include" href="cid:1@cadastre-sim"/></ns0:obsahSouboru>', envelope)
        self.assertEqual(part["Content-Id"], "<1@cadastre-sim>")
        data = part.get_payload(decode=True)
        self.assertEqual(len(data), size)
        plain = Sim()
        self.addCleanup(plain.close)
        self.assertEqual(data, fetch(plain, 501, doc_id)[1])

    def test_answers_without_file_content_stay_plain(self):
        status, _, headers = self.sim.post(request_text("najdiSouborZPMZ", cisloVysledku="501")
                                           .encode("utf-8"), '"%snajdiSouborZPMZ"' % ACTION_HOST)
        self.assertEqual(status, 200)
        self.assertEqual(headers["Content-Type"], "text/xml; charset=utf-8")


if __name__ == "__main__":
    unittest.main()
