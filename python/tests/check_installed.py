"""Uses the module as a user gets it: from an installed tree, and from pip.

    check_installed.py CMAKE BUILD_DIR PREFIX [CONFIG]

1. `cmake --install` into a fresh PREFIX: pkg-config's and the CMake package's
   version must be the module's; the module of that tree must find the
   library of its own tree, without TRASSOJKN_LIBRARY, and settings must go
   through it to the files.
2. `pip install --no-build-isolation --target` of a copy of python/ (offline,
   with the system's setuptools): the module pip installed runs the whole
   unittest suite, finding the library through the system's loader
   (LD_LIBRARY_PATH names PREFIX/lib).
Exits non-zero on any fault.
"""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)

# Run in the installed tree: which files it uses, then one write, read and
# reset with the exact file bytes.
CHECK = r'''
import os, sys, trassojkn
prefix = os.path.realpath(sys.argv[1])
for what, path in [("module", trassojkn.__file__), ("library", trassojkn.library_path)]:
    path = os.path.realpath(path)
    if not path.startswith(prefix + os.sep):
        sys.exit("%s %s lies outside %s" % (what, path, prefix))
gnss = os.path.join(os.environ["KORVEL_APPDATA_0"], "inf", "jkn-gnss.ini")
def data():
    with open(gnss, "rb") as f:
        return f.read()
steps = [
    (trassojkn.get("GNSS_MaskElev", "svy"), 15),
    (trassojkn.set("GNSS_MaskElev", 20, selector="svy"), None),
    (data(), b"[GNSS]\r\nMaskElev_Svy=20\r\n"),
    (trassojkn.get("GNSS_MaskElev", "svy"), 20),
    (trassojkn.reset("GNSS_MaskElev", selector="svy"), None),
    (data(), b"[GNSS]\r\n"),
]
for n, (got, expected) in enumerate(steps):
    if got != expected:
        sys.exit("step %d: %r, expected %r" % (n, got, expected))
'''


def pip_python():
    """An interpreter whose pip builds offline: this one, else the system's."""
    for python in [sys.executable, "/usr/bin/python3"]:
        probes = [[python, "-c", "import setuptools, wheel"], [python, "-m", "pip", "--version"]]
        if all(subprocess.run(p, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
               == 0 for p in probes):
            return python
    sys.exit("pip install needs pip, setuptools and wheel (Debian: python3-pip, "
             "python3-setuptools): install them with scripts/setup tests")


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    cmake, build, prefix = sys.argv[1:4]
    config = sys.argv[4] if len(sys.argv) == 5 else ""
    shutil.rmtree(prefix, ignore_errors=True)
    env = {k: v for k, v in os.environ.items()
           if k not in ("TRASSOJKN_LIBRARY", "PYTHONPATH", "DESTDIR", "LD_LIBRARY_PATH")}
    install = [cmake, "--install", build, "--prefix", prefix]
    if config:
        install += ["--config", config]
    # (A sanitizer runtime preloaded for the interpreter is not cmake's business.)
    plain = {k: v for k, v in env.items() if k != "LD_PRELOAD"}
    subprocess.run(install, env=plain, check=True, stdout=subprocess.DEVNULL)

    # One version everywhere: the module's, pkg-config's and the CMake package's.
    version = {}
    with open(os.path.join(SOURCE, "trassojkn", "_version.py")) as f:
        exec(f.read(), version)
    for folder, _, files in os.walk(prefix):
        for name, pattern in [("trassojkn.pc", "Version: %s\n"),
                              ("TrassoJknConfigVersion.cmake", 'set(PACKAGE_VERSION "%s")')]:
            if name in files:
                with open(os.path.join(folder, name)) as f:
                    if pattern % version["__version__"] not in f.read():
                        sys.exit("%s does not give version %s" % (name, version["__version__"]))
                version[name] = True
    if not {"trassojkn.pc", "TrassoJknConfigVersion.cmake"} <= set(version):
        sys.exit("the install lacks trassojkn.pc or TrassoJknConfigVersion.cmake")

    package = os.path.join(prefix, "lib", "python3", "dist-packages", "trassojkn")
    for name in ["__init__.py", "_library.py", "_version.py", "py.typed"]:
        with open(os.path.join(SOURCE, "trassojkn", name), "rb") as a, \
                open(os.path.join(package, name), "rb") as b:
            if a.read() != b.read():
                sys.exit("installed %s differs from the source" % name)

    with tempfile.TemporaryDirectory(prefix="trassojkn-installed-") as work:
        root = os.path.join(work, "root")
        os.makedirs(os.path.join(root, "inf"))
        env["KORVEL_APPDATA_0"] = env["KORVEL_APPDATA_1"] = root
        # -B: nothing written into the installed tree; -I would drop PYTHONPATH.
        done = subprocess.run([sys.executable, "-B", "-c", CHECK, prefix], cwd=work,
                              env=dict(env, PYTHONPATH=os.path.dirname(package)))
        if done.returncode != 0:
            sys.exit("the installed module failed (status %d)" % done.returncode)

        # pip builds in the folder it is given: a copy, so the sources stay clean.
        python = pip_python()
        shutil.copytree(SOURCE, os.path.join(work, "python"),
                        ignore=shutil.ignore_patterns("__pycache__", "build", "*.egg-info"))
        target = os.path.join(work, "site")
        subprocess.run([python, "-m", "pip", "install", "--no-build-isolation", "--no-index",
                        "--quiet", "--target", target, os.path.join(work, "python")],
                       env=plain, check=True, cwd=work)
        for name in ["__init__.py", "_version.py", "py.typed"]:
            if not os.path.isfile(os.path.join(target, "trassojkn", name)):
                sys.exit("pip did not install trassojkn/%s" % name)
        suite = dict(env, PYTHONPATH=target, LD_LIBRARY_PATH=os.path.join(prefix, "lib"))
        done = subprocess.run([python, "-B", os.path.join(HERE, "test_trassojkn.py")],
                              env=suite, cwd=work)
        if done.returncode != 0:
            sys.exit("the module pip installed failed its tests (status %d)" % done.returncode)
    print("installed tree and pip install of the module work")


if __name__ == "__main__":
    main()
