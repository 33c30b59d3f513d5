"""TLS, the envelope, WS-Security and SOAPAction: refusals come as SOAP faults with HTTP 500."""

import os
import re
import socket
import ssl
import unittest

from simharness import (ACTION_HOST, COMMON, HERE, PASSWORD, TYPES, USER, Sim, SimTestCase,
                        request_text)


class TransportTest(SimTestCase, unittest.TestCase):
    def handshake(self, host, context):
        with socket.create_connection(("127.0.0.1", int(self.sim.url.rsplit(":", 1)[1]))) as raw:
            with context.wrap_socket(raw, server_hostname=host) as tls:
                return tls.version()

    def test_certificate_is_valid_for_both_loopback_names_and_tls_stops_at_1_2(self):
        context = ssl.create_default_context(cafile=self.sim.cert)
        for host in ("127.0.0.1", "localhost"):
            with self.subTest(host=host):
                self.assertEqual(self.handshake(host, context), "TLSv1.2")

    def test_client_that_insists_on_tls_1_3_is_refused(self):
        context = ssl.create_default_context(cafile=self.sim.cert)
        context.minimum_version = ssl.TLSVersion.TLSv1_3
        with self.assertRaises(ssl.SSLError):
            self.handshake("localhost", context)

    def test_wrong_path_and_wrong_content_type(self):
        body = request_text("seznamRizeniPM").encode("utf-8")
        action = '"%sseznamRizeniPM"' % ACTION_HOST
        status, _, _ = self.sim.post(body, action, path="/ws/geo/2.8/geo")
        self.assertEqual(status, 404)
        status, raw, _ = self.sim.post(body, action, content_type="application/soap+xml")
        self.assertEqual(status, 500)
        self.assertIn("Unsupported Content-Type", raw.decode("utf-8"))


class EnvelopeTest(SimTestCase, unittest.TestCase):
    """Requests the service cannot take at all, each answered with its own fault."""

    def test_refused_requests(self):
        good = request_text("zalozRizeniPM")
        header = re.search(r"<SOAP-ENV:Header>.*</SOAP-ENV:Header>", good, re.S).group(0)
        secext = "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd"
        cases = [
            ("wrong password", request_text("zalozRizeniPM", password="heslo"), None,
             "wsse:FailedAuthentication", "wrong or missing user name or password"),
            ("unknown user", request_text("zalozRizeniPM", user="jiny"), None,
             "wsse:FailedAuthentication", "wrong or missing user name or password"),
            ("password left out, as for an empty one",
             re.sub(r"\s*<NS1:Password>.*</NS1:Password>", "", good), None,
             "wsse:FailedAuthentication", "user name or password"),
            ("no security header", good.replace(header, ""), None,
             "wsse:InvalidSecurity", "no WS-Security header"),
            ("security header in another namespace",
             good.replace(secext, "http://schemas.xmlsoap.org/ws/2002/07/secext"), None,
             "wsse:InvalidSecurity", "no WS-Security header"),
            ("action of exportVF is exportNVF", request_text("exportVF", idRizeniPM="1"),
             '"%sexportVF"' % ACTION_HOST, "S:Client", "Unknown SOAPAction"),
            ("action of another operation", good, '"%svytvorRezervaciZPMZ"' % ACTION_HOST,
             "S:Client", "does not match the request element ZalozRizeniPMRequest"),
            ("action not quoted", good, ACTION_HOST + "zalozRizeniPM", "S:Client",
             "must be a quoted URI"),
            ("request element of another version", good.replace(TYPES, TYPES[:-1] + "8"), None,
             "S:Client", "Cannot find dispatch method"),
            ("not XML", good[:-40], None, "S:Client", "XML reader error"),
            ("document type declaration",
             good.replace("<SOAP-ENV:Envelope",
                          '<!DOCTYPE x [<!ENTITY a "aaaa">]><SOAP-ENV:Envelope', 1),
             None, "S:Client", "DOCTYPE is not allowed"),
            ("SOAP 1.2 envelope",
             good.replace("http://schemas.xmlsoap.org/soap/envelope/",
                          "http://www.w3.org/2003/05/soap-envelope"), None,
             "S:VersionMismatch", "Invalid SOAP envelope"),
        ]
        before = self.sim.state()["proceedings"]
        for name, text, action, code, message in cases:
            with self.subTest(name):
                answer = self.sim.call("zalozRizeniPM", action=action, text=text)
                self.assertEqual(answer.status, 500)
                self.assertEqual(answer.find("faultcode").text, code)
                self.assertIn(message, answer.fault)
                self.assertEqual(self.sim.state()["calls"][-1]["outcome"], "fault")
        self.assertEqual(self.sim.state()["proceedings"], before, "a refused request changed state")

    def test_header_written_with_a_default_namespace_is_the_same_header(self):
        text = request_text("zalozRizeniPM")
        text = re.sub(r"<NS1:Security xmlns:NS1=", "<Security xmlns=", text)
        text = text.replace("NS1:", "")
        answer = self.sim.call("zalozRizeniPM", text=text)
        self.assertEqual(answer.status, 200)
        self.assertEqual(answer.codes, ["0"])


class AnswerShapeTest(unittest.TestCase):
    """Answers as the real service writes them, compared as whole texts."""

    def setUp(self):
        self.sim = Sim()
        self.addCleanup(self.sim.close)

    def expected(self, name):
        with open(os.path.join(HERE, "answers", name), encoding="utf-8") as f:
            return f.read()

    def test_reservation_answer_and_fault_answer(self):
        id_rizeni = self.sim.new_proceeding()
        answer = self.sim.call("vytvorRezervaciZPMZ", idRizeniPM=id_rizeni, katuzeKod="600001")
        self.assertEqual(answer.text, self.expected("vytvorRezervaciZPMZ.response.xml"))
        answer = self.sim.call("seznamRizeniPM", password="spatne")
        self.assertEqual(answer.text, self.expected("wrong_password.response.xml"))

    def test_service_state_answer_uses_common_types(self):
        answer = self.sim.ok("stavWS")
        self.assertEqual(answer.body.tag, "{%s}StavWSResponse" % TYPES)
        self.assertIsNotNone(answer.find("c:vysledek/c:zprava"))
        self.assertEqual(answer.value("c:stavSluzby/c:prihlasovaciJmeno"), USER)
        self.assertRegex(answer.value("c:stavSluzby/c:zpracovano"),
                         r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$")
        self.assertEqual(answer.find("c:vysledek/c:zprava").tag, "{%s}zprava" % COMMON)

    def test_log_holds_each_exchange_without_the_password_and_state_counts_calls(self):
        self.sim.new_proceeding()
        self.sim.call("seznamRizeniPM", password="spatne")
        log = self.sim.log()
        self.assertEqual(len(re.findall(r"^==== #\d+ request$", log, re.M)), 2)
        self.assertEqual(len(re.findall(r"^==== #\d+ answer (200|500)$", log, re.M)), 2)
        self.assertIn("<cisloZakazky>Zakázka 17/2026 – Horní Lhota</cisloZakazky>", log)
        self.assertIn("<NS1:Password>***</NS1:Password>", log)
        self.assertNotIn(PASSWORD, log)
        self.assertNotIn("spatne", log)
        state = self.sim.state()
        self.assertEqual(state["requests"], 2)
        self.assertEqual([(c["operation"], c["outcome"]) for c in state["calls"]],
                         [("zalozRizeniPM", "ok"), (None, "fault")])


if __name__ == "__main__":
    unittest.main()
