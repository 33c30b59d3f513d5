"""The workflow where no signing library can be found (the native build has none): every step
but the proposals succeeds, the proposal step reports the signing status, nothing is submitted,
and the reservations are still given back."""

import json
import pathlib
import subprocess
import sys
import tempfile
import unittest

from hostrun import CRASH_MARKS, vokr_host

ROOT = pathlib.Path(__file__).resolve().parents[2]


class WithoutSigner(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="vokr-nosigner-")
        self.addCleanup(self.tmp.cleanup)
        self.dir = pathlib.Path(self.tmp.name)
        self.sim = subprocess.Popen(
            [sys.executable, str(ROOT / "sim" / "cadastre-sim"), "--port", "0", "--cert-dir",
             str(self.dir), "--state", str(self.dir / "state.json")],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(self.sim.wait)
        self.addCleanup(self.sim.terminate)
        self.url = self.sim.stdout.readline().strip()
        self.assertTrue(self.url.startswith("https://127.0.0.1:"), self.url)

    def test_proposal_step_fails_with_the_signing_status_and_reservations_go_back(self):
        key = self.dir / "key.pem"
        key.write_text("")
        r = vokr_host("workflow", "--url", self.url, "--user", "geodet", "--key", str(key),
                      "--out-dir", str(self.dir / "out"), "--tmp-dir", str(self.dir),
                      "--poll-interval", "0.1", timeout=120,
                      SSL_CERT_FILE=str(self.dir / "cert.pem"), VOKR_PASSWORD="heslo")
        for mark in CRASH_MARKS:
            self.assertNotIn(mark, r.stderr)
        self.assertEqual(r.returncode, 1, r.stdout[-3000:])
        out = r.stdout
        self.assertIn("[15/19] Submit a signed ZPG proposal (zalozNavrhZPG)\n"
                      "    [10002 CHYBA] Signature utility error - 10002\n", out)
        for step in range(1, 15):
            self.assertIn("\n[%d/19] " % step, out)
        self.assertNotIn("[16/19]", out)
        self.assertNotIn("[17/19]", out)
        self.assertIn("workflow: 3 of 19 steps did not succeed; the first to fail was step 15,", out)

        state = json.loads((self.dir / "state.json").read_text())
        self.assertEqual(state["proposals"], [])
        self.assertEqual({c["outcome"] for c in state["calls"]}, {"ok"})
        (p,) = state["proceedings"]
        self.assertEqual((p["zpmz"], p["parcely"], p["poddeleni"], p["pbpp"]), ([], [], [], []))
        self.assertEqual(len(p["released"]), 8)


if __name__ == "__main__":
    unittest.main()
