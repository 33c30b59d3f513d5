"""Checks the enveloped XML signature of a proposal's inner document with xmlsec1."""

import os
import re
import shutil
import subprocess
import tempfile

from . import ns

ENVELOPED = "http://www.w3.org/2000/09/xmldsig#enveloped-signature"


def _structure_problem(root):
    """The signature must be the root's own and cover the whole document."""
    signatures = [c for c in root.children if c.ns == ns.XMLDSIG and c.name == "Signature"]
    if len(signatures) != 1:
        return "the document root holds %d ds:Signature elements, not one" % len(signatures)
    signed_info = signatures[0].child("SignedInfo")
    references = signed_info.all("Reference") if signed_info is not None else []
    if len(references) != 1 or references[0].attrs.get(("", "URI")) != "":
        return 'the signature does not have exactly one Reference with URI=""'
    value = signatures[0].child("SignatureValue")
    if value is None or not value.text.strip():
        return "the document is not signed: ds:SignatureValue is empty"
    transforms = references[0].child("Transforms")
    algorithms = [t.attrs.get(("", "Algorithm")) for t in
                  (transforms.all("Transform") if transforms is not None else [])]
    if ENVELOPED not in algorithms:
        return "the reference lacks the enveloped-signature transform"
    return None


def verify(document, root, trust_cert=None):
    """Returns the verdict recorded with the proposal: {"verdict", "trusted", "detail"}."""
    problem = _structure_problem(root)
    if problem:
        return {"verdict": "invalid", "trusted": False, "detail": problem}
    tool = shutil.which("xmlsec1")
    if tool is None:
        return {"verdict": "unchecked", "trusted": False, "detail": "xmlsec1 is not installed"}
    with tempfile.TemporaryDirectory(prefix="cadastre-sim-sig-") as tmp:
        path = os.path.join(tmp, "navrh.xml")
        with open(path, "wb") as f:
            f.write(document)
        command = [tool, "--verify", "--enabled-reference-uris", "empty",
                   "--enabled-key-data", "x509"]
        # Without a certificate to trust, the one inside the signature is used as it stands.
        command += ["--trusted-pem", trust_cert] if trust_cert else ["--insecure"]
        result = subprocess.run(command + [path], capture_output=True, text=True, timeout=60)
    if result.returncode == 0:
        return {"verdict": "valid", "trusted": bool(trust_cert), "detail": "OK"}
    return {"verdict": "invalid", "trusted": False, "detail": _reason(result.stderr)}


def _reason(output):
    """The most telling line of xmlsec1's complaint, without its source location."""
    lines = [l.strip() for l in output.splitlines() if "error=" in l]
    for marker in ("do not match", "msg=", "key is not found"):
        for line in lines:
            if marker in line:
                return re.split(r"error=\d+:", line, maxsplit=1)[-1][:300]
    return (lines[0] if lines else output.strip())[:300]
