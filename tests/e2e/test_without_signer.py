"""The workflow where no signing library can be found (the native build has none): every step
but the proposals succeeds, the proposal step reports the signing status, nothing is submitted,
and the reservations are still given back."""

import pathlib
import tempfile
import unittest

from hostrun import CRASH_MARKS, Simulator, make_key, vokr_host


class WithoutSigner(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="vokr-nosigner-")
        self.addCleanup(self.tmp.cleanup)
        self.dir = pathlib.Path(self.tmp.name)
        (self.dir / "sim").mkdir()
        self.sim = Simulator(self.dir / "sim")
        self.addCleanup(self.sim.stop)

    def test_proposal_step_fails_with_the_signing_status_and_reservations_go_back(self):
        key = make_key(self.dir, "tajne")
        r = vokr_host("workflow", "--url", self.sim.url, "--user", "geodet", "--key", str(key),
                      "--out-dir", str(self.dir / "out"), "--tmp-dir", str(self.dir),
                      "--poll-interval", "0.1", "--cacert", str(self.sim.cert), timeout=120,
                      VOKR_PASSWORD="heslo", VOKR_KEY_PASSWORD="tajne")
        for mark in CRASH_MARKS:
            self.assertNotIn(mark, r.stderr)
        # The signing library's failure is no cause of its own: exit status 1.
        self.assertEqual(r.returncode, 1, r.stdout[-3000:])
        out = r.stdout
        self.assertIn("[15/19] Submit a signed ZPG proposal (zalozNavrhZPG)\n    FAILED\n", out)
        self.assertIn("vokr-host: zalozNavrhZPG failed:\n    [10002 CHYBA] Signature utility error - 10002\n",
                      r.stderr)
        for step in range(1, 15):
            self.assertIn("\n[%d/19] " % step, out)
        self.assertNotIn("[16/19]", out)
        self.assertNotIn("[17/19]", out)
        self.assertIn("workflow: 3 of 19 steps did not succeed; the first to fail was step 15,", out)

        state = self.sim.state()
        self.assertEqual(state["proposals"], [])
        self.assertEqual({c["outcome"] for c in state["calls"]}, {"ok"})
        (p,) = state["proceedings"]
        self.assertEqual((p["zpmz"], p["parcely"], p["poddeleni"], p["pbpp"]), ([], [], [], []))
        self.assertEqual(len(p["released"]), 8)


if __name__ == "__main__":
    unittest.main()
