#!/usr/bin/env python3
"""Fails when a product folder includes a header of a folder it may not use.

The folders and what each may include from are in cmake/layers.txt, the
table the build makes its libraries from. Every file of a folder listed
there is read; an include "folder/..." of another product folder must name
a folder of the table's line for it. A line for a room of a folder
("ui/frame") rules the files of that room, and an include of a room's file
counts as one of the room.

    check_layers.py SOURCE_ROOT
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"((?:[a-z_]+/)+)[^/"]*"', re.MULTILINE)
SOURCES = {".h", ".cpp", ".rc"}


def read_table(path):
    table = {}
    for line in path.read_text().splitlines():
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        folder, _, uses = line.partition(":")
        table[folder.strip()] = set(uses.split())
    return table


def owner(table, product, folder):
    """The folder or room of the product that `folder` ("ui/frame/x") lies
    in: the longest entry of the table it begins with, else its first part
    when that is a product folder; None outside the product."""
    parts = folder.strip("/").split("/")
    for length in range(len(parts), 0, -1):
        candidate = "/".join(parts[:length])
        if candidate in table:
            return candidate
    return parts[0] if parts[0] in product else None


def main(argv):
    root = pathlib.Path(argv[1] if len(argv) > 1 else ".").resolve()
    table = read_table(root / "cmake" / "layers.txt")
    product = set(table) | {used for uses in table.values() for used in uses}
    faults = []
    for folder, uses in sorted(table.items()):
        allowed = uses | {folder}
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SOURCES or not path.is_file():
                continue
            # A room's files answer to the room's own line.
            if owner(table, product, str(path.parent.relative_to(root))) != folder:
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for match in INCLUDE.finditer(text):
                included = owner(table, product, match.group(1))
                if included is not None and included not in allowed:
                    line = text.count("\n", 0, match.start()) + 1
                    faults.append(f"{path.relative_to(root)}:{line}: {folder}/ may not include {included}/")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) against the layers of cmake/layers.txt")
        return 1
    print(f"layers: {len(table)} folders and rooms, every include goes where the table allows")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
