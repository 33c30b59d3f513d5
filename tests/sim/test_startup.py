"""Starting and stopping: one-line errors instead of tracebacks, nothing left behind."""

import os
import signal
import socket
import subprocess
import sys
import tempfile
import unittest

from simharness import SIM


def run(*options):
    return subprocess.run([sys.executable, SIM, *options], capture_output=True, text=True,
                          timeout=60)


class StartErrorTest(unittest.TestCase):
    def test_each_mistake_is_one_line_and_a_failure_exit(self):
        busy = socket.socket()
        self.addCleanup(busy.close)
        busy.bind(("127.0.0.1", 0))
        busy.listen()
        a_file = tempfile.NamedTemporaryFile()
        self.addCleanup(a_file.close)
        cases = [
            ("port in use", ["--port", str(busy.getsockname()[1])], 1,
             "cannot listen on 127.0.0.1 port %d: Address already in use"
             % busy.getsockname()[1]),
            ("unknown option", ["--prot", "8443"], 2, "unrecognized arguments: --prot 8443"),
            ("port not a number", ["--port", "x"], 2, "argument --port: invalid int value: 'x'"),
            ("files dir missing", ["--files-dir", "/nonexistent/files"], 2,
             "--files-dir /nonexistent/files is not a folder"),
            ("files dir a file", ["--files-dir", a_file.name], 2,
             "--files-dir %s is not a folder" % a_file.name),
            ("certificate missing", ["--cert", "/nonexistent/c.pem", "--key", "/nonexistent/k.pem"],
             1, "cannot use the certificate /nonexistent/c.pem with the key /nonexistent/k.pem"),
            ("state folder missing", ["--state", "/nonexistent/state.json"], 1,
             "/nonexistent/state.json.tmp: No such file or directory"),
        ]
        for name, options, code, message in cases:
            with self.subTest(name):
                result = run(*options)
                self.assertEqual(result.returncode, code)
                self.assertEqual(result.stdout, "")
                lines = result.stderr.splitlines()
                self.assertEqual(len(lines), 1, result.stderr)
                self.assertTrue(lines[0].startswith("cadastre-sim: "), lines[0])
                self.assertIn(message, lines[0])


class StopTest(unittest.TestCase):
    def test_signal_stops_it_and_removes_its_certificate_folder(self):
        for sig in (signal.SIGINT, signal.SIGTERM):
            with self.subTest(signal=sig.name):
                process = subprocess.Popen([sys.executable, SIM, "--port", "0"],
                                           stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                           text=True)
                self.addCleanup(process.wait)
                self.addCleanup(process.kill)
                self.assertTrue(process.stdout.readline().startswith("https://127.0.0.1:"))
                certificate = process.stderr.readline().rsplit(" certificate ", 1)[1].strip()
                folder = os.path.dirname(certificate)
                self.assertTrue(os.path.isfile(certificate))
                process.send_signal(sig)
                self.assertEqual(process.wait(30), 0)
                self.assertFalse(os.path.exists(folder), folder)
                self.assertEqual(process.stderr.read(), "")
                process.stdout.close()
                process.stderr.close()

    def test_a_given_certificate_folder_is_kept(self):
        with tempfile.TemporaryDirectory() as folder:
            process = subprocess.Popen([sys.executable, SIM, "--port", "0", "--cert-dir", folder],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            self.addCleanup(process.wait)
            self.addCleanup(process.kill)
            process.stdout.readline()
            process.terminate()
            self.assertEqual(process.wait(30), 0)
            process.stdout.close()
            self.assertEqual(sorted(os.listdir(folder)), ["cert.pem", "key.pem"])


if __name__ == "__main__":
    unittest.main()
