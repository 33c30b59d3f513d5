"""Signed ZPG and ZDP proposals with attachments, the PGP proceedings they make, the PGP list.

Inner documents are signed for real with xmlsec1 and a key made with openssl for the test.
"""

import hashlib
import os
import re
import shutil
import string
import subprocess
import tempfile
import unittest

from simharness import REQUESTS, Sim, SimTestCase, request_text, wrap76

XMLSEC = shutil.which("xmlsec1")


def make_key(directory, name):
    key, cert = (os.path.join(directory, name + ext) for ext in (".key", ".pem"))
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=%s" % name, "-keyout", key, "-out", cert],
                   check=True, capture_output=True)
    return key, cert


def sign(directory, key, cert, document):
    unsigned, signed = os.path.join(directory, "in.xml"), os.path.join(directory, "out.xml")
    with open(unsigned, "wb") as f:
        f.write(document)
    subprocess.run([XMLSEC, "--sign", "--privkey-pem", "%s,%s" % (key, cert), "--output", signed,
                    unsigned], check=True, capture_output=True)
    with open(signed, "rb") as f:
        return f.read()


def inner(name, **values):
    with open(os.path.join(REQUESTS, name), encoding="utf-8") as f:
        return string.Template(f.read()).substitute(values).encode("utf-8")


ATTACHMENT_1 = b"%PDF-1.4\n" + b"geometricky plan\n" * 64
ATTACHMENT_2 = hashlib.sha256(b"zaznam").digest() * 4096


