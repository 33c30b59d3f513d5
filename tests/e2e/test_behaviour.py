"""What scripts and people rely on in vokr-host, against the cadastre simulator: help for every
command, the exit status by cause, --json, --cacert, Ctrl-C during a large download, and the
checks made before anything is sent."""

import json
import os
import pathlib
import pty
import re
import signal
import subprocess
import tempfile
import time
import unittest

from hostrun import (CRASH_MARKS, HOST, RUN32, Simulator, closed_port, host_environment, make_key, start_host,
                     vokr_host)

PASSWORD = "heslo"


def command_names():
    r = vokr_host("--help")
    section = r.stdout.split("\ncommands:\n", 1)[1].split("\n\n", 1)[0]
    return [line.split()[0] for line in section.splitlines() if line.split()[0] != "help"]


class Help(unittest.TestCase):
    def test_every_command_has_its_own_help(self):
        names = command_names()
        self.assertIn("release-zpmz", names)
        self.assertIn("propose-zdp", names)
        texts = set()
        for name in names:
            for flag in ("--help", "-h"):
                with self.subTest(command=name, flag=flag):
                    r = vokr_host(name, flag)
                    self.assertEqual((r.returncode, r.stderr), (0, ""))
                    self.assertTrue(r.stdout.startswith("usage: vokr-host %s" % name), r.stdout)
                    texts.add(r.stdout)
            self.assertEqual(vokr_host("help", name).stdout, r.stdout)
        self.assertEqual(len(texts), len(names))

    def test_command_help_lists_its_own_options(self):
        r = vokr_host("release-elements", "--help")
        self.assertIn("  --stems N|LIST", r.stdout)
        self.assertIn("  --numbering 0|1", r.stdout)
        self.assertNotIn("--poll-limit", r.stdout)

    def test_global_help_documents_the_exit_status(self):
        r = vokr_host("--help")
        self.assertEqual(r.returncode, 0)
        for code in ("  2    usage", "  3    transport", "  4    authentication", "  5    refused",
                     "  6    local file", "  130  interrupted"):
            self.assertIn(code, r.stdout)

    def test_version_names_vokr_host_and_the_plugin(self):
        r = vokr_host("--version")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertRegex(r.stdout, r"^vokr-host \d+\.\d+\.\d+\.\d+\nplug-in \S+/libvokr\.so \d+\.\d+\.\d+\.\d+\n$")


class WithSimulator(unittest.TestCase):
    sim_options = ()

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="vokr-host-")
        self.addCleanup(self.tmp.cleanup)
        self.dir = pathlib.Path(self.tmp.name)
        (self.dir / "sim").mkdir()
        self.sim = Simulator(self.dir / "sim", *self.sim_options)
        self.addCleanup(self.sim.stop)

    def host(self, *args, password=PASSWORD, cacert=True, **env):
        trust = ("--cacert", str(self.sim.cert)) if cacert else ()
        return vokr_host(*args, *trust, timeout=120, VOKR_URL=self.sim.url, VOKR_USER="geodet",
                         VOKR_PASSWORD=password, **env)

    def assertNoCrash(self, r):
        for mark in CRASH_MARKS:
            self.assertNotIn(mark, r.stderr)

    def open_proceeding(self):
        r = self.host("open", "GP-1", "600001", "3079440601", "--json")
        self.assertEqual(r.returncode, 0, r.stderr)
        return json.loads(r.stdout)["result"]["idRizeni"]


class ExitStatus(WithSimulator):
    def test_exit_status_by_cause(self):
        blocker = self.dir / "a-file"
        blocker.write_text("")
        cases = [
            # (what, arguments, extra, exit status, text on standard error)
            ("usage", ("detail",), {}, 2, "usage: vokr-host detail ID"),
            ("transport: closed port", ("proceedings", "--url", "https://127.0.0.1:%d" % closed_port()), {}, 3,
             "ETransportError"),
            ("TLS: untrusted server", ("proceedings",), {"cacert": False}, 3,
             "hint: trust the service's certificate with --cacert FILE"),
            ("authentication", ("proceedings",), {"password": "spatne"}, 4,
             "The security token could not be authenticated"),
            ("refused", ("detail", "74359999"), {}, 5, "vokr-host: detailRizeniPM refused by the service:\n"
                                                     "    [10 CHYBA] "),
            ("local file", ("download-zpmz", "600001", "412", str(blocker / "zpmz")), {}, 6,
             "cannot make directory %s" % blocker),
        ]
        for what, args, extra, status, text in cases:
            with self.subTest(what):
                r = self.host(*args, **extra)
                self.assertNoCrash(r)
                self.assertEqual(r.returncode, status, r.stderr)
                self.assertIn(text, r.stderr)
                self.assertEqual(r.stdout, "")
        # Refused before a request: only proceedings, detail and the authentication went out.
        operations = [c["operation"] for c in self.sim.state()["calls"]]
        self.assertNotIn("najdiSouborZPMZ", operations)

    def test_a_failed_call_names_the_endpoint_and_a_url_with_it_gets_a_hint(self):
        url = self.sim.url + "/ws/geo/2.9/geo"
        r = self.host("proceedings", "--url", url)
        self.assertEqual(r.returncode, 3)
        self.assertEqual(r.stderr,
                         "vokr-host: seznamRizeniPM failed at %s/ws/geo/2.9/geo:\n"
                         "    [1000 CHYBA] EHttpError; HTTP 404 Not Found\n"
                         "hint: --url is the service's base URL; the plug-in appends /ws/geo/2.9/geo itself\n" % url)

    def test_cacert_is_the_trust_and_the_environment_gives_url_and_user(self):
        r = self.host("proceedings")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout, "    [0 INFORMACE] Požadovaná akce byla úspěšně provedena.\n    no proceedings\n")
        missing = self.host("proceedings", "--cacert", str(self.dir / "none.pem"), cacert=False)
        self.assertEqual((missing.returncode, missing.stderr),
                         (6, "vokr-host: --cacert: cannot read %s\n" % (self.dir / "none.pem")))


