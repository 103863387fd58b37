#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs every example command of a document as the text gives it.

An example command is
  - in a Markdown file: every line of an indented code block (four spaces,
    after a blank line);
  - in a manual page: every .B line between .RS and .RE in the section
    EXAMPLES (or BEISPIELE), with the roff escapes read back.
Each line is run literally by bash, in the order of the text, all lines of
one document in one shell (so a later line may use what an earlier one
wrote, and a line ending in "&" runs beside the following ones until the
document is done), in a fresh folder with its own HOME and XDG folders.

The folder holds what the examples name: `samples/` (a copy of ours),
`examples` (the library's example program, as the source tree has it),
`build` (the build tree, so `build/src/tool/tresmon-tool` is the program we
built), and for the manual pages, which speak of files in general, these
copies of the samples:
  strecke.tsd, strecke-2026.tsd, demo.tsd, survey.tsd  <- samples/demo.tsd
  strecke-2025.tsd                                     <- samples/earlier-year.tsd
  nativ.tsd                                            <- samples/native.tsd
  leitung.geojson, demo-leitung.geojson                <- samples/demo-leitung.geojson
The build tree's programs come first on PATH. For cmdvlnk(1) a simulator
registered as COM1 serves a fresh handheld: the surveys in \\TRE\\DATEN.

A line passes when it ends with exit status 0 and every file it names as
its output exists afterwards, written by it and not empty: the word after
`-o` (other than `-`), after `>`, and the files a `/RX=PATTERN` of cmdvlnk
receives (the pattern matches at least one). The lines that cannot run here
are listed in EXCLUDED with the reason; an entry that matches no line fails
the test, so the list cannot outlive the text. For a manual page the page
the build made of it (build/doc/man/PAGE, which README points `man -l` at)
must carry the project's version instead of its placeholder.

Usage: examples.py SOURCE_DIR BUILD_DIR DOCUMENT PATH_DIR...
"""
import glob
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile

# Per document: line prefix -> why the line is not run here.
EXCLUDED = {"README.md": {
    "./scripts/demo.sh": "installs packages and builds a second tree, minutes of work",
    "./scripts/test.sh": "runs this very suite",
    "./scripts/try-transfer.sh": "waits for a person at the window",
    "cmake -S . -B build-pkg": "the package build; install.debian-packages runs it",
    "cmake --build build-pkg": "the package build; install.debian-packages runs it",
    "sudo apt-get install ./build-pkg/": "installs packages on this machine",
    "cc -std=c99 receive.c": "needs the installed library; install.dev-tree builds the example",
    "find_package(": "CMake, not a shell command",
    "target_link_libraries(": "CMake, not a shell command",
    "CREATE ROLE": "SQL for psql on the team's server, not a shell command",
    "CREATE DATABASE": "SQL for psql on the team's server, not a shell command",
    "CREATE EXTENSION": "SQL for psql on the team's server, not a shell command",
    "\\c ": "a psql command, not a shell command",
    "GRANT ": "SQL for psql on the team's server, not a shell command",
    "ALTER DEFAULT PRIVILEGES": "SQL for psql on the team's server, not a shell command",
}}

MAN_FILES = {
    "strecke.tsd": "demo.tsd",
    "strecke-2026.tsd": "demo.tsd",
    "demo.tsd": "demo.tsd",
    "survey.tsd": "demo.tsd",
    "strecke-2025.tsd": "earlier-year.tsd",
    "nativ.tsd": "native.tsd",
    "leitung.geojson": "demo-leitung.geojson",
    "demo-leitung.geojson": "demo-leitung.geojson",
}

ROFF_ESCAPES = [
    ("\\(dq", '"'), ("\\(aq", "'"), ("\\(em", "--"), ("\\-", "-"), ("\\e", "\\"),
    ("\\fB", ""), ("\\fI", ""), ("\\fR", ""), ("\\fP", ""), ("\\&", ""), ("\\%", ""),
]


def markdown_commands(text):
    commands, previous_blank, in_block = [], True, False
    for line in text.splitlines():
        if line.startswith("    ") and line.strip() and (in_block or previous_blank):
            commands.append(line.strip())
            in_block = True
        elif line.strip():
            in_block = False
        previous_blank = not line.strip()
    return commands


def roff_text(line):
    for escape, plain in ROFF_ESCAPES:
        line = line.replace(escape, plain)
    return line


def man_commands(text):
    commands, in_examples, in_block = [], False, False
    for line in text.splitlines():
        if line.startswith(".SH"):
            in_examples = line.split(None, 1)[1:] in (["EXAMPLES"], ["BEISPIELE"])
        elif in_examples and line.startswith(".RS"):
            in_block = True
        elif line.startswith(".RE"):
            in_block = False
        elif in_examples and in_block and line.startswith(".B "):
            commands.append(roff_text(line[3:]).strip())
    return commands


def excluded(document, command):
    return any(command.startswith(prefix) for prefix in EXCLUDED.get(document, {}))


def named_outputs(command, env):
    """The files the command says it writes."""
    try:
        words = shlex.split(command, comments=True)
    except ValueError:
        return [], []
    files, patterns = [], []
    for i, w in enumerate(words):
        if w in ("-o", ">") and i + 1 < len(words) and words[i + 1] != "-":
            files.append(words[i + 1])
        elif w.startswith(">") and len(w) > 1:
            files.append(w[1:])
        elif w.upper().startswith("/RX="):
            patterns.append(w[4:])
    expand = lambda p: os.path.expandvars(p.replace("$HOME", env["HOME"]))
    return [expand(f) for f in files], [expand(p) for p in patterns]


def prepare(folder, source, document):
    shutil.copytree(os.path.join(source, "samples"), os.path.join(folder, "samples"))
    shutil.copytree(os.path.join(source, "examples"), os.path.join(folder, "examples"))
    if document.endswith(".1"):
        for name, sample in MAN_FILES.items():
            shutil.copy(os.path.join(source, "samples", sample), os.path.join(folder, name))
    env = dict(os.environ)
    for var, sub in (("HOME", "home"), ("XDG_CONFIG_HOME", "home/.config"),
                     ("XDG_DATA_HOME", "home/.local/share"), ("XDG_RUNTIME_DIR", "run"),
                     ("VLNK_DIR", "vlnk")):
        env[var] = os.path.join(folder, sub)
        os.makedirs(env[var], mode=0o700, exist_ok=True)
    return env


def start_handheld(folder, env):
    """A fresh handheld on COM1 for cmdvlnk(1): its surveys in \\TRE\\DATEN."""
    root = os.path.join(folder, "handheld")
    os.makedirs(os.path.join(root, "TRE", "DATEN"))
    shutil.copy(os.path.join(folder, "samples", "demo.tsd"), os.path.join(root, "TRE", "DATEN", "DEMO.TSD"))
    sim = subprocess.Popen(["vlnk-handheld-sim", "--root", root, "--ini-port", "COM1"], env=env, cwd=folder,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
    # Its first line, the terminal's path, comes once COM1 is registered;
    # nothing comes when it ends first.
    if sim.stdout.readline().strip():
        return sim
    sim.kill()
    sys.exit("examples: the simulator did not register COM1")


def script_for(commands):
    # The statuses go to a file of their own, so no example's output can fake one.
    lines = ["trap 'kill $(jobs -p) 2>/dev/null; wait' EXIT"]
    for i, c in enumerate(commands):
        lines.append("printf '\\n$ %s\\n' " + shlex.quote(c) + " >&2")
        lines.append(c)
        lines.append(f"echo \"{i} $?\" >>\"$TRES_EXAMPLE_STATUS\"")
    return "\n".join(lines) + "\n"


def main():
    source, build, document, path_dirs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    with open(os.path.join(source, document), encoding="utf-8") as f:
        text = f.read()
    found = man_commands(text) if document.endswith(".1") else markdown_commands(text)
    commands = [c for c in found if not excluded(document, c)]
    failures = []
    for prefix in EXCLUDED.get(document, {}):
        if not any(c.startswith(prefix) for c in found):
            failures.append(f"excluded line no longer in the text: {prefix}")
    if document.endswith(".1"):
        # What `man -l build/doc/man/PAGE` shows, as README says: the page with its version.
        generated = os.path.join(build, "doc", "man", os.path.basename(document))
        if not os.path.isfile(generated) or "@PROJECT_VERSION@" in open(generated, encoding="utf-8").read():
            failures.append(f"{generated} is missing or carries no version")
    if not found and document.endswith(".1") and not re.search(r"^\.SH (EXAMPLES|BEISPIELE)", text, re.M):
        print(f"{document} has no examples")
        for f in failures:
            print("FAILED " + f)
        return 1 if failures else 0
    if not commands:
        sys.exit(f"examples: no example command found in {document}")

    folder = tempfile.mkdtemp(prefix="tres-examples-")
    os.symlink(build, os.path.join(folder, "build"))
    env = prepare(folder, source, document)
    env["PATH"] = os.pathsep.join(path_dirs + [env.get("PATH", "")])
    env["QT_QPA_PLATFORM"] = "offscreen"
    sim = start_handheld(folder, env) if os.path.basename(document) == "cmdvlnk.1" else None
    before = {}
    for c in commands:
        for f in named_outputs(c, env)[0]:
            if os.path.exists(os.path.join(folder, f)):
                before.setdefault(c, {})[f] = os.path.getmtime(os.path.join(folder, f))
    status_file = tempfile.NamedTemporaryFile(prefix="tres-examples-status-", delete=False)
    status_file.close()
    env["TRES_EXAMPLE_STATUS"] = status_file.name
    proc = subprocess.Popen(["bash", "-c", script_for(commands)], cwd=folder, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, start_new_session=True)
    try:
        output, _ = proc.communicate(timeout=600)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        output, _ = proc.communicate()
        failures.append("the examples did not end within 600 s")
    with open(status_file.name) as statuses:
        status = dict(line.split() for line in statuses.read().splitlines())
    os.unlink(status_file.name)
    if sim:
        os.killpg(sim.pid, signal.SIGTERM)
        sim.wait()
    sys.stdout.write(output.decode("utf-8", "replace"))

    for i, c in enumerate(commands):
        rc = status.get(str(i))
        if rc != "0":
            failures.append(f"exit status {rc if rc else 'none (not reached)'}: {c}")
            continue
        files, patterns = named_outputs(c, env)
        for f in files:
            p = os.path.join(folder, f)
            if not os.path.isfile(p) or os.path.getsize(p) == 0:
                failures.append(f"no output {f}: {c}")
            elif f in before.get(c, {}) and os.path.getmtime(p) == before[c][f]:
                failures.append(f"{f} not written: {c}")
        for pattern in patterns:
            if not glob.glob(os.path.join(folder, pattern)):
                failures.append(f"nothing received as {pattern}: {c}")
    print(f"\n{document}: {len(commands)} example commands run, {len(found) - len(commands)} excluded")
    for f in failures:
        print("FAILED " + f)
    if not failures:
        shutil.rmtree(folder, ignore_errors=True)
    else:
        print(f"(folder kept: {folder})")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
