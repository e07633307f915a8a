"""scripts/setup and what configuring says when a dependency is missing.

    test_setup.py SOURCE_DIR CMAKE

The script runs against stand-ins for dpkg-query, apt-get, sudo and id on a
PATH that holds nothing else it could use; configuring runs the real CMake on
the project with one dependency hidden at a time.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import textwrap
import unittest

SOURCE, CMAKE = sys.argv.pop(1), sys.argv.pop(1)
SETUP = os.path.join(SOURCE, "scripts", "setup")
JKN_PACKAGES = ["cmake", "g++", "make", "libcli11-dev", "nlohmann-json3-dev"]


class SetupScript(unittest.TestCase):
    """The script on a machine made of stand-ins: which packages it installs, how."""

    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        self.bin = os.path.join(self.dir, "bin")
        self.log = os.path.join(self.dir, "log")
        os.mkdir(self.bin)
        # Only what the script may use of the real system.
        for tool in ["bash", "env", "grep", "locale"]:
            os.symlink(shutil.which(tool), os.path.join(self.bin, tool))

    def fake(self, name, body):
        path = os.path.join(self.bin, name)
        with open(path, "w") as f:
            f.write("#!%s\n%s\n" % (shutil.which("bash"), textwrap.dedent(body)))
        os.chmod(path, 0o755)

    def debian(self, installed, uid=0, sudo=True, apt_status=0):
        """A Debian machine with these packages installed, run by this user."""
        listed = " ".join(installed)
        self.fake("dpkg-query", """
            for p in %s; do [ "$p" = "${@: -1}" ] && { printf 'install ok installed'; exit 0; }; done
            exit 1""" % listed)
        self.fake("apt-get", 'echo "apt-get $*" >>%s; exit %d' % (self.log, apt_status))
        self.fake("id", "echo %d" % uid)
        if sudo:
            self.fake("sudo", 'echo "sudo" >>%s; "$@"' % self.log)

    def run_setup(self, *args):
        result = subprocess.run([shutil.which("bash"), SETUP, *args], env={"PATH": self.bin},
                                capture_output=True, text=True)
        calls = []
        if os.path.exists(self.log):
            with open(self.log) as f:
                calls = f.read().splitlines()
        return result, calls

    def test_lists_each_purpose_with_what_it_takes_in(self):
        listed = subprocess.run([SETUP, "--list", "jkn"], capture_output=True, text=True)
        self.assertEqual([line.split("\t")[0] for line in listed.stdout.splitlines()],
                         JKN_PACKAGES)
        ci = subprocess.run([SETUP, "--list", "ci"], capture_output=True, text=True)
        names = [line.split("\t")[0] for line in ci.stdout.splitlines()]
        self.assertEqual(len(names), len(set(names)), "a package listed twice")
        for purpose in ["tests", "bench", "fuzz", "windows", "package"]:
            part = subprocess.run([SETUP, "--list", purpose], capture_output=True, text=True)
            self.assertTrue(set(l.split("\t")[0] for l in part.stdout.splitlines()) <= set(names),
                            purpose)
        tests = subprocess.run([SETUP, "--list", "tests"], capture_output=True, text=True)
        self.assertEqual(tests.stdout.splitlines()[:5], listed.stdout.splitlines())

    def test_installs_only_what_is_missing(self):
        self.debian(["cmake", "g++", "make", "nlohmann-json3-dev"])
        result, calls = self.run_setup("jkn")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(calls, ["apt-get update -qq", "apt-get install -y -qq libcli11-dev"])
        self.assertEqual(result.stdout, "scripts/setup: installing libcli11-dev\n")

    def test_nothing_missing_runs_no_apt_get(self):
        self.debian(JKN_PACKAGES)
        result, calls = self.run_setup("jkn")
        self.assertEqual((result.returncode, calls), (0, []))
        self.assertEqual(result.stdout, "scripts/setup: the 5 packages for jkn are installed\n")

    def test_another_user_installs_through_sudo_or_is_told_to_be_root(self):
        self.debian(["cmake", "g++", "make"], uid=1000)
        result, calls = self.run_setup("jkn")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(calls, ["sudo", "apt-get update -qq", "sudo",
                                 "apt-get install -y -qq libcli11-dev nlohmann-json3-dev"])
        os.remove(os.path.join(self.bin, "sudo"))
        os.remove(self.log)
        result, calls = self.run_setup("jkn")
        self.assertEqual((result.returncode, calls), (1, []))
        self.assertEqual(result.stderr, "scripts/setup: installing libcli11-dev nlohmann-json3-dev "
                         "needs root, and there is no sudo: run it as root\n")

    def test_a_failed_install_fails(self):
        self.debian([], apt_status=100)
        result, calls = self.run_setup("jkn")
        self.assertEqual((result.returncode, calls), (1, ["apt-get update -qq"]))

    def test_without_apt_get_names_upstream_packages_and_fails(self):
        result, calls = self.run_setup("jkn")
        self.assertEqual((result.returncode, calls, result.stdout), (1, [], ""))
        self.assertEqual(result.stderr.splitlines(), [
            "scripts/setup: this machine has no apt-get; install these with its own package "
            "manager,",
            "then run the rest of the command (from 'cmake' on):",
            "  CMake 3.20 or later",
            "  a C++17 compiler and a C compiler (GCC or Clang)",
            "  make",
            "  CLI11",
            "  nlohmann/json 3",
        ])

    def test_refuses_an_unknown_purpose(self):
        self.debian([])
        for args in [(), ("jnk",), ("--list",)]:
            result, calls = self.run_setup(*args)
            self.assertEqual((result.returncode, calls), (2, []), args)
            self.assertIn("usage: scripts/setup", result.stderr)


def words(text):
    return re.sub(r"\s+", " ", text).strip()


class ConfigureWithoutADependency(unittest.TestCase):
    """Plain cmake with one dependency hidden: one sentence, the package and the way out."""

    def configure(self, *options):
        build = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, build)
        result = subprocess.run([CMAKE, "-S", SOURCE, "-B", build, *options],
                                capture_output=True, text=True)
        return result, build

    def test_each_missing_dependency_is_named_with_the_option_that_builds_without_it(self):
        cases = [
            (["-DCMAKE_DISABLE_FIND_PACKAGE_CLI11=ON", "-DTRASSOJKN_BUILD_TESTS=OFF"],
             "jkn needs CLI11 (Debian: libcli11-dev), which was not found: install it with "
             "scripts/setup jkn, or configure with -DTRASSOJKN_BUILD_JKN=OFF to build the "
             "library alone."),
            (["-DCMAKE_DISABLE_FIND_PACKAGE_nlohmann_json=ON", "-DTRASSOJKN_BUILD_TESTS=OFF"],
             "jkn needs nlohmann_json 3 (Debian: nlohmann-json3-dev), which was not found: "
             "install it with scripts/setup jkn, or configure with -DTRASSOJKN_BUILD_JKN=OFF to "
             "build the library alone."),
            (["-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON", "-DTRASSOJKN_BUILD_TESTS=ON",
              "-DTRASSOJKN_BUILD_JKN=OFF"],
             "The tests need GoogleTest (Debian: libgtest-dev), which was not found: install it "
             "with scripts/setup tests, or configure with -DTRASSOJKN_BUILD_TESTS=OFF to build "
             "without the tests."),
        ]
        for options, sentence in cases:
            result, _ = self.configure(*options)
            self.assertNotEqual(result.returncode, 0, options)
            self.assertIn(sentence, words(result.stderr), options)
            self.assertNotIn("package configuration file", result.stderr, options)

    def test_the_library_alone_needs_neither(self):
        result, _ = self.configure("-DTRASSOJKN_BUILD_JKN=OFF", "-DTRASSOJKN_BUILD_TESTS=OFF",
                                   "-DCMAKE_DISABLE_FIND_PACKAGE_CLI11=ON",
                                   "-DCMAKE_DISABLE_FIND_PACKAGE_nlohmann_json=ON",
                                   "-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON")
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_a_part_whose_tool_is_missing_is_reported_as_skipped(self):
        result, build = self.configure("-DTRASSOJKN_BUILD_TESTS=ON",
                                       "-DCMAKE_DISABLE_FIND_PACKAGE_Python3=ON",
                                       "-DTRASSOJKN_MCS=/nonexistent/mcs",
                                       "-DTRASSOJKN_CLANGXX=/nonexistent/clang++")
        self.assertEqual(result.returncode, 0, result.stderr)
        run = subprocess.run([os.path.join(os.path.dirname(CMAKE), "ctest"), "--test-dir", build,
                              "-R", "skipped:"], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stdout)
        skipped = sorted(re.findall(r"^\s*\d+ - (.*) \(Skipped\)$", run.stdout, re.M))
        python = "(skipped: no Python 3 interpreter, install python3 (scripts/setup tests))"
        self.assertEqual(skipped, [
            "consumers.csharp_consumer (skipped: mcs or mono not found, install mono-mcs and "
            "mono-runtime (scripts/setup tests))",
            "consumers.libcxx_consumer (skipped: clang++ not found, install clang, libc++-dev and "
            "libc++abi-dev (scripts/setup tests))",
            "consumers.readme_examples (skipped: python3, mcs, Mono's code page 932 not found, "
            "install them with scripts/setup tests)",
            "interface.generated_files_are_current " + python,
            "python.installed_tree " + python,
            "python.trassojkn " + python,
            "setup.script_and_missing_dependencies " + python,
        ])
        self.assertIn("consumers.csharp_consumer is not built and ctest reports it as skipped",
                      words(result.stderr))


if __name__ == "__main__":
    unittest.main()
