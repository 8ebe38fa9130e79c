#!/usr/bin/env python3
"""Fails when an #include under src/ points up the layer table.

The table is the one under "## Layers" in docs/ARCHITECTURE.md: each row names
a layer, the files it holds (folders end in '/', or shell patterns) and the
layers it may include. A file may include its own layer. The most specific
pattern decides a file's layer.
  scripts/check-layers.py [--root DIR]
"""
import fnmatch
import pathlib
import re
import sys


def read_table(doc):
    rows, inside, in_table = [], False, False
    for line in doc.read_text(encoding="utf-8").splitlines():
        if line.startswith("## "):
            inside = line.strip() == "## Layers"
            continue
        if not inside:
            continue
        if not line.startswith("|"):
            if in_table:
                break  # the first table under the heading is the layer table
            continue
        in_table = True
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) < 3 or set(cells[0]) <= set("-: ") or cells[0] == "Layer":
            continue
        name = cells[0].strip("`*")
        patterns = re.findall(r"`([^`]+)`", cells[1])
        allowed = set(re.findall(r"[a-z][a-z_-]*", cells[2].replace("—", "")))
        rows.append((name, patterns, allowed))
    return rows


def layer_of(path, rows):
    best, best_len = None, -1
    for name, patterns, _ in rows:
        for p in patterns:
            hit = path.startswith(p) if p.endswith("/") else fnmatch.fnmatchcase(path, p)
            if hit and len(p) > best_len:
                best, best_len = name, len(p)
    return best


def main():
    root = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 and sys.argv[1] == "--root"
                        else pathlib.Path(__file__).resolve().parent.parent)
    rows = read_table(root / "docs/ARCHITECTURE.md")
    if not rows:
        print("layers: no table under '## Layers' in docs/ARCHITECTURE.md")
        return 1
    allowed = {name: ok for name, _, ok in rows}
    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
    faults = 0
    files = sorted(p for p in (root / "src").rglob("*") if p.suffix in (".h", ".cpp", ".c"))
    for f in files:
        rel = f.relative_to(root).as_posix()
        own = layer_of(rel, rows)
        if own is None:
            print(f"{rel}: in no layer of the table")
            faults += 1
            continue
        for number, line in enumerate(f.read_text(encoding="utf-8").splitlines(), 1):
            m = include.match(line)
            if not m:
                continue
            target = "src/" + m.group(1)
            if not (root / target).exists():
                target = (f.parent / m.group(1)).relative_to(root).as_posix()
            theirs = layer_of(target, rows)
            if theirs is None or (theirs != own and theirs not in allowed[own]):
                print(f"{rel}:{number}: {own} includes {m.group(1)} ({theirs or 'no layer'})")
                faults += 1
    print(f"layers: {len(files)} files, {faults} include(s) pointing up" if faults
          else f"layers: {len(files)} files, every include points down")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
