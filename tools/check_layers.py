#!/usr/bin/env python3
"""Checks the tree's layering: every quoted include points to a folder of
lower rank (or the same folder), folders of equal rank never include each
other, the folder graph has no cycle, and <windows.h> appears only where the
platform is allowed.

Usage: tools/check_layers.py [ROOT]     exit 0 clean, 1 with one line per fault

The rank table below is the architecture (ARCHITECTURE.md explains it). A
folder not in the table is a fault too, so a new folder must be ranked here.
"""
import os
import re
import sys

# (folder, rank). A file belongs to the longest folder that prefixes its path.
# Equal ranks are peers: neither may include the other.
RANKS = [
    ("resources", 0),          # message list and compiled resources (data)
    ("runtime/os", 1),         # operating-system layer, profiles, message table
    ("runtime/memory", 2),     # allocator and runtime log
    ("runtime/core", 3),       # modules, start-up and halt, error state, queues
    ("runtime/locale", 4),     # collation, locale, environment file
    ("runtime/pictures", 5),   # dates, picture compiler, FORMAT/DEFORMAT
    ("runtime/values", 6),     # data types, string and decimal stacks, values
    ("runtime/builtins", 7),   # the language's entries that work on the stacks
    ("runtime/expr", 8),       # expression evaluation
    ("runtime", 9),            # the runtime's initialisation table
    ("files", 10),             # driver interface, dispatcher, trace, dump
    ("files/dos", 11),         # the drivers: peers
    ("files/velocore", 11),
    ("files/view", 11),
    ("files/registry", 12),    # the one place that names the drivers
    ("ui/resource", 10),       # portable resource decoding
    ("ui", 11),                # windows and the event loop
    ("ui/controls", 12),       # controls, list box, dialogs
    ("dde", 12),               # DDE client (posts events through ui/)
    ("app/core", 19),          # the application's portable part
    ("app", 20),               # the application joins everything
    # Programs and tests: on top, and nothing else includes them.
    ("tools", 30),
    ("sim", 30),
    ("tests", 30),
    ("bench", 30),
    ("fuzz", 30),
]
TOP_RANK = 30

# Besides the rank rule: pairs (folder, forbidden folder prefix).
FORBIDDEN = [
    ("ui", "files"),           # the window library never reaches the files
    ("dde", "files"),
]

# Where <windows.h> may be included (path prefixes and patterns).
WINDOWS_ALLOWED = [
    re.compile(r"^runtime/os/[^/]*_win32\.cc$"),
    re.compile(r"^runtime/os/os\.h$"),  # only names it in a comment
    re.compile(r"^ui/(?!resource/)"),
    re.compile(r"^dde/"),
    re.compile(r"^app/(?!core/)"),
    re.compile(r"^sim/"),
    re.compile(r"^tools/robot/"),
    re.compile(r"^tests/programs/[^/]*_win\.cc$"),
    re.compile(r"^bench/[^/]*_win\.(cc|h)$"),  # the platform's own peers under Wine
]

SOURCE_EXT = (".cc", ".h", ".inc", ".cpp")
SKIP_DIRS = {"build", ".git", ".ci", "cmake"}
INCLUDE_RE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(path):
    best = None
    for folder, rank in RANKS:
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best[0]):
                best = (folder, rank)
    return best


def sources(root):
    for dirpath, dirnames, filenames in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root)
        dirnames[:] = sorted(d for d in dirnames
                             if not (rel_dir == "." and d in SKIP_DIRS) and not d.startswith("."))
        for name in sorted(filenames):
            if name.endswith(SOURCE_EXT):
                yield os.path.normpath(os.path.join(rel_dir, name))


def check(root):
    faults = []
    edges = {}
    for path in sources(root):
        here = folder_of(path)
        if here is None:
            faults.append(f"{path}: folder has no rank in tools/check_layers.py")
            continue
        with open(os.path.join(root, path), encoding="latin-1") as f:
            lines = f.readlines()
        for number, line in enumerate(lines, 1):
            m = INCLUDE_RE.match(line)
            if not m:
                continue
            kind, target = m.groups()
            where = f"{path}:{number}"
            if kind == "<":
                if target.lower() == "windows.h" and not any(p.search(path) for p in WINDOWS_ALLOWED):
                    faults.append(f"{where}: <windows.h> outside the platform's folders")
                continue
            there = folder_of(target)
            if there is None:
                if os.path.exists(os.path.join(root, target)):
                    faults.append(f"{where}: includes {target}, whose folder has no rank")
                continue
            if there[0] == here[0]:
                continue
            edges.setdefault(here[0], set()).add(there[0])
            if there[1] >= TOP_RANK:
                if not there[0].split("/")[0] == here[0].split("/")[0]:
                    faults.append(f"{where}: includes {target}; nothing includes {there[0]}/")
            elif there[1] > here[1]:
                faults.append(f"{where}: includes {target}, which runs upward ({here[0]} rank {here[1]} -> {there[0]} rank {there[1]})")
            elif there[1] == here[1] and here[1] < TOP_RANK:
                faults.append(f"{where}: includes {target}, a peer ({here[0]} and {there[0]} never include each other)")
            for folder, banned in FORBIDDEN:
                if (here[0] == folder or here[0].startswith(folder + "/")) and \
                        (there[0] == banned or there[0].startswith(banned + "/")):
                    faults.append(f"{where}: {folder}/ never includes {banned}/")
    faults.extend(cycles(edges))
    return faults


def cycles(edges):
    """Reports each group of folders that include each other in a circle
    (a strongly connected component of the folder graph) once."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(edges.get(node, ())):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                found.append("cycle between folders: " + ", ".join(sorted(group)))

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    faults = check(os.path.abspath(root))
    for fault in faults:
        print(fault)
    if faults:
        print(f"layering: {len(faults)} fault(s)")
        return 1
    print("layering: clean")
    return 0


if __name__ == "__main__":
    sys.exit(main())
