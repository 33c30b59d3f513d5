"""scripts/setup run by a user who cannot install: it names what is missing, never apt's error."""

import os
import shutil
import subprocess
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SETUP = os.path.join(ROOT, "scripts", "setup")
ABSENT = "vokr-package-that-does-not-exist"


@unittest.skipUnless(os.geteuid() == 0 and shutil.which("runuser"),
                     "needs root to run the script as another user")
class SetupWithoutRootTest(unittest.TestCase):
    def as_nobody(self, script):
        return subprocess.run(["runuser", "-u", "nobody", "--", "bash", script],
                              capture_output=True, text=True, timeout=60, cwd="/")

    def test_set_up_machine_passes_without_installing(self):
        result = self.as_nobody(SETUP)
        self.assertEqual((result.returncode, result.stdout, result.stderr), (0, "", ""))

    def test_missing_package_is_named_and_fails(self):
        # The same script with one more package, which no machine has.
        with open(SETUP, encoding="utf-8") as f:
            text = f.read()
        self.assertIn("\npackages=(\n", text)
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder)
        os.chmod(folder, 0o755)
        script = os.path.join(folder, "setup")
        shutil.copytree(os.path.join(ROOT, "scripts", "lib"), os.path.join(folder, "lib"))
        with open(script, "w", encoding="utf-8") as f:
            f.write(text.replace("\npackages=(\n", "\npackages=(\n  %s\n" % ABSENT, 1))
        os.chmod(script, 0o755)
        result = self.as_nobody(script)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stdout, "")
        self.assertEqual(result.stderr, "setup: not root, nothing installed; missing:\n"
                                        "  packages: %s\n"
                                        "setup: run scripts/setup as root, or scripts/test "
                                        "--no-setup to skip it\n" % ABSENT)


if __name__ == "__main__":
    unittest.main()
