"""The example host, as one build of it came out, run for one operation cycle against the
simulator: the files of a surveying result, a refusal by the service, input refused before
sending, and a call that fails. Each case compares the whole output and the exit status.

usage: example_cycle.py PLUGIN [RUNNER...] EXAMPLE
"""

import os
import socket
import subprocess
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path[:0] = [os.path.join(ROOT, "tests", "sim"), os.path.join(ROOT, "sim")]
from simharness import PASSWORD, USER, Sim  # noqa: E402
from cadastre_sim import content  # noqa: E402
from cadastre_sim.service import SUCCESS  # noqa: E402

PLUGIN, RUNNER, EXAMPLE = sys.argv[1], sys.argv[2:-1], sys.argv[-1]
AREA, RESULT = "600001", 412


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ExampleHost(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = Sim()

    @classmethod
    def tearDownClass(cls):
        cls.sim.close()

    def run_example(self, url, area, result):
        env = dict(os.environ, VOKR_PASSWORD=PASSWORD, SSL_CERT_FILE=self.sim.cert)
        return subprocess.run(RUNNER + [EXAMPLE, PLUGIN, url, USER, area, result],
                              capture_output=True, text=True, env=env, timeout=60)

    def test_one_cycle(self):
        files = "".join("file %s %s (%d bytes)\n" % (doc_id, name, len(data))
                        for doc_id, name, data in content.zpmz_documents(AREA, RESULT))
        cases = [
            ("files of a result", self.sim.url, AREA, str(RESULT), 0,
             "message %s %s: %s\n" % SUCCESS + files),
            ("refused by the service", self.sim.url, AREA, "0", 1,
             "message 60 CHYBA: Výsledek zeměměřické činnosti 0 v k.ú. %s nebyl nalezen.\n"
             "the service refused\n" % AREA),
            ("not sent", self.sim.url, AREA, "x", 1,
             "message 1001 CHYBA: EConvertError; 'x' is not a valid integer value\n"
             "nothing was sent\n"),
        ]
        for name, url, area, result, status, output in cases:
            with self.subTest(name):
                run = self.run_example(url, area, result)
                self.assertEqual((run.stdout, run.stderr, run.returncode), (output, "", status))

    def test_failed_call(self):
        run = self.run_example("https://127.0.0.1:%d" % closed_port(), AREA, str(RESULT))
        self.assertRegex(run.stdout, r"\Amessage 1000 CHYBA: ETransportError; [^\n]+\n"
                                     r"the call failed\n\Z")
        self.assertEqual((run.stderr, run.returncode), ("", 1))

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
