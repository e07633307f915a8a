"""Installs the build into a fresh prefix and uses the module from there.

    check_installed.py CMAKE BUILD_DIR PREFIX [CONFIG]

The module must find the library of its own tree, without TRASSOJKN_LIBRARY,
and settings must go through it to the files. Exits non-zero on any fault.
"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile

# Run in the installed tree: which files it uses, then one write, read and
# reset with the exact file bytes.
CHECK = r'''
import os, sys, trassojkn
prefix = os.path.realpath(sys.argv[1])
for what, path in [("module", trassojkn.__file__), ("library", trassojkn.library_path)]:
    path = os.path.realpath(path)
    if not path.startswith(prefix + os.sep):
        sys.exit("%s %s lies outside %s" % (what, path, prefix))
    print(what, os.path.relpath(path, prefix))
gnss = os.path.join(os.environ["KORVEL_APPDATA_0"], "inf", "jkn-gnss.ini")
def data():
    with open(gnss, "rb") as f:
        return f.read()
steps = [
    (trassojkn.get("GNSS_MaskElev", "svy"), "15"),
    (trassojkn.set("GNSS_MaskElev", "svy", "20"), None),
    (data(), b"[GNSS]\r\nMaskElev_Svy=20\r\n"),
    (trassojkn.get("GNSS_MaskElev", "svy"), "20"),
    (trassojkn.reset("GNSS_MaskElev", "svy"), None),
    (data(), b"[GNSS]\r\n"),
    (trassojkn.get("GNSS_MaskElev", "svy"), "15"),
]
for n, (got, expected) in enumerate(steps):
    if got != expected:
        sys.exit("step %d: %r, expected %r" % (n, got, expected))
'''


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

    package = os.path.join(prefix, "lib", "python3", "dist-packages", "trassojkn")
    source = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                          "trassojkn", "__init__.py")
    if not filecmp.cmp(source, os.path.join(package, "__init__.py"), shallow=False):
        sys.exit("installed %s differs from %s" % (package, source))

    with tempfile.TemporaryDirectory(prefix="trassojkn-installed-") as root:
        os.makedirs(os.path.join(root, "inf"))
        env["KORVEL_APPDATA_0"] = root
        env["KORVEL_APPDATA_1"] = root
        env["PYTHONPATH"] = os.path.dirname(package)
        # -B: nothing written into the installed tree; -I would drop PYTHONPATH.
        done = subprocess.run([sys.executable, "-B", "-c", CHECK, prefix], env=env, cwd=root)
    if done.returncode != 0:
        sys.exit("the installed module failed (status %d)" % done.returncode)
    print("installed tree at %s works" % prefix)


if __name__ == "__main__":
    main()
