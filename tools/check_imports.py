#!/usr/bin/env python3
"""Fails when the executable imports a function that is not on the allow-list.

The allow-list holds functions that Windows XP already exported, so that a
newer API cannot slip into the program unnoticed. Usage:
    check_imports.py OBJDUMP EXE ALLOWLIST
"""
import subprocess
import sys


def read_allow_list(path):
    allowed = set()
    dll = None
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            if line.startswith("[") and line.endswith("]"):
                dll = line[1:-1].lower()
            elif dll:
                allowed.add((dll, line))
    return allowed


def read_imports(objdump, exe):
    out = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    imports = []
    dll = None
    in_table = False
    for line in out.splitlines():
        if line.strip().startswith("DLL Name:"):
            dll = line.split(":", 1)[1].strip().lower()
            in_table = False
        elif dll and "Hint/Ord" in line:
            in_table = True
        elif in_table:
            parts = line.split()
            if len(parts) >= 3 and parts[1].isdigit():
                imports.append((dll, parts[2]))
            elif not parts:
                in_table = False
    return imports


def main():
    objdump, exe, allow_path = sys.argv[1:4]
    allowed = read_allow_list(allow_path)
    imports = read_imports(objdump, exe)
    if not imports:
        print("no imports found in", exe)
        return 1
    unknown = sorted(set(i for i in imports if i not in allowed))
    for dll, name in unknown:
        print(f"not on the allow-list: {dll} {name}")
    print(f"{len(imports)} imports checked, {len(unknown)} not allowed")
    return 1 if unknown else 0


if __name__ == "__main__":
    sys.exit(main())
