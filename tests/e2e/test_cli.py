"""vokr-host on bad input and an unreachable service: a clear message and a non-zero exit
status, never a crash; and `info` showing the settings the plug-in took."""

import os
import tempfile
import unittest

from hostrun import CRASH_MARKS, closed_port, vokr_host


class BadArguments(unittest.TestCase):
    """Refused before anything is loaded or sent: exit status 2 and exactly one explanation."""

    CASES = [
        ((), "no command given"),
        (("frobnicate",), "unknown command 'frobnicate'"),
        (("info", "--colour"), "unknown option --colour"),
        (("info", "--url"), "--url wants a value (URL)"),
        (("info", "--no-timestamps=yes"), "--no-timestamps takes no value"),
        (("detail",), "usage: vokr-host detail ID [OPTIONS]"),
        (("reserve-zpmz", "74350001"), "usage: vokr-host reserve-zpmz ID AREA [OPTIONS]"),
        (("download-zpmz", "600001", "412", "dir", "extra"),
         "usage: vokr-host download-zpmz AREA RESULT DIR [OPTIONS]"),
        (("info", "--connect-timeout", "soon"), "--connect-timeout wants an integer, got 'soon'"),
        (("info", "--log-level=1x"), "--log-level wants an integer, got '1x'"),
        (("workflow", "--poll-interval", "-1"), "--poll-interval wants seconds from 0 to 3600, got '-1'"),
        (("workflow", "--poll-limit", "0"), "--poll-limit wants at least 1"),
        (("info", "--user", "u" * 101), "--user: at most 100 bytes, got 101"),
        (("info", "--log-dir", "/nonexistent/logs"), "--log-dir: no directory /nonexistent/logs"),
        (("proceedings", "--user", "geodet"), "--url is required for 'proceedings'"),
        (("proceedings", "--url", "https://127.0.0.1:1"), "--user is required for 'proceedings'"),
        (("workflow", "--url", "https://127.0.0.1:1", "--user", "geodet"),
         "the workflow signs proposals: give --key PEM"),
        (("workflow", "--url", "https://127.0.0.1:1", "--user", "geodet", "--key", "/nonexistent.pem"),
         "--key: cannot read /nonexistent.pem"),
    ]

    def test_each_is_refused_with_its_reason(self):
        for args, message in self.CASES:
            with self.subTest(args=args):
                r = vokr_host(*args, VOKR_PASSWORD="x")
                self.assertEqual(r.stderr, "vokr-host: %s\nTry 'vokr-host --help'.\n" % message)
                self.assertEqual(r.returncode, 2)
                self.assertEqual(r.stdout, "")


class Failures(unittest.TestCase):
    """A plug-in that cannot be used, or a service that cannot be reached: exit status 1."""

    def assertNoCrash(self, r):
        for mark in CRASH_MARKS:
            self.assertNotIn(mark, r.stderr)
        self.assertGreaterEqual(r.returncode, 0)

    def test_plugin_that_cannot_be_loaded_or_used(self):
        cases = [
            ("/nonexistent/libvokr.so",
             "vokr-host: cannot load the plug-in: /nonexistent/libvokr.so: cannot open shared object file"),
            # A library of the right architecture that is no VOKR plug-in.
            ("libm.so.6", "vokr-host: libm.so.6 is not a complete VOKR plug-in; it lacks "
                          "GetPelkPluginName, GetPelkPluginVersion,"),
        ]
        for plugin, message in cases:
            with self.subTest(plugin=plugin):
                r = vokr_host("info", "--plugin", plugin)
                self.assertNoCrash(r)
                self.assertEqual(r.returncode, 1)
                self.assertTrue(r.stderr.startswith(message), r.stderr)

    def test_unreachable_service_is_reported_as_the_failed_call(self):
        url = "https://127.0.0.1:%d" % closed_port()
        r = vokr_host("proceedings", "--url", url, "--user", "geodet", "--connect-timeout", "3000",
                      VOKR_PASSWORD="heslo")
        self.assertNoCrash(r)
        self.assertEqual(r.returncode, 1)
        self.assertTrue(r.stdout.startswith("    [1000 CHYBA] ETransportError; "), r.stdout)
        self.assertEqual(r.stderr, "")

    def test_workflow_against_unreachable_service_stops_after_the_first_step(self):
        url = "https://127.0.0.1:%d" % closed_port()
        with tempfile.TemporaryDirectory() as out:
            key = os.path.join(out, "key.pem")
            open(key, "w").close()
            r = vokr_host("workflow", "--url", url, "--user", "geodet", "--key", key, "--out-dir", out,
                          VOKR_PASSWORD="heslo")
        self.assertNoCrash(r)
        self.assertEqual(r.returncode, 1)
        self.assertIn("[1/19] Open a survey proceeding (zalozRizeniPM)\n"
                      "    [1000 CHYBA] ETransportError; ", r.stdout)
        # Nothing builds on a proceeding that was not opened; nothing was reserved to give back.
        self.assertNotIn("[2/19]", r.stdout)
        self.assertEqual(r.stdout.count("nothing reserved"), 2)
        self.assertIn("workflow: 17 of 19 steps did not succeed; the first to fail was step 1,",
                      r.stdout)


class Info(unittest.TestCase):
    def test_shows_the_settings_the_plugin_holds(self):
        with tempfile.TemporaryDirectory() as logs:
            r = vokr_host("info", "--url", "https://katastr.example", "--user", "geodet",
                          "--proxy", "127.0.0.1:3128", "--proxy-bypass", "<local>;*.cuzk.cz",
                          "--connect-timeout", "1500", "--receive-timeout", "0",
                          "--log-dir", logs, "--log-level", "3", "--no-timestamps",
                          VOKR_PASSWORD="heslo")
            self.assertEqual(r.returncode, 0, r.stderr)
            expected = [
                "  info             VOKR version : 2.9",
                "  service version  2.9",
                "  URL              https://katastr.example",
                "  UserName         geodet",
                "  UserPassword     ***",
                "  Proxy            127.0.0.1:3128",
                "  ProxyByPass      <local>;*.cuzk.cz",
                "  ProxyPassword    (empty)",
                "  ConnectTimeout   1500",
                "  SendTimeout      -1",
                "  ReceiveTimeout   0",
                "  LogPath          %s/" % logs,
                "  LogLevel         3",
                "  LogUseTimestamp  0",
            ]
            lines = r.stdout.splitlines()
            for line in expected:
                self.assertIn(line, lines)


if __name__ == "__main__":
    unittest.main()
