"""The whole surveyor session of scripts/demo: vokr-host drives the plug-in against the
cadastre simulator. What the simulator recorded and the files saved show what happened."""

import hashlib
import json
import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "sim"))
from cadastre_sim import content  # noqa: E402  (the simulator's deterministic file contents)

# The workflow's defaults.
JOB, AREA, RESULT = "GP-2025-017", "600001", 412
PARCELS = ["3079440601", "3079441601"]


def sha256(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


class DemoWorkflow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="vokr-demo-")
        cls.demo = pathlib.Path(cls.tmp.name)
        env = dict(os.environ, VOKR_DEMO_NO_BUILD="1", VOKR_DEMO_DIR=str(cls.demo))
        cls.result = subprocess.run([str(ROOT / "scripts" / "demo")], env=env, capture_output=True,
                                    text=True, timeout=240)
        state = cls.demo / "sim" / "state.json"
        cls.state = json.loads(state.read_text()) if state.exists() else {}
        cls.files = cls.demo / "files"

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def setUp(self):
        self.assertTrue(self.state, self.result.stdout[-4000:] + self.result.stderr)

    def proceeding(self):
        self.assertEqual(len(self.state["proceedings"]), 1)
        return self.state["proceedings"][0]

    def test_demo_reports_success(self):
        out = self.result.stdout
        self.assertEqual(self.result.returncode, 0, out[-4000:] + self.result.stderr)
        self.assertIn("\nworkflow: all 19 steps succeeded\n", out)
        self.assertNotIn("FAILED", out)
        self.assertIn("demo: message dumps          %s/dumps\n" % self.demo, out)
        self.assertIn("demo: saved files            %s/files\n" % self.demo, out)

    def test_every_call_succeeded_in_the_session_order(self):
        calls = self.state["calls"]
        self.assertEqual([c["operation"] for c in calls], [
            "zalozRizeniPM", "seznamRizeniPM", "vlozParcelu", "vytvorRezervaciZPMZ",
            "vytvorRezervaciPrvku", "detailRizeniPM", "exportVF", *["exportVFStatus"] * 3,
            "generujLVProParcelyPM", *["seznamSestav"] * 3, "vratSestavu", "smazSestavu",
            "najdiSouborZPMZ", *["vratSouborZPMZ"] * 4, "zalozNavrhZPG", "zalozNavrhZDP",
            "seznamRizeniPGP", "zrusRezervaciPrvku", "zrusRezervaciZPMZ"])
        self.assertEqual({c["outcome"] for c in calls}, {"ok"})

    def test_proceeding_exists_with_job_area_and_parcels(self):
        p = self.proceeding()
        self.assertEqual((p["cisloZakazky"], p["katuzeKodList"], p["dotceneParcely"], p["mylne"]),
                         (JOB, [AREA], PARCELS, False))
        self.assertIn("proceeding %s, %s" % (p["idRizeni"], p["cisloRizeni"]), self.result.stdout)

    def test_reservations_were_made_and_given_back(self):
        p = self.proceeding()
        self.assertEqual((p["zpmz"], p["parcely"], p["poddeleni"], p["pbpp"]), ([], [], [], []))
        zpmz = {"katuzeKod": AREA, "cisloZPMZ": "501"}
        stems = [dict(zpmz, druhCislovaniPar="1", kmenoveCislo=n) for n in ("1201", "1202")]
        parts = [dict(zpmz, druhCislovaniPar="1", kmenoveCislo="1234", poddeleniCislo=n) for n in "12"]
        points = [{"katuzeKod": AREA, "cisloPBPP": n} for n in "123"]
        self.assertEqual(p["released"], stems + parts + points + [zpmz])
        # While they were held, the detail listed them.
        self.assertIn("    stem numbers under ZPMZ 501 (area 600001, numbering 0): 1201, 1202\n"
                      "    subdivisions of 1234 under ZPMZ 501 (area 600001): 1, 2\n"
                      "    survey points in area 600001: 1, 2, 3\n", self.result.stdout)

    def test_export_was_polled_to_its_end(self):
        (run,) = self.state["exports"]
        self.assertEqual((run["stavBehu"], run["polls"], run["charset"]), ("D", 3, "CP1250"))
        self.assertEqual(run["polygon"]["exterior"][0], run["polygon"]["exterior"][-1])
        self.assertIn("    poll 3: run %s in state D\n    link %s\n    hash %s\n"
                      % (run["behId"], run["linkVF"], run["hashExportu"]), self.result.stdout)

    def test_report_saved_as_sent_then_deleted(self):
        (report_id,) = self.state["deletedReports"]
        self.assertEqual(self.state["reports"], [])
        sent = content.report_pdf({"id": report_id, "cisloRizeni": self.proceeding()["cisloRizeni"],
                                   "parcely": PARCELS, "castecnyVypis": "n"})
        self.assertEqual((self.files / ("sestava-%s.pdf" % report_id)).read_bytes(), sent)

    def test_zpmz_files_saved_as_sent(self):
        documents = content.zpmz_documents(AREA, RESULT)
        self.assertEqual([d["zpmzDokumentId"] for d in self.state["downloads"]],
                         [doc_id for doc_id, _, _ in documents])
        folder = self.files / ("zpmz-%s-%d" % (AREA, RESULT))
        self.assertEqual(sorted(p.name for p in folder.iterdir()), sorted(n for _, n, _ in documents))
        for _, name, data in documents:
            with self.subTest(name=name):
                self.assertEqual((folder / name).read_bytes(), data)

    def test_proposals_were_signed_verified_and_accepted(self):
        attachment = self.files / "geometricky-plan.txt"
        zpg, zdp = self.state["proposals"]
        for proposal, kind in ((zpg, "ZPG"), (zdp, "ZDP")):
            with self.subTest(kind=kind):
                self.assertEqual(proposal["druh"], kind)
                self.assertTrue(proposal["prijato"], proposal["duvod"])
                self.assertEqual(proposal["podpis"], {"verdict": "valid", "trusted": True, "detail": "OK"})
                self.assertEqual(proposal["prilohy"], [{
                    "idPrilohy": "1", "nazev": attachment.name,
                    "velikost": attachment.stat().st_size, "sha256": sha256(attachment)}])
        # Both went to the plan-confirmation proceeding the ZPG opened, with the reserved number.
        pgp = next(g for g in self.state["pgp"] if g["idRizeniPGP"] == zpg["idRizeni"])
        self.assertEqual(zdp["idRizeni"], zpg["idRizeni"])
        self.assertEqual([s["druh"] for s in pgp["podani"]], ["ZPG", "ZDP"])
        self.assertEqual([(a["katuzeKod"], a["cislaZPMZ"]) for a in pgp["katuzeZPMZ"]], [(AREA, ["501"])])
        self.assertIn("    %s  %s  %s  zahájeno" % (pgp["idRizeniPGP"], pgp["cisloRizeni"], pgp["cisloZPG"]),
                      self.result.stdout)

    def test_dumps_were_written_without_the_password(self):
        dumps = list((self.demo / "dumps").iterdir())
        labels = {p.name.split("_")[1] for p in dumps if p.name.startswith("VOKR_")}
        self.assertEqual(labels, {c["operation"] for c in self.state["calls"]}
                         | {"zalozNavrhZ%s - vnitrni xml%s" % (kind, signed)
                            for kind in ("PG", "DP") for signed in ("", " signed")})
        for dump in dumps:
            self.assertNotIn(b"heslo", dump.read_bytes(), dump.name)


if __name__ == "__main__":
    unittest.main()
