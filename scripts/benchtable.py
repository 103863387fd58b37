#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The performance goals and what the benchmark results in a folder say about
them: one line per goal with the measured medians and the ratio."""
import json
import pathlib
import re
import sys


def medians(folder):
    found = {}
    for path in sorted(pathlib.Path(folder).glob("*.json")):
        for b in json.loads(path.read_text()).get("benchmarks", []):
            if b.get("aggregate_name") not in (None, "median"):
                continue
            name = b.get("run_name", b["name"])
            unit = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
            entry = {"ms": b["real_time"] * unit, "cpu_ms": b["cpu_time"] * unit}
            entry.update({k: v for k, v in b.items() if isinstance(v, (int, float))})
            # Google Benchmark adds the case's settings to its name; the
            # goals name the case alone, with or without the BM_ prefix.
            bare = re.sub(r"/(iterations|repeats):\d+|/manual_time", "", name)
            for key in (name, bare, bare.removeprefix("BM_")):
                found.setdefault(key, entry)
    return found


# (measure, goal text, numerator case, denominator case, test on the ratio)
RATIOS = [
    ("tresmon-tool convert vs iconv", "<= 3x", "ToolConvert", "Iconv", lambda r: r <= 3),
    ("LibreOffice CSV vs tresmon-tool csv", ">= 50x", "LibreOfficeCsv", "ToolCsv", lambda r: r >= 50),
    # Ten times the rows, about ten times the time: linear, not quadratic.
    ("positions, 70,000 vs 7,000 rows", "<= 12x", "BM_Positions/70000", "BM_Positions/7000", lambda r: r <= 12),
]
for window in ("1000m", "all"):
    for size in ("800x400", "1920x1080"):
        for pane, bare in (("PaneRepaint", "BarePolyline"), ("GradientPaneRepaint", "BareGradientPolyline")):
            RATIOS.append((f"{pane}/{window}/{size} vs {bare}", "<= 3x", f"{pane}/{window}/{size}",
                           f"{bare}/{window}/{size}", lambda r: r <= 3))

TIMES = [
    ("pane repaint, 1000 m, 800x400", "<= 5 ms", "PaneRepaint/1000m/800x400", 5.0),
    ("pane repaint, 1000 m, 1920x1080", "<= 5 ms", "PaneRepaint/1000m/1920x1080", 5.0),
    ("graphic print per page", "<= 20 ms", "BM_GraphicPage", 20.0),
    ("table print per page", "<= 20 ms", "BM_TablePage", 20.0),
    ("protection assessment, 70,000 rows", "< 50 ms", "BM_AssessProtection/70000", 50.0),
    ("protection assessment, 70,000 rows, every other row failing", "< 50 ms", "BM_AssessProtectionDense/70000", 50.0),
    ("undo of a sort over 30,000 rows", "< 100 ms", "BM_UndoSort", 100.0),
]

# The paced receive runs as the design's caller (polling in a tight loop), as
# the program's transfer dialog (a short pause between polls) and as CMDVLNK
# (waiting for the library's messages); then the same with the simulated
# handheld in real time, as a real one runs on a CPU of its own (these are
# skipped without the right to do so).
COUNTERS = [
    (f"paced receive at 115200 baud vs wire time, {who}", "<= 1.10x",
     f"BM_Receive100K_Paced115200{case}/iterations:1/manual_time", "x_ideal", lambda v: v <= 1.10)
    for who, case in (("tight loop", ""), ("dialog", "_PausingCaller"), ("CMDVLNK", "_WaitingCaller"),
                      ("tight loop, handheld on its own CPU", "_PeerOwnCpu"),
                      ("dialog, handheld on its own CPU", "_PausingCaller_PeerOwnCpu"),
                      ("CMDVLNK, handheld on its own CPU", "_WaitingCaller_PeerOwnCpu"))
]


def main():
    m = medians(sys.argv[1] if len(sys.argv) > 1 else "build-bench/results")
    rows = []
    for text, goal, num, den, ok in RATIOS:
        if num in m and den in m:
            # Wall time: what a user waits for (run it on a quiet machine).
            r = m[num]["ms"] / m[den]["ms"]
            rows.append((text, goal, f"{m[num]['ms']:.3f} / {m[den]['ms']:.3f} ms = {r:.2f}x", ok(r)))
        else:
            rows.append((text, goal, "not measured", None))
    for text, goal, case, limit in TIMES:
        if case in m:
            v = m[case]["ms"]
            rows.append((text, goal, f"{v:.3f} ms", v <= limit))
        else:
            rows.append((text, goal, "not measured", None))
    for text, goal, case, counter, ok in COUNTERS:
        if case in m and counter in m[case]:
            v = m[case][counter]
            rows.append((text, goal, f"{v:.3f}x", ok(v)))
        else:
            rows.append((text, goal, "not measured", None))
    width = max(len(r[0]) for r in rows)
    print(f"{'measure':<{width}}  {'goal':<9} {'now':<36} met")
    for text, goal, now, ok in rows:
        print(f"{text:<{width}}  {goal:<9} {now:<36} {'-' if ok is None else ('yes' if ok else 'NO')}")


if __name__ == "__main__":
    main()
