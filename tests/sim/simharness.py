"""Runs cadastre-sim as a subprocess and talks to it over real HTTPS, as a client would.

Request texts live in requests/<operation>.xml as whole envelopes in the shape the plug-in
sends them; $names in them are filled per call. They are sent with CR LF line ends.
"""

import base64
import json
import os
import shutil
import ssl
import string
import subprocess
import sys
import tempfile
import urllib.error
import urllib.request
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SIM = os.path.join(ROOT, "sim", "cadastre-sim")
REQUESTS = os.path.join(HERE, "requests")
ENDPOINT = "/ws/geo/2.9/geo"
ACTION_HOST = "http://katastr.cuzk.cz/geows/"

TYPES = "http://katastr.cuzk.cz/geows/types/v2.9"
COMMON = "http://katastr.cuzk.cz/commonTypes/v2.9"
SOAP = "http://schemas.xmlsoap.org/soap/envelope/"
NS = {"t": TYPES, "c": COMMON, "S": SOAP}

USER, PASSWORD = "geodet", "Tajné heslo 1"

sys.path.insert(0, os.path.join(ROOT, "sim"))
from cadastre_sim import schema, xmltree  # noqa: E402


def request_text(name, **values):
    with open(os.path.join(REQUESTS, name + ".xml"), encoding="utf-8") as f:
        template = string.Template(f.read())
    values.setdefault("user", USER)
    values.setdefault("password", PASSWORD)
    return template.substitute(values).replace("\r\n", "\n").replace("\n", "\r\n")


def wrap76(data):
    """Base64 as the plug-in sends it: CR LF after every 76 characters."""
    text = base64.b64encode(data).decode("ascii")
    return "\r\n".join(text[i:i + 76] for i in range(0, len(text), 76))


def conforms(raw):
    """Every answer must be what the published service description says it is."""
    envelope = xmltree.parse(raw)
    body = next(c for c in envelope.children if c.name == "Body")
    try:
        schema.validate_response(body.children[0])
    except schema.SchemaError as e:
        raise AssertionError("the answer does not match the service description: %s\n%s"
                             % (e, raw.decode("utf-8", "replace")[:4000])) from None


class Answer:
    def __init__(self, status, raw):
        self.status = status
        self.raw = raw
        self.text = raw.decode("utf-8")
        self.root = ET.fromstring(raw)
        self.body = self.root.find("S:Body", NS)[0]

    @property
    def fault(self):
        if self.body.tag != "{%s}Fault" % SOAP:
            return None
        return self.body.findtext("faultstring")

    @property
    def messages(self):
        return [(z.get("kod"), z.get("uroven"), z.text) for z in self.body.iter("{%s}zprava" % COMMON)]

    @property
    def codes(self):
        return [m[0] for m in self.messages]

    def find(self, path):
        return self.body.find(path, NS)

    def findall(self, path):
        return self.body.findall(path, NS)

    def value(self, path):
        return self.body.findtext(path, namespaces=NS)

    def values(self, path):
        return [e.text for e in self.body.findall(path, NS)]


class Sim:
    """One simulator process with its own certificate, state file and exchange log."""

    def __init__(self, *options):
        self.dir = tempfile.mkdtemp(prefix="sim-test-")
        self.cert = os.path.join(self.dir, "cert", "cert.pem")
        self.state_path = os.path.join(self.dir, "state.json")
        self.log_path = os.path.join(self.dir, "exchange.log")
        self.process = subprocess.Popen(
            [sys.executable, SIM, "--port", "0", "--cert-dir", os.path.dirname(self.cert),
             "--user", USER, "--password", PASSWORD, "--state", self.state_path,
             "--log", self.log_path, *options],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.url = self.process.stdout.readline().strip()
        if not self.url.startswith("https://127.0.0.1:"):
            self.process.kill()
            raise RuntimeError("cadastre-sim did not start: %s" % self.process.stderr.read())
        self.tls = ssl.create_default_context(cafile=self.cert)

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()
        self.process.stderr.close()
        shutil.rmtree(self.dir, ignore_errors=True)

    def post(self, body, action, content_type="text/xml; charset=utf-8", path=ENDPOINT):
        headers = {"Content-Type": content_type}
        if action is not None:
            headers["SOAPAction"] = action
        request = urllib.request.Request(self.url + path, data=body, headers=headers,
                                         method="POST")
        try:
            with urllib.request.urlopen(request, context=self.tls, timeout=30) as r:
                return r.status, r.read(), r.headers
        except urllib.error.HTTPError as e:
            return e.code, e.read(), e.headers

    def call(self, operation, action=None, text=None, **values):
        """Sends requests/<operation>.xml (or the given text) with the operation's action."""
        if text is None:
            text = request_text(operation, **values)
        if action is None:
            name = "exportNVF" if operation == "exportVF" else operation.split("_")[0]
            action = '"%s%s"' % (ACTION_HOST, name)
        status, raw, _ = self.post(text.encode("utf-8"), action)
        if status == 200:
            conforms(raw)
        return Answer(status, raw)

    def ok(self, operation, **values):
        """A call that must succeed; returns its answer."""
        answer = self.call(operation, **values)
        if answer.status != 200 or "0" not in answer.codes:
            raise AssertionError("%s failed: %s" % (operation, answer.text))
        return answer

    def state(self):
        with open(self.state_path, encoding="utf-8") as f:
            return json.load(f)

    def log(self):
        with open(self.log_path, encoding="utf-8") as f:
            return f.read()

    # Steps most tests begin with.

    def new_proceeding(self):
        return self.ok("zalozRizeniPM").value("t:rizeniPM/t:idRizeni")

    def reserve_zpmz(self, id_rizeni, katuze_kod="600001"):
        return self.ok("vytvorRezervaciZPMZ", idRizeniPM=id_rizeni, katuzeKod=katuze_kod).value(
            "t:rezervCisloZPMZ/t:cisloZPMZ")


class SimTestCase:
    """Mixin: one simulator for the whole test class."""

    options = ()

    @classmethod
    def setUpClass(cls):
        cls.sim = Sim(*cls.options)

    @classmethod
    def tearDownClass(cls):
        cls.sim.close()
