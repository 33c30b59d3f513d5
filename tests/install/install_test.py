"""The installed kit as a host author meets it: `cmake --install` into a fresh prefix puts the
plug-in, the signing library, vokr-host, the header, vokr.pc and the CMake package in place; the
example host builds from that prefix alone, through pkg-config and through find_package(vokr),
and each build runs its operation cycle against the installed plug-in."""

import filecmp
import os
import pathlib
import shlex
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
EXAMPLE = ROOT / "examples" / "list_zpmz_files.c"
CYCLE = ROOT / "tests" / "header" / "example_cycle.py"
BUILD = os.environ["VOKR_BUILD_DIR"]
RUN32 = shlex.split(os.environ.get("VOKR_RUN32", ""))
LIBDIR, INCLUDEDIR, BINDIR = (os.environ[k] for k in ("VOKR_LIBDIR", "VOKR_INCLUDEDIR", "VOKR_BINDIR"))


def run(*args, **options):
    result = subprocess.run([str(a) for a in args], capture_output=True, text=True, **options)
    if result.returncode != 0:
        raise AssertionError("%s failed (%d):\n%s%s" % (shlex.join(map(str, args)),
                                                        result.returncode, result.stdout,
                                                        result.stderr))
    return result


class InstalledKit(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="vokr-install-")
        cls.work = pathlib.Path(cls.tmp.name)
        cls.prefix = cls.work / "prefix"
        run("cmake", "--install", BUILD, "--prefix", cls.prefix)
        cls.plugin = cls.prefix / LIBDIR / "libvokr.so"

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def cycle(self, plugin, example):
        """The example's operation cycle (tests/header) with this build of it."""
        self.assertTrue(os.path.samefile(plugin, self.plugin), plugin)
        result = subprocess.run([sys.executable, CYCLE, plugin, *RUN32, example],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_installed_files(self):
        installed = {str(p.relative_to(self.prefix)) for p in self.prefix.rglob("*") if p.is_file()}
        package = LIBDIR + "/cmake/vokr/"
        self.assertEqual(installed, {
            BINDIR + "/vokr-host", LIBDIR + "/libvokr.so", LIBDIR + "/libPelkSigner.so",
            INCLUDEDIR + "/vokr.h", LIBDIR + "/pkgconfig/vokr.pc",
            package + "vokr-config.cmake", package + "vokr-config-version.cmake",
            package + "vokr-targets.cmake", package + "vokr-targets-relwithdebinfo.cmake"})
        self.assertTrue(filecmp.cmp(self.prefix / INCLUDEDIR / "vokr.h", ROOT / "include" / "vokr.h",
                                    shallow=False))

    def test_installed_vokr_host_loads_the_installed_plugin(self):
        info = run(*RUN32, self.prefix / BINDIR / "vokr-host", "info").stdout
        first = info.splitlines()[0]
        self.assertTrue(first.startswith("plug-in "), info)
        self.assertTrue(os.path.samefile(first[len("plug-in "):], self.plugin), info)
        self.assertIn("\n  version          2.9.0.1\n", info)

    def test_example_built_through_pkg_config(self):
        env = dict(os.environ, PKG_CONFIG_PATH=str(self.prefix / LIBDIR / "pkgconfig"))
        cflags = shlex.split(run("pkg-config", "--cflags", "vokr", env=env).stdout)
        self.assertEqual(len(cflags), 1, cflags)
        self.assertTrue(cflags[0].startswith("-I"), cflags)
        self.assertTrue(os.path.samefile(cflags[0][2:], self.prefix / INCLUDEDIR), cflags)
        plugin = run("pkg-config", "--variable=plugin", "vokr", env=env).stdout.strip()
        example = self.work / "list_zpmz_files_pkg_config"
        run(os.environ["CC"], "-m32", *cflags, "-Wall", "-Werror", EXAMPLE, "-o", example, "-ldl")
        self.cycle(plugin, example)

    def test_example_built_through_find_package(self):
        build = self.work / "consumer"
        run("cmake", "-S", ROOT / "tests" / "install" / "consumer", "-B", build, "-G", "Ninja",
            "-DCMAKE_TOOLCHAIN_FILE=" + os.environ["VOKR_TOOLCHAIN"],
            "-DCMAKE_PREFIX_PATH=" + str(self.prefix), "-DEXAMPLE=" + str(EXAMPLE))
        run("cmake", "--build", build)
        plugin = (build / "plugin-path").read_text()
        self.cycle(plugin, build / "list_zpmz_files")


if __name__ == "__main__":
    unittest.main()