class JsonOutput(WithSimulator):
    def json(self, *args, status=0, **extra):
        r = self.host(*args, "--json", **extra)
        self.assertEqual(r.returncode, status, r.stderr)
        doc = json.loads(r.stdout)  # the whole of standard output is one document
        self.assertEqual((doc["exit"], doc["ok"]), (status, status == 0))
        return doc

    def test_results_messages_and_files(self):
        pm = self.open_proceeding()
        zpmz = self.json("reserve-zpmz", pm, "600001")
        self.assertEqual(zpmz["result"], {"katuzeKod": "600001", "cisloZPMZ": "501"})
        self.assertEqual(zpmz["calls"], [{"operation": "vytvorRezervaciZPMZ", "ok": True, "cause": "ok", "messages": [
            {"kod": "0", "uroven": "INFORMACE", "text": "Požadovaná akce byla úspěšně provedena."}]}])
        elements = self.json("reserve-elements", pm, "600001", "501", "--stems", "2", "--points", "1")
        self.assertEqual(elements["result"]["rezervParcely"]["kmenoveCislo"], ["1201", "1202"])
        self.assertIsNone(elements["result"]["rezervPoddeleni"])
        detail = self.json("detail", pm)["result"]
        self.assertEqual((detail["idRizeniPM"], detail["katuzeKodList"], detail["dotceneParcely"]),
                         (pm, ["600001"], ["3079440601"]))
        self.assertEqual(detail["rezervCislaZPMZList"], [{"katuzeKod": "600001", "cisloZPMZ": "501"}])

        out = self.dir / "zpmz" / "deep"
        download = self.json("download-zpmz", "600001", "412", str(out))
        self.assertEqual(len(download["files"]), 4)
        for f in download["files"]:
            self.assertEqual(os.path.getsize(f["path"]), f["size"])
        self.assertEqual(sorted(os.listdir(out)), sorted(os.path.basename(f["path"]) for f in download["files"]))

    def test_a_refusal_is_a_document_too(self):
        doc = self.json("release-zpmz", "74359999", "600001", "501", status=5)
        self.assertEqual(doc["cause"], "refused")
        self.assertEqual([m["kod"] for m in doc["calls"][0]["messages"]], ["10"])
        usage = vokr_host("detail", "--json")
        self.assertEqual(usage.returncode, 2)
        self.assertEqual(json.loads(usage.stdout)["error"],
                         "usage: vokr-host detail ID [OPTIONS]\nTry 'vokr-host detail --help'.")

    def test_every_family_through_its_command(self):
        pm = self.open_proceeding()
        self.json("add-parcel", pm, "3079441601")
        self.json("reserve-zpmz", pm, "600001")
        self.json("reserve-elements", pm, "600001", "501", "--stems", "1", "--stem", "1234", "--subdivisions", "2",
                  "--points", "2")
        self.json("release-elements", pm, "600001", "501", "--stems", "1201", "--stem", "1234",
                  "--subdivisions", "1,2", "--points", "1,2")
        self.json("release-zpmz", pm, "600001", "501")
        run = self.json("export", pm, "-740100 -1040100, -740000 -1040100, -740000 -1040000, -740100 -1040100")
        behId = run["result"]["behId"]
        waited = self.json("export-status", behId, "--wait", "--poll-interval", "0")
        self.assertEqual(waited["result"][0]["stavBehu"], "D")
        reports = self.json("report", pm, "3079440601")["result"]
        report = str(reports[0]["id"])
        for _ in range(2):
            self.json("reports")
        saved = self.dir / "new" / "folder" / "report.pdf"
        fetched = self.json("fetch-report", report, str(saved))
        self.assertEqual(fetched["files"], [{"path": str(saved), "size": saved.stat().st_size}])
        self.json("delete-report", report)
        files = self.json("zpmz-files", "600001", "412")["result"]
        one = self.dir / "one" / files[0]["nazevSouboru"]
        self.json("fetch-zpmz", "600001", "412", files[0]["zpmzDokumentId"], str(one))
        self.assertEqual(str(one.stat().st_size), files[0]["velikostSouboru"])
        self.json("mark-erroneous", pm, "--reason", "omylem")
        self.assertEqual(len(self.json("pgp-proceedings")["result"]), 1)

        state = self.sim.state()
        (p,) = state["proceedings"]
        self.assertTrue(p["mylne"])
        self.assertEqual(len(p["released"]), 6)
        self.assertEqual({c["outcome"] for c in state["calls"]}, {"ok"})


