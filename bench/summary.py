#!/usr/bin/env python3
"""Reads the JSON results of the benchmarks (one file per benchmark program)
and prints one table: each measure, our time, the peer's time, the ratio
peer / ours (above 1: we are faster) and the goal for that ratio.

Usage: bench/summary.py RESULT.json...

Names pair our side with its peers:
  Measure/kor and Measure/<peer>              (files, decimal, pictures, ui)
  BM_Kor<Op>/n and BM_MuParser<Op>/n          (expressions)
  BM_<Case><Kor> and BM_<Case><Libc|Mi>       (allocator)
  BM_Collate<Case> against BM_ByteCompare     (collation)
Times are CPU time per iteration (the median when repeated), except for a
measure run on wall-clock time (a name ending in "/real_time": it waits for
the disk), which is compared on wall-clock time. "/iterations:n" is ignored.
"""
import json
import re
import sys

# Goals for the ratio peer / ours, by measure prefix. A measure without a
# goal shows "-"; a peer that is a lower bound of what is possible ("floor")
# is there to show the distance, not to be reached.
GOALS = [
    (r"^DosScan(1K|4K)$", "0.5"),
    (r"^OpenMainWindow$", "0.67"),  # at most 1.5 times the dialog manager's time
    (r"^Events(FromMessages)?$", "0.5"),
    (r"^VelBulkAdd$", "2.0"),
    (r"^VelKeyScan$", "2.0"),
    (r"^VelRandomGet$", "1.5"),
    (r"^VelDurableAdd$", "1.0"),
    (r"^BrowsePage(Middle|End)$", "0.5"),  # a page fill at most twice the plain reads
]
FLOORS = {"int64", "pages"}


def side_of(name):
    """(measure, side) of a benchmark name, or None when it pairs with nothing."""
    m = re.match(r"^(.*)/kor$", name)
    if m:
        return m.group(1), "kor"
    m = re.match(r"^BM_(Kor|MuParser)(\w+)/(\d+)$", name)
    if m:
        return f"Expr{m.group(2)}/{m.group(3)}", m.group(1).lower()
    m = re.match(r"^BM_(\w+)<(Kor|Libc|Mi)>(?:/(\d+))?$", name)
    if m:
        measure = "Alloc" + m.group(1) + (f"/{m.group(3)}" if m.group(3) else "")
        return measure, m.group(2).lower()
    m = re.match(r"^BM_Collate(\w+)$", name)
    if m:
        return "Collate" + m.group(1), "kor"
    if name == "BM_ByteCompare":
        return "*Collate", "bytes"
    m = re.match(r"^(.*)/([A-Za-z0-9_]+)$", name)
    if m:
        return m.group(1), m.group(2).lower()
    return None


def load(paths):
    times = {}  # (measure, side) -> ns
    for path in paths:
        with open(path) as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            if b.get("error_occurred"):
                print(f"error in {b['name']}: {b.get('error_message', '')}")
                continue
            name = b.get("run_name", b["name"])
            real = name.endswith("/real_time")
            name = re.sub(r"(/iterations:\d+)?(/real_time)?$", "", name)
            if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
                continue
            paired = side_of(name)
            if paired is None:
                continue
            scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
            times[paired] = b["real_time" if real else "cpu_time"] * scale
    return times


def goal_for(measure, peer):
    if peer in FLOORS:
        return "floor"
    for pattern, goal in GOALS:
        if re.search(pattern, measure):
            return goal
    return "-"


def main(paths):
    times = load(paths)
    rows = []
    for (measure, side), ours in sorted(times.items()):
        if side != "kor":
            continue
        for (peer_measure, peer), theirs in sorted(times.items()):
            if peer == "kor":
                continue
            shared = peer_measure == "*Collate" and measure.startswith("Collate")
            if peer_measure != measure and not shared:
                continue
            rows.append((measure, peer, ours, theirs, theirs / ours, goal_for(measure, peer)))
    header = ("measure", "peer", "ours ns", "peer ns", "peer/ours", "goal")
    widths = [max(len(str(x)) for x in col) for col in zip(header, *[
        (r[0], r[1], f"{r[2]:.1f}", f"{r[3]:.1f}", f"{r[4]:.2f}", r[5]) for r in rows])]
    line = "  ".join("{:<%d}" % w for w in widths)
    print(line.format(*header))
    for r in rows:
        mark = ""
        if r[5] not in ("-", "floor") and r[4] < float(r[5]):
            mark = "  below goal"
        print(line.format(r[0], r[1], f"{r[2]:.1f}", f"{r[3]:.1f}", f"{r[4]:.2f}", r[5]) + mark)


if __name__ == "__main__":
    main(sys.argv[1:])
