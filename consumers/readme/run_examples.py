"""Runs the README's examples of "Calling it from other languages" as written.

    run_examples.py README CMAKE BUILD_DIR

Installs the build into a fresh prefix; then for each language (a "### "
heading of that section) writes its program (the first code block: app.c,
app.cpp, app.py or Demo.cs), runs its ```sh block with `prefix` set and the
roots in fresh folders, and compares what it prints with its ```text block,
the roots' folder shown as /tmp/demo. Last, the catalogue walk-through (the
```sh block after "The catalogues and tools") must succeed against the
installed jkn. Exits non-zero on any difference.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

FILES = {"c": "app.c", "cpp": "app.cpp", "python": "app.py", "csharp": "Demo.cs"}


def blocks(text):
    """The fenced blocks of text: (language, body), in order."""
    return re.findall(r"^```(\w*)\n(.*?)^```$", text, re.M | re.S)


def examples(readme):
    """(heading, language, program, commands, output) of each example."""
    section = readme.split("\n## Calling it from other languages\n", 1)[1].split("\n## ", 1)[0]
    found = []
    for part in re.split(r"^### ", section, flags=re.M)[1:]:
        heading = part.split("\n", 1)[0]
        fenced = blocks(part)
        program = next((b for b in fenced if b[0] in FILES), None)
        commands = next((b[1] for b in fenced if b[0] == "sh"), None)
        output = next((b[1] for b in fenced if b[0] == "text"), None)
        if program and commands and output is not None:
            found.append((heading, program[0], program[1], commands, output))
    return found


def run(commands, work, env):
    return subprocess.run(["bash", "-e", "-c", commands], cwd=work, env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def fresh_roots(work, env):
    for name, variable in [("tablet", "KORVEL_APPDATA_0"), ("tablet-data", "KORVEL_APPDATA_1")]:
        root = os.path.join(work, name)
        shutil.rmtree(root, ignore_errors=True)
        os.makedirs(os.path.join(root, "inf"))
        env[variable] = root


def main():
    readme_path, cmake, build = sys.argv[1:4]
    with open(readme_path, encoding="utf-8") as f:
        readme = f.read()
    found = examples(readme)
    languages = sorted(language for _, language, _, _, _ in found)
    if languages != sorted(FILES):
        sys.exit("the README has examples in %s, expected %s" % (languages, sorted(FILES)))
    failures = 0
    with tempfile.TemporaryDirectory(prefix="trassojkn-readme-") as work:
        prefix = os.path.join(work, "prefix")
        plain = {k: v for k, v in os.environ.items() if k != "LD_PRELOAD"}
        subprocess.run([cmake, "--install", build, "--prefix", prefix], env=plain, check=True,
                       stdout=subprocess.DEVNULL)
        env = {k: v for k, v in os.environ.items()
               if k not in ("TRASSOJKN_LIBRARY", "PYTHONPATH", "LD_LIBRARY_PATH")}
        env["prefix"] = prefix
        for heading, language, program, commands, output in found:
            folder = os.path.join(work, language)
            os.makedirs(folder)
            with open(os.path.join(folder, FILES[language]), "w", encoding="utf-8") as f:
                f.write(program)
            fresh_roots(work, env)
            done = run(commands, folder, env)
            printed = done.stdout.decode("utf-8", "replace").replace(work, "/tmp/demo")
            if done.returncode != 0 or printed != output:
                failures += 1
                print("FAIL %s (status %d)\n--- printed:\n%s--- expected:\n%s--- stderr:\n%s"
                      % (heading, done.returncode, printed, output,
                         done.stderr.decode("utf-8", "replace")))
            else:
                print("ok: %s" % heading)

        walk = readme.split("The catalogues and tools have commands of their own", 1)[1]
        commands = next(b[1] for b in blocks(walk) if b[0] == "sh")
        fresh_roots(work, env)
        done = run(commands, work, env)
        if done.returncode != 0:
            failures += 1
            print("FAIL the catalogue walk-through (status %d):\n%s%s" % (
                done.returncode, done.stdout.decode(errors="replace"),
                done.stderr.decode(errors="replace")))
        else:
            print("ok: the catalogue walk-through")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
