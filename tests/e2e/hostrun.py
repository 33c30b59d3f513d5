"""Running vokr-host as the tests' user: the build's binary (under qemu where the build says
so), a clean environment, no terminal; the cadastre simulator and a surveyor's signing key."""

import json
import os
import pathlib
import shlex
import socket
import subprocess
import sys

HOST = os.environ["VOKR_HOST"]
RUN32 = shlex.split(os.environ.get("VOKR_RUN32", ""))
CRASH_MARKS = ("Sanitizer", "runtime error", "Segmentation", "core dumped")
ROOT = pathlib.Path(__file__).resolve().parents[2]


def host_environment(**env):
    environment = {k: v for k, v in os.environ.items() if not k.startswith("VOKR_") and k != "SSL_CERT_FILE"}
    environment.update(LC_ALL="C.UTF-8", **env)
    return environment


def vokr_host(*args, timeout=60, **env):
    return subprocess.run(RUN32 + [HOST, *args], capture_output=True, text=True, env=host_environment(**env),
                          stdin=subprocess.DEVNULL, timeout=timeout)


def start_host(*args, **env):
    """vokr-host running in the background, for tests that signal it."""
    return subprocess.Popen(RUN32 + [HOST, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            env=host_environment(**env), stdin=subprocess.DEVNULL)


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_key(folder, password):
    """A password-protected key with its certificate in one PEM file, as the surveyor has it."""
    folder = pathlib.Path(folder)
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-days", "2", "-subj", "/CN=surveyor",
                    "-passout", "pass:" + password, "-keyout", str(folder / "key.pem"),
                    "-out", str(folder / "cert.pem")], check=True, capture_output=True)
    pem = folder / "signer.pem"
    pem.write_bytes((folder / "key.pem").read_bytes() + (folder / "cert.pem").read_bytes())
    return pem


class Simulator:
    """cadastre-sim on a free loopback port with a fresh certificate in `folder`."""

    def __init__(self, folder, *options):
        self.folder = pathlib.Path(folder)
        self.cert = self.folder / "cert.pem"
        self.process = subprocess.Popen(
            [sys.executable, str(ROOT / "sim" / "cadastre-sim"), "--port", "0", "--cert-dir", str(self.folder),
             "--state", str(self.folder / "state.json"), *options],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.url = self.process.stdout.readline().strip()
        if not self.url.startswith("https://127.0.0.1:"):
            self.stop()
            raise RuntimeError("the simulator did not start: %r" % self.url)

    def state(self):
        return json.loads((self.folder / "state.json").read_text())

    def stop(self):
        self.process.terminate()
        self.process.wait()