class KeyCheck(WithSimulator):
    def test_a_key_that_does_not_open_stops_the_workflow_before_step_one(self):
        key = make_key(self.dir, "spravne")
        for password, text in (("spatne", "does not open with the given password"), ("", "does not open")):
            with self.subTest(password=password):
                r = self.host("workflow", "--key", str(key), "--out-dir", str(self.dir / "out"),
                              VOKR_KEY_PASSWORD=password)
                self.assertNoCrash(r)
                self.assertEqual(r.returncode, 6, r.stderr)
                self.assertIn("vokr-host: --key: ", r.stderr)
                self.assertIn(text, r.stderr)
                self.assertNotIn("[1/19]", r.stdout)
        (self.dir / "other").mkdir()
        make_key(self.dir / "other", "spravne")
        mixed = self.dir / "mixed.pem"  # the key with a certificate that is not its own
        mixed.write_bytes((self.dir / "key.pem").read_bytes() + (self.dir / "other" / "cert.pem").read_bytes())
        r = self.host("workflow", "--key", str(mixed), VOKR_KEY_PASSWORD="spravne")
        self.assertEqual(r.returncode, 6, r.stderr)
        self.assertIn("does not belong to its key", r.stderr)
        state = self.sim.state()
        self.assertEqual((state["requests"], state["proceedings"]), (0, []))


class LargeDownload(WithSimulator):
    """Ctrl-C and the progress line, during a download that takes seconds."""

    SIZE = 200 * 1024 * 1024

    def setUp(self):
        files = pathlib.Path(tempfile.mkdtemp(prefix="vokr-large-"))
        self.addCleanup(lambda: (os.remove(files / "large.bin"), os.rmdir(files)))
        with open(files / "large.bin", "wb") as f:
            f.truncate(self.SIZE)  # sparse: big on the wire, nothing on disk
        self.sim_options = ("--files-dir", str(files))
        super().setUp()

    def test_ctrl_c_during_a_large_download_leaves_no_partial_file(self):
        target = self.dir / "download"
        target.mkdir()
        host = start_host("download-zpmz", "600001", "412", str(target), "--cacert", str(self.sim.cert),
                          VOKR_URL=self.sim.url, VOKR_USER="geodet", VOKR_PASSWORD=PASSWORD)
        pattern = re.compile(r"^\.vokr-%d-\d+\.tmp$" % host.pid)
        deadline = time.monotonic() + 120
        seen = []
        while not seen and host.poll() is None and time.monotonic() < deadline:
            seen = [n for n in os.listdir(target) if pattern.match(n)]
            time.sleep(0.002)
        self.assertTrue(seen, "no temporary file appeared while saving (exit %s)" % host.poll())
        host.send_signal(signal.SIGINT)
        out, err = host.communicate(timeout=60)
        self.assertEqual(host.returncode, 130, err)
        self.assertIn("vokr-host: interrupted; 1 partial file removed\n", err)
        self.assertEqual(os.listdir(target), [])

    def test_a_long_download_shows_its_elapsed_time_on_a_terminal(self):
        controller, terminal = pty.openpty()
        host = subprocess.Popen(RUN32 + [HOST, "download-zpmz", "600001", "412", str(self.dir / "download"),
                                         "--cacert", str(self.sim.cert)],
                                stdout=subprocess.PIPE, stderr=terminal, stdin=subprocess.DEVNULL,
                                env=host_environment(VOKR_URL=self.sim.url, VOKR_USER="geodet",
                                                     VOKR_PASSWORD=PASSWORD))
        os.close(terminal)
        shown = b""
        while True:
            try:
                chunk = os.read(controller, 4096)
            except OSError:  # the terminal closed with the process
                break
            if not chunk:
                break
            shown += chunk
        os.close(controller)
        out, _ = host.communicate(timeout=60)
        self.assertEqual(host.returncode, 0, shown)
        self.assertIn(b"\r\x1b[K  downloading [1/1] large.bin (%d bytes) ... 1 s" % self.SIZE, shown)
        self.assertTrue(shown.endswith(b"\r\x1b[K"), shown[-200:])  # the line is cleared again
        self.assertIn("[1/1] large.bin ... %d bytes\n" % self.SIZE, out.decode())


if __name__ == "__main__":
    unittest.main()
