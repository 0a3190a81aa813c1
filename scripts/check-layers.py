#!/usr/bin/env python3
"""Checks that the libraries depend on each other only the way docs/ARCHITECTURE.md allows.

The table of allowed includes lives in docs/ARCHITECTURE.md, between the two layer-table markers; this
script reads it from there, so the picture in the notes and the check can never disagree. For every
library folder src/<lib> (and its tests in tests/<lib>) it checks that:
  - each `#include "<folder>/..."` names the library itself or one it may include;
  - the library's CMakeLists.txt links exactly the libraries its sources include, no more, no fewer;
  - every folder under src/ has a row in the table (a new library must say where it stands);
  - every library a row allows is used by the library's sources or tests (an edge nothing uses is removed).
Prints one line per fault and exits 1 when there is any. Run it from anywhere: scripts/check-layers.py
"""

import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
NOTES = ROOT / "docs" / "ARCHITECTURE.md"
TABLE_START = "<!-- layer-table -->"
TABLE_END = "<!-- /layer-table -->"
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/[^"]+"', re.MULTILINE)
LINK = re.compile(r"\bpimrose_([a-z0-9_]+)\b")
# Folders of tests/ that are not a library's suite; every suite may use them.
TEST_HELPERS = {"support"}
# Targets built outside src/ that a library may link without including a header of theirs.
NON_LIBRARY_LINKS = {"resources", "version", "library", "warnings"}


def read_table():
    """Library -> set of libraries it may include, from the table in the architecture notes."""
    text = NOTES.read_text(encoding="utf-8")
    if TABLE_START not in text or TABLE_END not in text:
        sys.exit(f"{NOTES}: the layer table markers are missing")
    body = text.split(TABLE_START, 1)[1].split(TABLE_END, 1)[0]
    allowed = {}
    for line in body.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) < 2 or not cells[0].startswith("`"):
            continue
        name = cells[0].strip("`")
        allowed[name] = set(re.findall(r"`([a-z0-9_]+)`", cells[1]))
    return allowed


def included_folders(folder):
    """(file, included folder) for every quoted include in the folder's sources."""
    for path in sorted(folder.glob("*")):
        if path.suffix in (".h", ".cpp"):
            for match in INCLUDE.finditer(path.read_text(encoding="utf-8", errors="replace")):
                yield path, match.group(1)


def check_includes(lib, folder, may_use, faults):
    used = set()
    for path, target in included_folders(folder):
        if target == lib or target in may_use:
            used.add(target)
        else:
            faults.append(f"{path.relative_to(ROOT)}: includes from {target}, which {lib} may not use")
    return used - {lib}


def check_links(lib, used, faults):
    cmake = ROOT / "src" / lib / "CMakeLists.txt"
    linked = set(LINK.findall(cmake.read_text(encoding="utf-8"))) - NON_LIBRARY_LINKS - {lib}
    for extra in sorted(linked - used):
        faults.append(f"{cmake.relative_to(ROOT)}: links pimrose_{extra} but includes nothing of it")
    for missing in sorted(used - linked):
        faults.append(f"{cmake.relative_to(ROOT)}: includes from {missing} but does not link pimrose_{missing}")


def main():
    allowed = read_table()
    faults = []
    for row, uses in allowed.items():
        for name in sorted(uses - set(allowed)):
            faults.append(f"{NOTES.relative_to(ROOT)}: {row} may include {name}, which has no row")
    # A folder without sources (left behind by a checkout that moved them) is no library.
    folders = (p for p in (ROOT / "src").iterdir() if p.is_dir() and any(p.glob("*.[hc]*")))
    for folder in sorted(folders):
        lib = folder.name
        if lib not in allowed:
            faults.append(f"src/{lib}: a library with no row in the layer table of docs/ARCHITECTURE.md")
            continue
        used = check_includes(lib, folder, allowed[lib], faults)
        check_links(lib, used, faults)
        tests = ROOT / "tests" / lib
        if tests.is_dir():
            used |= check_includes(lib, tests, allowed[lib] | TEST_HELPERS, faults)
        for unused in sorted(allowed[lib] - used):
            faults.append(f"{NOTES.relative_to(ROOT)}: {lib} may include {unused}, but nothing of it does")
    for fault in faults:
        print(fault)
    if faults:
        print(f"layer check: {len(faults)} fault(s); the allowed order is in docs/ARCHITECTURE.md")
        return 1
    print(f"layer check: {len(allowed)} libraries, includes and links as the table allows")
    return 0


if __name__ == "__main__":
    sys.exit(main())
