#!/usr/bin/env python3
"""Checks the floors of the source tree: no file includes a file of a higher floor.

The floors, lowest first (README, "Layout"):

  engine     src/engine/ (any depth)       table files, code page, filters, local SQL
  core       src/core/                     the shared vocabulary
  subsystem  src/<subsystem>/ core files   plain names; also src/demo/
  cli        src/cli/                      dendrix-cli, over core and subsystem core files
  widgets    src/widgets/                  the widget foundation
  windows    src/<subsystem>/TForm*, Gui*  the windows and their widget helpers
  app        src/app/                      main() and the window registry

A file may include its own floor and the floors below it, and further:
  - the engine includes nothing but the engine, and no Qt header;
  - a subsystem's core file never includes a window file, of its own subsystem or any
    other; the subsystems' core files together form no include cycle between subsystems;
  - the command-line tool includes no widget, window or application file (but the
    area chart drawing, lists/GuiAreaChart.h);
  - a window never includes another subsystem's TForm window, and no window but the
    application includes the main window (shell/TFormDendrix.h);
  - no floor below the widget foundation includes a QtWidgets or QtPrintSupport header
    (when --widget-header-dir names where those headers are).

Usage: check-layers.py [--src DIR] [--widget-header-dir DIR]... [--stamp FILE]
Prints one line per offending include ("file:line: ...") and exits 1 when there is any;
with --stamp, touches FILE when the tree is clean (for the build).
"""

import argparse
import os
import re
import sys

SUBSYSTEMS = {"shell", "description", "maintenance", "sieves", "lists", "reports", "printing", "export", "demo"}
FLOORS = ["engine", "core", "subsystem", "cli", "widgets", "windows", "app"]
RANK = {"engine": 0, "core": 1, "subsystem": 2, "cli": 3, "widgets": 3, "windows": 4, "app": 5}
# What each floor may include besides its own floor (cli and widgets stand side by side).
ALLOWED = {
    "engine": {"engine"},
    "core": {"engine", "core"},
    "subsystem": {"engine", "core", "subsystem"},
    "cli": {"engine", "core", "subsystem", "cli"},
    "widgets": {"engine", "core", "subsystem", "widgets"},
    "windows": {"engine", "core", "subsystem", "widgets", "windows"},
    "app": {"engine", "core", "subsystem", "widgets", "windows", "app"},
}
MAIN_WINDOW = "shell/TFormDendrix.h"
# The one window-floor file the command-line tool includes: the chart drawing of the
# area lists, which `areas --chart` runs in an offscreen application.
CLI_WINDOW_FILES = {"lists/GuiAreaChart.h"}
SOURCE = re.compile(r"\.(h|hpp|cpp|cc|cxx)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def is_window_file(name):
    return name.startswith("TForm") or name.startswith("Gui")


def floor_of(rel):
    """The floor of a path relative to the source root, or None outside the floors."""
    parts = rel.split("/")
    top = parts[0]
    if top == "engine":
        return "engine"
    if len(parts) < 2:
        return None
    if top in ("core", "cli", "widgets", "app"):
        return top
    if top in SUBSYSTEMS:
        if top != "demo" and is_window_file(parts[-1]):
            return "windows"
        return "subsystem"
    return None


def subsystem_of(rel):
    top = rel.split("/")[0]
    return top if top in SUBSYSTEMS else None


def source_files(src):
    for root, dirs, files in os.walk(src):
        dirs.sort()
        for name in sorted(files):
            if SOURCE.search(name):
                yield os.path.relpath(os.path.join(root, name), src).replace(os.sep, "/")


def resolve(src, rel, target, engine_dirs):
    """The included file relative to the source root, or None when it is not in the tree."""
    candidates = [os.path.join(os.path.dirname(rel), target), target]
    candidates += [os.path.join(d, target) for d in engine_dirs]
    for c in candidates:
        c = os.path.normpath(c).replace(os.sep, "/")
        if not c.startswith("..") and os.path.isfile(os.path.join(src, c)):
            return c
    return None


def widget_headers(dirs):
    names = set()
    for d in dirs:
        if os.path.isdir(d):
            names.update(os.listdir(d))
    return names


def find_cycle(edges):
    """One cycle of the graph {node: {node: where}}, as a list of nodes, or None."""
    state = {}
    stack = []

    def visit(node):
        state[node] = 1
        stack.append(node)
        for nxt in sorted(edges.get(node, {})):
            if state.get(nxt) == 1:
                return stack[stack.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt)
                if found:
                    return found
        stack.pop()
        state[node] = 2
        return None

    for node in sorted(edges):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def check(src, widget_dirs):
    problems = []
    engine_dirs = []
    for root, dirs, _ in os.walk(os.path.join(src, "engine")):
        engine_dirs.append(os.path.relpath(root, src).replace(os.sep, "/"))
    widgets = widget_headers(widget_dirs)
    between = {}  # subsystem -> {subsystem: "file:line"} over core files

    for rel in source_files(src):
        floor = floor_of(rel)
        if floor is None:
            continue
        with open(os.path.join(src, rel), encoding="utf-8", errors="replace") as f:
            lines = f.read().split("\n")
        for number, line in enumerate(lines, 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            where = "%s:%d" % (rel, number)
            angle, target = m.group(1) == "<", m.group(2)
            base = os.path.basename(target)
            if angle:
                if floor == "engine" and base.startswith("Q"):
                    problems.append("%s: the engine includes the Qt header <%s>" % (where, target))
                elif RANK[floor] < RANK["widgets"] and base in widgets:
                    problems.append("%s: %s file includes the widget header <%s>" % (where, floor, target))
                continue
            found = resolve(src, rel, target, engine_dirs)
            if found is None:
                problems.append('%s: "%s" is not in the source tree' % (where, target))
                continue
            to = floor_of(found)
            if to is None:
                problems.append('%s: "%s" is outside every floor' % (where, target))
                continue
            if floor == "cli" and found in CLI_WINDOW_FILES:
                continue
            if to not in ALLOWED[floor]:
                problems.append('%s: %s file includes %s file "%s"' % (where, floor, to, found))
                continue
            if found == MAIN_WINDOW and floor != "app" and rel != "shell/TFormDendrix.cpp":
                problems.append('%s: only the application includes the main window "%s"' % (where, found))
                continue
            if floor == "windows" and to == "windows" and os.path.basename(found).startswith("TForm"):
                if subsystem_of(found) != subsystem_of(rel):
                    problems.append('%s: a window includes another subsystem\'s window "%s"' % (where, found))
                    continue
            if floor == "subsystem" and to == "subsystem" and subsystem_of(found) != subsystem_of(rel):
                between.setdefault(subsystem_of(rel), {}).setdefault(subsystem_of(found), where)

    cycle = find_cycle(between)
    if cycle:
        steps = ["%s -> %s (%s)" % (a, b, between[a][b]) for a, b in zip(cycle, cycle[1:])]
        problems.append("subsystems include each other's core files: " + "; ".join(steps))
    return problems


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Checks that no file includes a file of a higher floor.")
    parser.add_argument("--src", default=os.path.join(here, "..", "src"))
    parser.add_argument("--widget-header-dir", action="append", default=[])
    parser.add_argument("--stamp")
    args = parser.parse_args()
    problems = check(os.path.abspath(args.src), args.widget_header_dir)
    for p in problems:
        print(p)
    if problems:
        print("check-layers: %d include(s) against the floors" % len(problems), file=sys.stderr)
        return 1
    if args.stamp:
        with open(args.stamp, "w", encoding="utf-8") as f:
            f.write("ok\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