@unittest.skipUnless(XMLSEC, "xmlsec1 is not installed")
class ProposalTest(SimTestCase, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.dir = tempfile.mkdtemp(prefix="sim-sign-")
        cls.key, cls.cert = make_key(cls.dir, "Geodet")

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        shutil.rmtree(cls.dir)

    def zpg_document(self):
        self.id_rizeni = self.sim.new_proceeding()
        self.zpmz = self.sim.reserve_zpmz(self.id_rizeni)
        return sign(self.dir, self.key, self.cert, inner(
            "navrhZPG.inner.xml", idRizeniPM=self.id_rizeni, cisloZPMZ=self.zpmz))

    def submit_zpg(self, document, both_attachments=True):
        text = request_text("zalozNavrhZPG", XMLNavrhu=wrap76(document),
                            priloha1=wrap76(ATTACHMENT_1), priloha2=wrap76(ATTACHMENT_2))
        if not both_attachments:
            text = re.sub(r'\s*<prilohaNavrhu idPrilohy="2">.*?</prilohaNavrhu>', "", text,
                          flags=re.S)
        return self.sim.call("zalozNavrhZPG", text=text)

    def test_zpg_opens_a_pgp_proceeding_with_its_areas_and_zpmz_numbers(self):
        answer = self.submit_zpg(self.zpg_document())
        self.assertEqual(answer.codes, ["0"], answer.text)
        id_pgp = answer.value("t:rizeni/c:idRizeni")
        self.assertEqual(answer.value("t:rizeni/c:rizeniTyp"), "PGP")
        self.assertRegex(answer.value("t:rizeni/c:createDate"), r"T\d\d:\d\d:\d\d\.\d{3}[+-]")

        proposal = self.sim.state()["proposals"][-1]
        self.assertEqual(proposal["podpis"]["verdict"], "valid")
        self.assertTrue(proposal["prijato"])
        self.assertEqual(proposal["hashNavrhu"], "19088743")
        self.assertEqual(proposal["prilohy"], [
            {"idPrilohy": "1", "nazev": "GP_501.pdf", "velikost": len(ATTACHMENT_1),
             "sha256": hashlib.sha256(ATTACHMENT_1).hexdigest()},
            {"idPrilohy": "2", "nazev": "záznam podrobného měření.zip",
             "velikost": len(ATTACHMENT_2), "sha256": hashlib.sha256(ATTACHMENT_2).hexdigest()}])

        listed = self.sim.ok("seznamRizeniPGP").findall("t:rizeniPGPList/t:rizeniPGP")
        ours = next(e for e in listed if e.findtext("{*}idRizeniPGP") == id_pgp)
        areas = ours.findall("{*}katuzeZPMZList/{*}katuzeZPMZ")
        self.assertEqual([(a.findtext("{*}katuzeKod"), a.findtext("{*}katuzeNazev"),
                           [n.text for n in a.findall("{*}cislaZPMZList/{*}cisloZPMZ")])
                          for a in areas], [("600001", "Horní Lhota", [self.zpmz])])
        self.assertEqual(ours.findtext("{*}stavRizeni"), "zahájeno")
        self.assertTrue(ours.findtext("{*}cisloZPG").startswith("ZPG-"))

    def test_zdp_adds_documents_to_the_pgp_proceeding_it_names(self):
        pgp = self.sim.state()["pgp"][0]     # the earlier plan every run starts with
        document = sign(self.dir, self.key, self.cert, inner(
            "navrhZDP.inner.xml", rizeniTyp=pgp["rizeniTyp"], poradoveCislo=pgp["poradoveCislo"],
            rok=pgp["rok"], praresKod=pgp["praresKod"]))
        answer = self.sim.call("zalozNavrhZDP", XMLNavrhu=wrap76(document),
                               priloha1=wrap76(ATTACHMENT_1))
        self.assertEqual(answer.codes, ["0"], answer.text)
        self.assertEqual(answer.value("t:rizeni/c:idRizeni"), pgp["idRizeniPGP"])
        after = self.sim.state()["pgp"][0]
        self.assertEqual(after["podani"][-1]["druh"], "ZDP")
        self.assertEqual(after["podani"][-1]["cisloPodani"],
                         answer.value("t:rizeni/c:cisloPodani"))
        self.assertEqual(after["podani"][-1]["prilohy"][0]["nazev"], "plná moc.pdf")

        unknown = sign(self.dir, self.key, self.cert, inner(
            "navrhZDP.inner.xml", rizeniTyp="PGP", poradoveCislo="999", rok="1999",
            praresKod="601"))
        answer = self.sim.call("zalozNavrhZDP", XMLNavrhu=wrap76(unknown),
                               priloha1=wrap76(ATTACHMENT_1))
        self.assertEqual(answer.messages[0][:2], ("72", "CHYBA"))

    def test_refused_proposals_are_recorded_with_their_reason(self):
        signed = self.zpg_document()
        unsigned = inner("navrhZPG.inner.xml", idRizeniPM=self.id_rizeni, cisloZPMZ=self.zpmz)
        cases = [
            ("changed after signing", signed.replace(b"<typ>PGP</typ>", b"<typ>PGX</typ>"),
             True, "70", "invalid"),
            ("signature left empty", unsigned, True, "70", "invalid"),
            ("attachment missing", signed, False, "71", "valid"),
            ("not XML", b"%PDF-1.4 not a proposal", True, "73", None),
        ]
        pgp_before = len(self.sim.state()["pgp"])
        for name, document, both_attachments, code, verdict in cases:
            with self.subTest(name):
                answer = self.submit_zpg(document, both_attachments)
                self.assertEqual(answer.messages[0][:2], (code, "CHYBA"))
                self.assertIsNone(answer.find("t:rizeni"))
                proposal = self.sim.state()["proposals"][-1]
                self.assertFalse(proposal["prijato"])
                self.assertEqual(proposal["duvod"], answer.messages[0][2])
                self.assertEqual(proposal["podpis"] and proposal["podpis"]["verdict"], verdict)
        self.assertEqual(len(self.sim.state()["pgp"]), pgp_before)

    def test_pgp_list_nests_areas_and_their_zpmz_numbers(self):
        listed = self.sim.ok("seznamRizeniPGP").findall("t:rizeniPGPList/t:rizeniPGP")
        first = listed[0]
        self.assertRegex(first.findtext("{*}datumPrijetiZPG"), r"\.\d{3}[+-]\d\d:\d\d$")
        self.assertEqual([[n.text for n in a.findall("{*}cislaZPMZList/{*}cisloZPMZ")]
                          for a in first.findall("{*}katuzeZPMZList/{*}katuzeZPMZ")],
                         [["412", "413", "420"], ["77"]])


@unittest.skipUnless(XMLSEC, "xmlsec1 is not installed")
class TrustedSignerTest(unittest.TestCase):
    """With --trust-cert only that signer's signatures are valid."""

    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="sim-trust-")
        cls.trusted = make_key(cls.dir, "Trusted")
        cls.stranger = make_key(cls.dir, "Stranger")
        cls.sim = Sim("--trust-cert", cls.trusted[1])

    @classmethod
    def tearDownClass(cls):
        cls.sim.close()
        shutil.rmtree(cls.dir)

    def test_only_the_trusted_signer_is_accepted(self):
        pgp = self.sim.state()["pgp"][0]
        document = inner("navrhZDP.inner.xml", rizeniTyp=pgp["rizeniTyp"],
                         poradoveCislo=pgp["poradoveCislo"], rok=pgp["rok"],
                         praresKod=pgp["praresKod"])
        for signer, code, trusted in ((self.stranger, "70", False), (self.trusted, "0", True)):
            with self.subTest(os.path.basename(signer[1])):
                signed = sign(self.dir, signer[0], signer[1], document)
                answer = self.sim.call("zalozNavrhZDP", XMLNavrhu=wrap76(signed),
                                       priloha1=wrap76(ATTACHMENT_1))
                self.assertEqual(answer.messages[0][0], code)
                self.assertEqual(self.sim.state()["proposals"][-1]["podpis"]["trusted"], trusted)


if __name__ == "__main__":
    unittest.main()
