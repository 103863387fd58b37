#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Finds result codes of the serial-link library written as bare numbers.

  result_names_test.py ROOT

The library, the handheld's link and the transfer dialog name every result code as vlnkw32.h
does (VLNK_WAITING, not 213): a number in code that compares with, returns or
assigns one of 201..232 is reported with its place. Comments and
string literals are left alone.
"""
import pathlib
import re
import sys

CODE = re.compile(r"(?:\breturn|\bcase|==|!=|[=?:,{])\s*(2(?:0[1-9]|[12]\d|3[0-2]))(?![\d.'])")
STRING = re.compile(r'"(?:[^"\\]|\\.)*"' + r"|'(?:[^'\\]|\\.)*'")


def bare_codes(path):
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        code = STRING.sub('""', line).split("//", 1)[0]
        for match in CODE.finditer(code):
            yield number, match.group(1), line.strip()


def main(root):
    root = pathlib.Path(root)
    found = 0
    for folder in ("src/vlnk", "src/handheld", "src/transfer"):
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h") or path.name == "vlnkw32.h":
                continue
            for number, code, line in bare_codes(path):
                print(f"{path.relative_to(root)}:{number}: {code} in '{line}'")
                found += 1
    print(f"{0 if found else 1} passed, {1 if found else 0} failed")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
