#!/usr/bin/env python3
"""Compares vorelcov's figures on an imported llvm-cov export with llvm-cov's
own figures on the same data:

  compare-llvm-figures.py EXPORT_JSON LLVM_LCOV VORELCOV_INFO CODE_COVERAGE_TXT

EXPORT_JSON is `llvm-cov export -format=text`, LLVM_LCOV `llvm-cov export
-format=lcov` of the same profile and binaries; VORELCOV_INFO and
CODE_COVERAGE_TXT what `vorelcov --lcov VORELCOV_INFO -txtlcov` wrote after
`vorelcov-import-llvm --no-markers EXPORT_JSON`. Checked:
  - per file every DA line and its count (llvm-cov's line view), but for
    lines beyond the source's last line, which llvm-cov may count (a region
    running to the position after the file's last line feed) and vorelcov leaves
    out of every output as no line of the source: counted and printed;
  - LF/LH against the DA lines (llvm-cov's own LF/LH sum per-function line
    views, which count a line shared by two functions twice and leave out
    macro definitions: printed, equal when no such line exists);
  - functions: vorelcov's total and covered equal the export's
    "instantiations" totals; equal to FNF/FNH when no template has two
    instantiations;
  - blocks: vorelcov's total and covered equal the code regions summed over
    every function record; equal to the export's "regions" totals (the
    Regions column of `llvm-cov report`) under the same condition.
Status 1 on any difference.
"""
import collections
import json
import os
import re
import sys


def read_info(path):
    files = collections.defaultdict(lambda: {"da": {}, "tot": {}})
    cur = None
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("SF:"):
                cur = files[os.path.normpath(line[3:])]
            elif line.startswith("DA:"):
                n, c = line[3:].split(",")[:2]
                cur["da"][int(n)] = cur["da"].get(int(n), 0) + int(c)
            elif re.match(r"^(LF|LH|FNF|FNH):", line):
                k, v = line.split(":", 1)
                cur["tot"][k] = cur["tot"].get(k, 0) + int(v)
    return files


def source_lines(name):
    """The number of lines of source `name` as vorelcov counts them, or None."""
    try:
        data = open(name, "rb").read()
    except OSError:
        return None
    return data.count(b"\n") + (1 if data and not data.endswith(b"\n") else 0)


def totals(text, section):
    m = re.search(section + r":\s+total.*?\n.*?\n\s+([\d,]+)\s+([\d,]+)", text)
    return (int(m.group(1).replace(",", "")), int(m.group(2).replace(",", ""))) if m else None


def main(export, llvm_lcov, info, txt):
    bad = []
    data = json.load(open(export))["data"][0]
    ref, mine = read_info(llvm_lcov), read_info(info)
    for name in sorted(set(ref) | set(mine)):
        if name not in mine or name not in ref:
            bad.append(f"{name}: only in {'llvm-cov' if name in ref else 'vorelcov'}")
            continue
        r, v = ref[name]["da"], mine[name]["da"]
        last = source_lines(name)
        if last is not None:
            beyond = [line for line in r if line > last]
            for line in beyond:
                del r[line]
            if beyond:
                print(f"{name}: llvm-cov counts {len(beyond)} lines beyond the source's last line {last}")
        for line in sorted(set(r) | set(v)):
            if r.get(line) != v.get(line):
                bad.append(f"{name}:{line}: llvm-cov DA {r.get(line)}, vorelcov {v.get(line)}")
        lf, lh = len(r), sum(1 for c in r.values() if c)
        if (mine[name]["tot"].get("LF"), mine[name]["tot"].get("LH")) != (lf, lh):
            bad.append(f"{name}: LF/LH {mine[name]['tot'].get('LF')}/{mine[name]['tot'].get('LH')}, DA says {lf}/{lh}")
        print(f"{name}: {lf} lines, {lh} hit; llvm-cov's LF/LH {ref[name]['tot'].get('LF')}/"
              f"{ref[name]['tot'].get('LH')}, FNF/FNH {ref[name]['tot'].get('FNF')}/{ref[name]['tot'].get('FNH')}")
    text = open(txt, encoding="utf-8", errors="replace").read()
    t = data["totals"]
    regions = [r for f in data["functions"] for r in f["regions"] if r[7] == 0]
    want = {"Functions": (t["instantiations"]["count"], t["instantiations"]["covered"]),
            "Blocks": (len(regions), sum(1 for r in regions if r[4]))}
    same_groups = t["instantiations"]["count"] == t["functions"]["count"]
    for section, pair in want.items():
        got = totals(text, section)
        print(f"{section}: vorelcov {got}, llvm-cov {pair}")
        if got != pair:
            bad.append(f"{section}: vorelcov {got}, llvm-cov {pair}")
    if same_groups:
        for section, key in (("Functions", "functions"), ("Blocks", "regions")):
            pair = (t[key]["count"], t[key]["covered"])
            if totals(text, section) != pair:
                bad.append(f"{section}: vorelcov {totals(text, section)}, llvm-cov report {pair}")
    for b in bad[:50]:
        print("DIFFERENT:", b)
    print(f"{len(bad)} differences")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
