"""vokr-host on bad input and an unreachable service: a clear message on standard error and the
exit status of its cause, never a crash; and `info` showing the settings the plug-in took."""

import tempfile
import unittest

from hostrun import CRASH_MARKS, closed_port, make_key, vokr_host


class BadArguments(unittest.TestCase):
    """Refused before anything is loaded or sent: exit status 2 and exactly one explanation."""

    # (arguments, message, the command whose help is suggested)
    CASES = [
        ((), "no command given", None),
        (("frobnicate",), "unknown command 'frobnicate'", None),
        (("detial",), "unknown command 'detial'; did you mean 'detail'?", None),
        (("reserve-zmpz", "1", "2"), "unknown command 'reserve-zmpz'; did you mean 'reserve-zpmz'?", None),
        (("info", "--colour"), "unknown option --colour", None),
        (("info", "--url"), "--url wants a value (URL)", None),
        (("info", "--no-timestamps=yes"), "--no-timestamps takes no value", None),
        (("detail",), "usage: vokr-host detail ID [OPTIONS]", "detail"),
        (("reserve-zpmz", "74350001"), "usage: vokr-host reserve-zpmz ID AREA [OPTIONS]", "reserve-zpmz"),
        (("download-zpmz", "600001", "412", "dir", "extra"),
         "usage: vokr-host download-zpmz AREA RESULT DIR [OPTIONS]", "download-zpmz"),
        (("info", "--connect-timeout", "soon"), "--connect-timeout wants an integer, got 'soon'", None),
        (("info", "--log-level=1x"), "--log-level wants an integer, got '1x'", None),
        (("workflow", "--poll-interval", "-1"), "--poll-interval wants seconds from 0 to 3600, got '-1'", None),
        (("workflow", "--poll-limit", "0"), "--poll-limit wants at least 1", None),
        (("info", "--user", "u" * 101), "--user: at most 100 bytes, got 101", "info"),
        (("info", "--log-dir", "/nonexistent/logs"), "--log-dir: no directory /nonexistent/logs", "info"),
        (("proceedings", "--user", "geodet"), "--url is required for 'proceedings'", "proceedings"),
        (("proceedings", "--url", "https://127.0.0.1:1"), "--user is required for 'proceedings'", "proceedings"),
        (("workflow", "--url", "https://127.0.0.1:1", "--user", "geodet"),
         "the workflow signs proposals: give --key PEM", "workflow"),
        (("reserve-elements", "74350001", "600001", "501", "--url", "https://127.0.0.1:1", "--user", "geodet"),
         "give --stems, --subdivisions or --points", "reserve-elements"),
        (("export", "74350001", "1 2, 3 4", "--url", "https://127.0.0.1:1", "--user", "geodet"),
         "POLYGON wants at least four positions 'X Y', the last one the first", "export"),
    ]

    def test_each_is_refused_with_its_reason(self):
        for args, message, command in self.CASES:
            with self.subTest(args=args):
                r = vokr_host(*args, VOKR_PASSWORD="x")
                hint = "vokr-host %s --help" % command if command else "vokr-host --help"
                self.assertEqual(r.stderr, "vokr-host: %s\nTry '%s'.\n" % (message, hint))
                self.assertEqual(r.returncode, 2)
                self.assertEqual(r.stdout, "")


class Failures(unittest.TestCase):
    """A plug-in that cannot be used (exit status 1), or a service that cannot be reached (3)."""

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
        self.assertEqual(r.returncode, 3)
        self.assertEqual(r.stdout, "")
        self.assertTrue(r.stderr.startswith(
            "vokr-host: seznamRizeniPM failed at %s/ws/geo/2.9/geo:\n"
            "    [1000 CHYBA] ETransportError; " % url), r.stderr)

    def test_workflow_against_unreachable_service_stops_after_the_first_step(self):
        url = "https://127.0.0.1:%d" % closed_port()
        with tempfile.TemporaryDirectory() as out:
            key = make_key(out, "tajne")
            r = vokr_host("workflow", "--url", url, "--user", "geodet", "--key", str(key), "--out-dir", out,
                          VOKR_PASSWORD="heslo", VOKR_KEY_PASSWORD="tajne")
        self.assertNoCrash(r)
        self.assertEqual(r.returncode, 3)
        self.assertIn("[1/19] Open a survey proceeding (zalozRizeniPM)\n    FAILED\n", r.stdout)
        self.assertIn("vokr-host: zalozRizeniPM failed at %s/ws/geo/2.9/geo:\n"
                      "    [1000 CHYBA] ETransportError; " % url, r.stderr)
        # Nothing builds on a proceeding that was not opened; nothing was reserved to give back.
        self.assertNotIn("[2/19]", r.stdout)
        self.assertEqual(r.stdout.count("nothing reserved"), 2)
        self.assertIn("workflow: 17 of 19 steps did not succeed; the first to fail was step 1,",
                      r.stdout)
        self.assertIn("vokr-host: workflow: 17 of 19 steps did not succeed;", r.stderr)


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
                "  SendTimeout      60000",
                "  ReceiveTimeout   0",
                "  LogPath          %s/" % logs,
                "  LogLevel         3",
                "  LogUseTimestamp  0",
            ]
            lines = r.stdout.splitlines()
            for line in expected:
                self.assertIn(line, lines)


    def test_url_user_and_time_outs_default_to_the_environment_and_defaults(self):
        r = vokr_host("info", VOKR_URL="https://katastr.example", VOKR_USER="geodet", VOKR_PASSWORD="heslo")
        self.assertEqual(r.returncode, 0, r.stderr)
        lines = r.stdout.splitlines()
        for line in ("  URL              https://katastr.example", "  UserName         geodet",
                     "  ConnectTimeout   30000", "  SendTimeout      60000", "  ReceiveTimeout   60000"):
            self.assertIn(line, lines)
        # The command line wins over the environment.
        r = vokr_host("info", "--url", "https://jinde.example", VOKR_URL="https://katastr.example")
        self.assertIn("  URL              https://jinde.example", r.stdout.splitlines())


if __name__ == "__main__":
    unittest.main()
