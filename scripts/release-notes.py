#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""CHANGELOG.md as the packages carry it: the Debian changelog (gzip, as
/usr/share/doc/PACKAGE/changelog.gz) and the release list of the AppStream
metainfo. Both begin at VERSION, the project's version: its own section in
CHANGELOG.md, or, while it has none, the unreleased changes dated now
(SOURCE_DATE_EPOCH when set).

  release-notes.py CHANGELOG.md VERSION "NAME <MAIL>" \\
      --debian OUT.gz --metainfo IN.xml OUT.xml
"""
import argparse
import datetime
import email.utils
import gzip
import os
import re
import sys
import textwrap

HEADING = re.compile(r"^## \[([^\]]+)\](?: - (\d{4}-\d{2}-\d{2}))?\s*$")


def sections(text):
    """[(version or None for Unreleased, date or None, body lines)], newest first."""
    found = []
    for line in text.splitlines():
        m = HEADING.match(line)
        if m:
            version = None if m.group(1).lower() == "unreleased" else m.group(1)
            found.append((version, m.group(2), []))
        elif line.startswith("## "):
            sys.exit(f"release-notes: a heading without [version] - date: {line}")
        elif found:
            found[-1][2].append(line)
    return found


def released(text, version):
    """The sections from VERSION down; VERSION's date is today while unreleased."""
    all_sections = sections(text)
    versions = [v for v, _, _ in all_sections]
    if version in versions:
        return [s for s in all_sections[versions.index(version):] if s[0]]
    if None not in versions:
        sys.exit(f"release-notes: CHANGELOG.md has neither [{version}] nor [Unreleased]")
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    now = datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc) if epoch else \
        datetime.datetime.now(datetime.timezone.utc)
    unreleased = next(s for s in all_sections if s[0] is None)
    return [(version, now.date().isoformat(), unreleased[2])] + [s for s in all_sections if s[0]]


def items(body):
    """The body as (heading or None, [paragraph or list item text])."""
    groups = [(None, [])]
    current = None
    for line in body + [""]:
        stripped = line.strip()
        if line.startswith("### "):
            groups.append((stripped[4:], []))
            current = None
        elif not stripped:
            current = None
        elif line.startswith("- ") or current is None:
            current = [stripped[2:] if line.startswith("- ") else stripped]
            groups[-1][1].append(current)
        else:
            current.append(stripped)
    return [(h, [" ".join(t).replace("`", "") for t in texts]) for h, texts in groups if texts]


def debian_entry(package, version, date, body, maintainer):
    lines = [f"{package} ({version}) unstable; urgency=medium", ""]
    for heading, texts in items(body):
        indent = "  * "
        if heading:
            lines.append(f"  * {heading}:")
            indent = "    - "
        for t in texts:
            lines += textwrap.wrap(t, 79, initial_indent=indent, subsequent_indent=" " * len(indent),
                                   break_on_hyphens=False)
    day = datetime.datetime.strptime(date, "%Y-%m-%d").replace(hour=12, tzinfo=datetime.timezone.utc)
    lines += ["", f" -- {maintainer}  {email.utils.format_datetime(day)}", ""]
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("changelog")
    parser.add_argument("version")
    parser.add_argument("maintainer")
    parser.add_argument("--package", default="tresmon")
    parser.add_argument("--debian")
    parser.add_argument("--metainfo", nargs=2, metavar=("IN", "OUT"))
    args = parser.parse_args()
    with open(args.changelog, encoding="utf-8") as f:
        notes = released(f.read(), args.version)

    if args.debian:
        text = "\n".join(debian_entry(args.package, v, d, b, args.maintainer) for v, d, b in notes)
        # No name and no time stamp in the header: the same text gives the same bytes.
        with open(args.debian, "wb") as raw, \
                gzip.GzipFile(filename="", mode="wb", fileobj=raw, compresslevel=9, mtime=0) as out:
            out.write(text.encode("utf-8"))
    if args.metainfo:
        with open(args.metainfo[0], encoding="utf-8") as f:
            template = f.read()
        releases = "\n".join(f'    <release version="{v}" date="{d}"/>' for v, d, _ in notes)
        if "@RELEASES@" not in template:
            sys.exit("release-notes: the metainfo template has no @RELEASES@")
        with open(args.metainfo[1], "w", encoding="utf-8") as f:
            f.write(template.replace("    @RELEASES@", releases))


if __name__ == "__main__":
    main()
