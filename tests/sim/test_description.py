"""The service description at ?wsdl: complete, resolvable, and true to what the simulator takes."""

import http.client
import re
import unittest
import urllib.parse
import xml.etree.ElementTree as ET

from simharness import ENDPOINT, TYPES, SimTestCase, request_text

WSDL = "http://schemas.xmlsoap.org/wsdl/"
SOAP_BINDING = "http://schemas.xmlsoap.org/wsdl/soap/"
XS = "http://www.w3.org/2001/XMLSchema"


class DescriptionTest(SimTestCase, unittest.TestCase):
    def get(self, target, host=None):
        """A GET with the Host header a client would send for `host`."""
        port = int(self.sim.url.rsplit(":", 1)[1])
        connection = http.client.HTTPSConnection(host or "127.0.0.1", port,
                                                 context=self.sim.tls, timeout=30)
        try:
            connection.request("GET", target)
            response = connection.getresponse()
            return response.status, response.getheader("Content-Type"), response.read()
        finally:
            connection.close()

    def wsdl(self, host=None):
        status, content_type, body = self.get(ENDPOINT + "?wsdl", host)
        self.assertEqual((status, content_type), (200, "text/xml; charset=utf-8"))
        return ET.fromstring(body)

    def actions(self, wsdl):
        binding = wsdl.find("{%s}binding" % WSDL)
        return {op.get("name"): op.find("{%s}operation" % SOAP_BINDING).get("soapAction")
                for op in binding.findall("{%s}operation" % WSDL)}

    def test_every_schema_the_description_names_is_served(self):
        pending, seen = [ENDPOINT + "?wsdl"], set()
        while pending:
            target = pending.pop()
            if target in seen:
                continue
            seen.add(target)
            status, _, body = self.get(target)
            self.assertEqual(status, 200, target)
            for node in ET.fromstring(body).iter("{%s}import" % XS):
                location = urllib.parse.urljoin(ENDPOINT, node.get("schemaLocation"))
                self.assertTrue(location.startswith(ENDPOINT + "?xsd="), location)
                pending.append(location)
        # The types, common, base, GML and WS-Security schemas, and the WSDL itself.
        self.assertEqual(len(seen), 6, sorted(seen))
        status, _, body = self.get(ENDPOINT + "?xsd=nothing")
        self.assertEqual(status, 404)
        self.assertIn(b"?wsdl", body)

    def test_address_is_the_one_the_client_used(self):
        for host in ("127.0.0.1", "localhost"):
            with self.subTest(host=host):
                address = self.wsdl(host).find(".//{%s}address" % SOAP_BINDING).get("location")
                self.assertEqual(address, "https://%s:%s%s" % (
                    host, self.sim.url.rsplit(":", 1)[1], ENDPOINT))

    def test_each_described_action_reaches_its_operation(self):
        """Sent with the described action, each request element is dispatched, not faulted."""
        wsdl = self.wsdl()
        actions = self.actions(wsdl)
        self.assertEqual(len(actions), 21)
        messages = {m.get("name"): m.find("{%s}part" % WSDL).get("element")
                    for m in wsdl.findall("{%s}message" % WSDL)}
        ports = {op.get("name"): op.find("{%s}input" % WSDL).get("message")
                 for op in wsdl.find("{%s}portType" % WSDL).findall("{%s}operation" % WSDL)}
        template = request_text("seznamRizeniPM")
        for operation, action in actions.items():
            with self.subTest(operation):
                element = messages[ports[operation].split(":")[1]].split(":")[1]
                # An empty request of the operation: the schema check may refuse it, but it
                # must get that far, so the action and the element belong together.
                text = re.sub(r"<SeznamRizeniPMRequest [^>]*/>",
                              '<%s xmlns="%s"/>' % (element, TYPES), template)
                answer = self.sim.call(operation, action='"%s"' % action, text=text)
                self.assertEqual(answer.status, 200, answer.text)
                self.assertEqual(self.sim.state()["calls"][-1]["operation"], operation)

    def test_unknown_action_fault_names_every_valid_action(self):
        answer = self.sim.call("seznamRizeniPM", action='"http://katastr.cuzk.cz/geows/seznam"')
        self.assertEqual(answer.status, 500)
        named = re.findall(r'"([^"]+)"', answer.fault.split(";", 1)[1])
        self.assertEqual(sorted(named), sorted(self.actions(self.wsdl()).values()))


if __name__ == "__main__":
    unittest.main()
