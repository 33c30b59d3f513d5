"""HTTPS front of the simulator: TLS, the SOAP envelope, WS-Security, SOAPAction and dispatch."""

import argparse
import http.server
import json
import os
import re
import shutil
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import traceback

from . import ns, schema, service, wsdl, xmltree
from .xmltree import E

FAULT_CLIENT = "S:Client"
FAULT_SERVER = "S:Server"


class Fault(Exception):
    def __init__(self, code, text, code_ns=None):
        super().__init__(text)
        self.code, self.text, self.code_ns = code, text, code_ns


def fault_envelope(fault):
    attrs = [("xmlns:wsse", fault.code_ns)] if fault.code_ns else []
    body = E("S:Fault", E("faultcode", text=fault.code, attrs=attrs),
             E("faultstring", text=fault.text))
    return xmltree.envelope(body)


def make_certificate(directory):
    """A self-signed server certificate for loopback, made with the openssl command."""
    os.makedirs(directory, exist_ok=True)
    cert, key = os.path.join(directory, "cert.pem"), os.path.join(directory, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                    "ec_paramgen_curve:prime256v1", "-nodes", "-sha256",
                    "-days", "30", "-subj", "/CN=localhost", "-keyout", key, "-out", cert,
                    "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"],
                   check=True, capture_output=True)
    return cert, key


# ---------------------------------------------------------------- logging

_LONG_BASE64 = re.compile(rb"[A-Za-z0-9+/=\r\n]{4096,}")
_PASSWORD = re.compile(rb"(<(?:[A-Za-z_][\w.-]*:)?Password\b[^>]*>)[^<]*(</)")


def _for_log(data):
    data = _PASSWORD.sub(rb"\1***\2", data)
    return _LONG_BASE64.sub(lambda m: b"[%d characters of base64]" % len(m.group(0)), data)


class ExchangeLog:
    """Every request and answer, readable: long base64 runs are shortened, passwords masked."""

    def __init__(self, path):
        self.file = open(path, "ab") if path else None

    def write(self, number, title, headers, pieces):
        if self.file is None:
            return
        out = [b"==== #%d %s\n" % (number, title.encode("utf-8"))]
        out += [("%s: %s\n" % (k, v)).encode("utf-8", "replace") for k, v in headers]
        out.append(b"\n")
        for piece in pieces:
            if isinstance(piece, bytes):
                out.append(_for_log(piece))
            elif isinstance(piece, xmltree.RawContent):
                out.append(b"[%d bytes]" % piece.size)
            else:
                out.append(b"[%d bytes as %d characters of base64]" % (piece.size, piece.length))
        out.append(b"\n")
        self.file.write(b"".join(out))
        self.file.flush()


# ---------------------------------------------------------------- the SOAP pipeline

