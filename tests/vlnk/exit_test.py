#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Ends a process that uses the library and checks that it ended cleanly.

  exit_test.py check COMMAND...
      runs COMMAND with a fresh library folder ($VLNK_DIR) and checks that it
      exited with status 0 without a sanitizer's report and that the log ends
      the session; when a channel
      was opened, the log also tells that it was closed.
  exit_test.py child LIBRARY SCENARIO [unload]
      the same scenarios as vlnk-exit-test, from Python through ctypes, the
      way a script or a plug-in host loads the library and never unloads it.
"""
import ctypes
import os
import subprocess
import sys
import tempfile
import threading


def check(command):
    with tempfile.TemporaryDirectory(prefix="vlnk-exit-") as folder:
        env = dict(os.environ, VLNK_DIR=folder)
        run = subprocess.run(command, env=env, stdin=subprocess.DEVNULL,
                             capture_output=True, text=True, timeout=60)
        try:
            with open(os.path.join(folder, "VLNKW.LOG"), encoding="latin-1") as f:
                log = f.read()
        except OSError:
            log = ""
    problems = []
    if run.returncode != 0:
        how = (f"signal {-run.returncode}" if run.returncode < 0
               else f"status {run.returncode}")
        problems.append(f"the process ended with {how}")
    # A sanitizer's report on one thread can lose the race against the exit
    # status that another thread's exit() sets.
    if "ERROR: AddressSanitizer" in run.stderr or "runtime error:" in run.stderr:
        problems.append("a sanitizer reported an error")
    if "Session started\n" not in log:
        problems.append("the log has no 'Session started'")
    if not log.endswith("Session terminated\n\n"):
        problems.append("the log does not end with 'Session terminated'")
    if "Channel opened as" in log and "Channel closed\n" not in log:
        problems.append("a channel was opened but the log never closed it")
    if problems:
        print("command:", " ".join(command))
        for problem in problems:
            print("FAILED:", problem)
        print("--- stderr ---\n" + run.stderr + "--- log ---\n" + log)
        return 1
    print("1 passed, 0 failed")
    return 0


def child(library_path, scenario, unload):
    library = ctypes.CDLL(library_path)
    library.VLNKOpenChannel.argtypes = [ctypes.c_int, ctypes.c_char_p]
    library.VLNKWriteLog.argtypes = [ctypes.c_int, ctypes.c_char_p]
    # The handheld's end of a pseudo-terminal, kept open so the port never
    # hangs up.
    master, slave = os.openpty()
    port = os.ttyname(slave).encode()
    library.VLNKWriteLog(0, scenario.encode())

    results = []

    def open_channel():
        results.append(library.VLNKOpenChannel(1, port))

    if scenario in ("closed", "open"):
        open_channel()
        if scenario == "closed" and library.VLNKCloseChannel(1) != 0:
            return 5
    elif scenario == "thread-open":
        thread = threading.Thread(target=open_channel)
        thread.start()
        thread.join()
    elif scenario == "exit-on-thread":
        open_channel()
        if results != [0]:
            return 4
        libc = ctypes.CDLL(None)
        # The C library's exit(), on a thread of its own while the main
        # thread waits: the process ends on that thread.
        thread = threading.Thread(target=lambda: libc.exit(0))
        thread.start()
        thread.join()
        return 7
    elif scenario != "idle":
        return 2
    if scenario != "idle" and results != [0]:
        print("VLNKOpenChannel:", results, file=sys.stderr)
        return 4
    if unload:
        import _ctypes
        handle = library._handle
        del library
        _ctypes.dlclose(handle)
    return 0


def main(argv):
    if len(argv) >= 2 and argv[0] == "check":
        return check(argv[1:])
    if len(argv) >= 3 and argv[0] == "child":
        return child(argv[1], argv[2], len(argv) > 3 and argv[3] == "unload")
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
