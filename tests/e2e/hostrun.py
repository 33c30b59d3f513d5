"""Running vokr-host as the tests' user: the build's binary (under qemu where the build says
so), a clean environment, no terminal."""

import os
import shlex
import socket
import subprocess

HOST = os.environ["VOKR_HOST"]
RUN32 = shlex.split(os.environ.get("VOKR_RUN32", ""))
CRASH_MARKS = ("Sanitizer", "runtime error", "Segmentation", "core dumped")


def vokr_host(*args, timeout=60, **env):
    environment = {k: v for k, v in os.environ.items() if not k.startswith("VOKR_")}
    environment.update(LC_ALL="C.UTF-8", **env)
    return subprocess.run(RUN32 + [HOST, *args], capture_output=True, text=True, env=environment,
                          stdin=subprocess.DEVNULL, timeout=timeout)


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]