class Simulator:
    def __init__(self, args, base_url):
        self.user, self.password = args.user, args.password
        self.service = service.Service(args.user, base_url, args.files_dir, args.trust_cert,
                                       args.lenient_signature)
        self.mtom = args.mtom
        self.state_path = args.state
        self.log = ExchangeLog(args.log)
        self.lock = threading.Lock()

    def exchange(self, headers, body):
        """One POST to the endpoint: (HTTP status, content type, answer pieces)."""
        with self.lock:
            state = self.service.state
            state["requests"] += 1
            number = state["requests"]
            self.log.write(number, "request", headers.items(), [body])
            call = {"n": number, "operation": None, "outcome": None}
            state["calls"].append(call)
            try:
                status, pieces = 200, self._answer(headers, body, call)
            except Fault as f:
                status, pieces = 500, fault_envelope(f)
                call.update(outcome="fault", fault=f.text)
            except Exception as e:  # a fault of the simulator itself still answers as SOAP
                traceback.print_exc()
                status, pieces = 500, fault_envelope(Fault(FAULT_SERVER, "%s: %s" % (
                    type(e).__name__, e)))
                call.update(outcome="fault", fault=str(e))
            content_type = "text/xml; charset=utf-8"
            if self.mtom and any(not isinstance(p, bytes) for p in pieces):
                content_type, pieces = xmltree.mtom(pieces)
            self.log.write(number, "answer %d" % status, [("Content-Type", content_type)], pieces)
            self.save_state()
            return status, content_type, pieces

    def _answer(self, headers, body, call):
        content_type = headers.get("Content-Type", "")
        if content_type.split(";")[0].strip().lower() != "text/xml":
            raise Fault(FAULT_CLIENT, "Unsupported Content-Type: %r; a SOAP 1.1 request is "
                        "sent as text/xml." % content_type)
        try:
            envelope = xmltree.parse(body)
        except xmltree.XmlError as e:
            raise Fault(FAULT_CLIENT, "Couldn't create SOAP message due to exception: XML "
                        "reader error: %s" % e) from None
        if envelope.name != "Envelope" or envelope.ns != ns.SOAP_ENV:
            raise Fault("S:VersionMismatch", "Invalid SOAP envelope: expected Envelope in %s, "
                        "found %s." % (ns.SOAP_ENV, envelope.qname))
        header = next((c for c in envelope.children if c.ns == ns.SOAP_ENV and
                       c.name == "Header"), None)
        body_node = next((c for c in envelope.children if c.ns == ns.SOAP_ENV and
                          c.name == "Body"), None)
        if body_node is None or len(body_node.children) != 1:
            raise Fault(FAULT_CLIENT, "The SOAP Body must hold exactly one request element.")
        self._authenticate(header)
        request = body_node.children[0]
        operation = self._operation(headers.get("SOAPAction"), request)
        call["operation"] = operation
        try:
            schema.validate_request(request)
            messages, payload = self.service.handle(operation, request)
            call["outcome"] = "ok"
        except schema.SchemaError as e:
            messages, payload = [(service.SCHEMA, "CHYBA",
                                  "Požadavek neodpovídá schématu služby: %s" % e)], []
            call["outcome"] = "refused"
        except service.Refusal as r:
            messages, payload = [(r.code, r.level, r.text)], []
            call["outcome"] = "refused"
        call["messages"] = [{"kod": k, "uroven": u, "text": m} for k, u, m in messages]
        prefix = "ns1" if operation == "stavWS" else "ns0"
        vysledek = E(prefix + ":vysledek", *[
            E("ns1:zprava", text=m, attrs=[("kod", k), ("uroven", u)]) for k, u, m in messages])
        answer = E("ns0:" + ns.response_element(operation), vysledek, *payload,
                   attrs=[("xmlns:ns0", ns.TYPES), ("xmlns:ns1", ns.COMMON)])
        return xmltree.envelope(answer)

    def _authenticate(self, header):
        security = None
        if header is not None:
            security = next((c for c in header.children if c.ns == ns.SECEXT and
                             c.name == "Security"), None)
        if security is None:
            raise Fault("wsse:InvalidSecurity", "An error was discovered processing the "
                        "<wsse:Security> header: the request carries no WS-Security header "
                        "(Security in %s)." % ns.SECEXT, ns.SECEXT)
        token = next((c for c in security.children if c.ns == ns.SECEXT and
                      c.name == "UsernameToken"), None)
        if token is None:
            raise Fault("wsse:InvalidSecurity", "An error was discovered processing the "
                        "<wsse:Security> header: no UsernameToken in %s." % ns.SECEXT, ns.SECEXT)

        user, password = (next((c for c in token.children if c.ns == ns.SECEXT and
                                c.name == name), None) for name in ("Username", "Password"))
        password_type = password.attrs.get(("", "Type")) if password is not None else None
        if password_type and not password_type.endswith("#PasswordText"):
            raise Fault("wsse:UnsupportedSecurityToken", "Only plain-text passwords "
                        "(PasswordText) are supported.", ns.SECEXT)
        if (user is None or password is None or user.text != self.user or
                password.text != self.password):
            raise Fault("wsse:FailedAuthentication", "The security token could not be "
                        "authenticated or authorized: wrong or missing user name or password.",
                        ns.SECEXT)

    @staticmethod
    def _operation(action, request):
        if action is None:
            raise Fault(FAULT_CLIENT, "The request has no SOAPAction header.")
        if len(action) < 2 or action[0] != '"' or action[-1] != '"':
            raise Fault(FAULT_CLIENT, "The SOAPAction header must be a quoted URI, got %s."
                        % action)
        by_action = ns.OPERATION_BY_ACTION.get(action[1:-1])
        if by_action is None:
            raise Fault(FAULT_CLIENT, "Unknown SOAPAction %s; the service's actions are %s." % (
                action, ", ".join('"%s"' % ns.action_uri(op) for op in ns.OPERATIONS)))
        by_element = (ns.OPERATION_BY_REQUEST.get(request.name)
                      if request.ns == ns.TYPES else None)
        if by_element is None:
            raise Fault(FAULT_CLIENT, "Cannot find dispatch method for %s." % request.qname)
        if by_element != by_action:
            raise Fault(FAULT_CLIENT, "SOAPAction %s does not match the request element %s; "
                        "expected \"%s\"." % (action, request.name, ns.action_uri(by_element)))
        return by_action

    def save_state(self):
        if not self.state_path:
            return
        temporary = self.state_path + ".tmp"
        with open(temporary, "w", encoding="utf-8") as f:
            json.dump(self.service.state, f, ensure_ascii=False, indent=1)
        os.replace(temporary, self.state_path)


