#!/usr/bin/env python3
"""Fails when a product folder includes a header of a folder it may not use.

The folders and what each may include from are in cmake/layers.txt, the
table the build makes its libraries from. Every file of a folder listed
there is read; an include "folder/..." of another product folder must name
a folder of the table's line for it.

    check_layers.py SOURCE_ROOT
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)
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
            text = path.read_text(encoding="utf-8", errors="replace")
            for match in INCLUDE.finditer(text):
                included = match.group(1)
                if included in product and included not in allowed:
                    line = text.count("\n", 0, match.start()) + 1
                    faults.append(f"{path.relative_to(root)}:{line}: {folder}/ may not include {included}/")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) against the layers of cmake/layers.txt")
        return 1
    print(f"layers: {len(table)} folders, every include goes downward")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