# ---------------------------------------------------------------- HTTP

class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "cadastre-sim"
    sys_version = ""

    def log_message(self, *args):
        pass

    def _send(self, status, content_type, pieces):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(sum(
            len(p) if isinstance(p, bytes) else p.length for p in pieces)))
        self.end_headers()
        for piece in pieces:
            if isinstance(piece, bytes):
                self.wfile.write(piece)
            else:
                for chunk in piece.chunks():
                    self.wfile.write(chunk)

    def _plain(self, status, text):
        self._send(status, "text/plain; charset=utf-8", [text.encode("utf-8")])

    def _body(self):
        if "chunked" in self.headers.get("Transfer-Encoding", "").lower():
            parts = []
            while True:
                size = int(self.rfile.readline().split(b";")[0], 16)
                if size == 0:
                    while self.rfile.readline() not in (b"\r\n", b"\n", b""):
                        pass
                    return b"".join(parts)
                parts.append(self.rfile.read(size))
                self.rfile.readline()
        return self.rfile.read(int(self.headers.get("Content-Length", "0")))

    def do_POST(self):
        if self.path != ns.ENDPOINT:
            self._body()
            return self._plain(404, "Not found: %s\n" % self.path)
        status, content_type, pieces = self.server.simulator.exchange(self.headers, self._body())
        self._send(status, content_type, pieces)

    def do_GET(self):
        path, _, query = self.path.partition("?")
        if path == ns.ENDPOINT and query:
            return self._description(query)
        # The finished exchange-format files, reached through the link of an export run.
        match = re.fullmatch(r"/vf/([0-9]+)\.vfk", self.path)
        data = match and self.server.simulator.service.exchange_file(match.group(1))
        if not data:
            return self._plain(404 if self.path != ns.ENDPOINT else 405,
                               "Not found: %s\n" % self.path)
        self._send(200, "application/octet-stream", [data])

    def _description(self, query):
        """`?wsdl`, and `?xsd=<name>` for the schemas the WSDL imports."""
        if query.lower() == "wsdl":
            # The address as the client reached it, so that a client using the host name
            # or a proxy calls the endpoint the same way.
            host = self.headers.get("Host") or self.server.simulator.service.base_url[8:]
            data = wsdl.service_description("https://%s%s" % (host, ns.ENDPOINT))
        else:
            data = wsdl.SCHEMA_DOCUMENTS.get(query[4:]) if query.startswith("xsd=") else None
        if data is None:
            return self._plain(404, "Not found: %s (the service description is at ?wsdl)\n"
                               % self.path)
        self._send(200, "text/xml; charset=utf-8", [data])


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, address, tls):
        self.tls = tls
        if ":" in address[0]:
            self.address_family = socket.AF_INET6
        super().__init__(address, Handler)

    def get_request(self):
        conn, addr = self.socket.accept()
        # The handshake runs on the connection's own thread, not in the accepting loop.
        return self.tls.wrap_socket(conn, server_side=True, do_handshake_on_connect=False), addr

    def handle_error(self, request, client_address):
        if not isinstance(sys.exc_info()[1], (ssl.SSLError, ConnectionError, socket.timeout)):
            super().handle_error(request, client_address)


class StartError(Exception):
    """A reason the simulator cannot start, said in one line."""


class _Parser(argparse.ArgumentParser):
    def error(self, message):
        # One line naming the mistake instead of the whole usage block.
        self.exit(2, "cadastre-sim: %s (see --help)\n" % message)


def parse_args(argv):
    p = _Parser(prog="cadastre-sim",
                description="Local simulator of the cadastre geometric-plan web service "
                            "(SOAP 1.1 over HTTPS).")
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--port", type=int, default=0, help="0 picks a free port")
    p.add_argument("--cert-dir", help="make cert.pem and key.pem here (default: a temp dir)")
    p.add_argument("--cert", help="server certificate (PEM), with --key")
    p.add_argument("--key", help="private key of --cert (PEM)")
    p.add_argument("--user", default="geodet")
    p.add_argument("--password", default="heslo")
    p.add_argument("--log", help="append every request and answer to this file")
    p.add_argument("--state", help="write the whole state as JSON here after each request")
    p.add_argument("--files-dir", help="serve the files of this directory as the ZPMZ documents "
                                       "of every surveying result")
    p.add_argument("--trust-cert", help="certificate (PEM) the proposal signatures must verify "
                                        "against; without it the certificate inside the "
                                        "signature is used")
    p.add_argument("--mtom", action="store_true",
                   help="send file contents of answers as MTOM/XOP attachments")
    p.add_argument("--lenient-signature", action="store_true",
                   help="record an invalid proposal signature but accept the proposal")
    args = p.parse_args(argv)
    if bool(args.cert) != bool(args.key):
        p.error("--cert and --key go together")
    if args.files_dir and not os.path.isdir(args.files_dir):
        p.error("--files-dir %s is not a folder" % args.files_dir)
    if args.trust_cert and not os.path.isfile(args.trust_cert):
        p.error("--trust-cert %s is not a file" % args.trust_cert)
    return args


def make_server(args, temporary_dir):
    if args.cert:
        cert, key = args.cert, args.key
    else:
        try:
            cert, key = make_certificate(args.cert_dir or temporary_dir)
        except subprocess.CalledProcessError as e:
            raise StartError("openssl could not make the certificate: %s" % (
                e.stderr.decode("utf-8", "replace").strip().splitlines() or ["?"])[-1]) from None
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls.maximum_version = ssl.TLSVersion.TLSv1_2
    try:
        tls.load_cert_chain(cert, key)
    except OSError as e:
        raise StartError("cannot use the certificate %s with the key %s: %s" % (
            cert, key, e.strerror or getattr(e, "reason", None) or e)) from None
    try:
        server = Server((args.host, args.port), tls)
    except OSError as e:
        raise StartError("cannot listen on %s port %d: %s" % (
            args.host, args.port, e.strerror or e)) from None
    host, port = server.server_address[:2]
    url = "https://%s:%d" % ("[%s]" % host if ":" in host else host, port)
    server.simulator = Simulator(args, url)
    if args.state:
        server.simulator.save_state()
    return server, url, cert


class _Stop(BaseException):
    """SIGINT or SIGTERM: leaves the serving loop however deep it is, like Ctrl-C."""


def _stop(*_):
    raise _Stop


def main(argv=None):
    args = parse_args(sys.argv[1:] if argv is None else argv)
    signal.signal(signal.SIGTERM, _stop)
    signal.signal(signal.SIGINT, _stop)
    # A certificate folder of our own making goes away with the process.
    temporary_dir = None
    server = None
    try:
        if not args.cert and not args.cert_dir:
            temporary_dir = tempfile.mkdtemp(prefix="cadastre-sim-")
        server, url, cert = make_server(args, temporary_dir)
        print(url, flush=True)
        print("cadastre-sim: endpoint %s%s, certificate %s" % (url, ns.ENDPOINT, cert),
              file=sys.stderr, flush=True)
        server.serve_forever(poll_interval=0.1)
    except _Stop:
        pass
    except StartError as e:
        sys.exit("cadastre-sim: %s" % e)
    except OSError as e:
        sys.exit("cadastre-sim: %s" % (
            "%s: %s" % (e.filename, e.strerror) if e.filename else e.strerror or e))
    finally:
        if server is not None:
            server.server_close()
        if temporary_dir:
            shutil.rmtree(temporary_dir, ignore_errors=True)
