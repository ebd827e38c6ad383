#!/usr/bin/env python3
"""Compares vorelcov's figures on an imported llvm-cov export with llvm-cov's
own figures on the same data:

  compare-llvm-figures.py EXPORT_JSON LLVM_LCOV VORELCOV_INFO CODE_COVERAGE_TXT

EXPORT_JSON is `llvm-cov export -format=text`, LLVM_LCOV `llvm-cov export
-format=lcov` of the same profile and binaries; VORELCOV_INFO and
CODE_COVERAGE_TXT what `vorelcov --lcov VORELCOV_INFO -txtlcov` wrote after
`vorelcov-import-llvm --no-markers EXPORT_JSON`. Checked:
  - per file every DA line and its count (llvm-cov's line view), but for
    lines beyond the source's last line, which vorelcov leaves out;
  - LF/LH against the DA lines (llvm-cov's own LF/LH sum per-function line
    views, which count a line shared by two functions twice and leave out
    macro definitions: printed, equal when no such line exists);
  - functions: vorelcov's total and covered equal the export's
    "instantiations" totals; equal to FNF/FNH when no template has two
    instantiations;
  - blocks: vorelcov's total and covered equal the code regions summed over
    every function record; equal to the export's "regions" totals (the
    Regions column of `llvm-cov report`) under the same condition;
  - per file every BRDA line (line, block, branch, count or "-"; the pairs
    of one line may be listed in another order where llvm-cov's unstable
    sort puts pairs of one line and column, counted) and BRF/BRH against the
    BRDA lines; llvm-cov's BRF/BRH take per group of
    instantiations the largest (as its Regions column does): equal when no
    template has two instantiations.
Status 1 on any difference.
"""
import collections
import json
import os
import re
import sys


def read_info(path):
    files = collections.defaultdict(lambda: {"da": {}, "tot": {}, "br": []})
    cur = None
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("SF:"):
                cur = files[os.path.normpath(line[3:])]
            elif line.startswith("DA:"):
                n, c = line[3:].split(",")[:2]
                cur["da"][int(n)] = cur["da"].get(int(n), 0) + int(c)
            elif line.startswith("BRDA:"):
                cur["br"].append(line[5:])
            elif re.match(r"^(LF|LH|FNF|FNH|BRF|BRH):", line):
                k, v = line.split(":", 1)
                cur["tot"][k] = cur["tot"].get(k, 0) + int(v)
    return files


def source_lines(path):
    try:
        with open(path, "rb") as f:
            text = f.read()
    except OSError:
        return float("inf")
    return text.count(b"\n") + (0 if text.endswith(b"\n") or not text else 1)


def pairs_by_line(brda, as_set=True):
    """line -> its branch pairs ((true, false) outcomes), sorted when as_set."""
    lines = collections.defaultdict(list)
    for i in range(0, len(brda) - 1, 2):
        line = brda[i].split(",")[0]
        lines[line].append((brda[i].split(",")[3], brda[i + 1].split(",")[3]))
    return {k: sorted(v) if as_set else v for k, v in lines.items()}


def totals(text, section):
    m = re.search(section + r":\s+total.*?\n.*?\n\s+([\d,]+)\s+([\d,]+)", text)
    return (int(m.group(1).replace(",", "")), int(m.group(2).replace(",", ""))) if m else None


def main(export, llvm_lcov, info, txt):
    bad = []
    data = json.load(open(export))["data"][0]
    ref, mine = read_info(llvm_lcov), read_info(info)
    t = data["totals"]
    same_groups = t["instantiations"]["count"] == t["functions"]["count"]
    branches = [0, 0, 0, 0]  # BRDA arcs, hit; llvm-cov's BRF, BRH
    reordered = [0]  # lines whose equal pairs are listed in another order
    for name in sorted(set(ref) | set(mine)):
        if name not in mine or name not in ref:
            bad.append(f"{name}: only in {'llvm-cov' if name in ref else 'vorelcov'}")
            continue
        r, v = ref[name]["da"], mine[name]["da"]
        # vorelcov leaves out lines beyond the source's last line (llvm-cov
        # counts a region that ends after the final line end there).
        last = source_lines(name)
        beyond = [line for line in r if line > last]
        for line in beyond:
            del r[line]
        if beyond:
            print(f"{name}: llvm-cov's DA lines beyond the last line {last}, left out: {beyond}")
        for line in sorted(set(r) | set(v)):
            if r.get(line) != v.get(line):
                bad.append(f"{name}:{line}: llvm-cov DA {r.get(line)}, vorelcov {v.get(line)}")
        lf, lh = len(r), sum(1 for c in r.values() if c)
        if (mine[name]["tot"].get("LF"), mine[name]["tot"].get("LH")) != (lf, lh):
            bad.append(f"{name}: LF/LH {mine[name]['tot'].get('LF')}/{mine[name]['tot'].get('LH')}, DA says {lf}/{lh}")
        if ref[name]["br"] != mine[name]["br"]:
            # Pairs at one line and column (one macro expanded twice on a
            # line, a template's instantiations) are in the order of
            # llvm-cov's unstable sort: equal when each line's pairs are.
            if pairs_by_line(ref[name]["br"]) != pairs_by_line(mine[name]["br"]):
                bad.append(f"{name}: BRDA differ (llvm-cov {len(ref[name]['br'])}, vorelcov {len(mine[name]['br'])})")
            else:
                reordered[0] += sum(1 for line, pairs in pairs_by_line(ref[name]["br"], False).items()
                                    if pairs != pairs_by_line(mine[name]["br"], False).get(line))
        brf = len(ref[name]["br"])
        brh = sum(1 for b in ref[name]["br"] if b.split(",")[3] not in ("-", "0"))
        got = (mine[name]["tot"].get("BRF", 0), mine[name]["tot"].get("BRH", 0))
        if got != (brf, brh):
            bad.append(f"{name}: BRF/BRH {got}, BRDA says {brf}/{brh}")
        if same_groups and (ref[name]["tot"].get("BRF", 0), ref[name]["tot"].get("BRH", 0)) != got:
            bad.append(f"{name}: BRF/BRH {got}, llvm-cov {ref[name]['tot'].get('BRF')}/{ref[name]['tot'].get('BRH')}")
        branches[0] += brf
        branches[1] += brh
        branches[2] += ref[name]["tot"].get("BRF", 0)
        branches[3] += ref[name]["tot"].get("BRH", 0)
        print(f"{name}: {lf} lines, {lh} hit; llvm-cov's LF/LH {ref[name]['tot'].get('LF')}/"
              f"{ref[name]['tot'].get('LH')}, FNF/FNH {ref[name]['tot'].get('FNF')}/{ref[name]['tot'].get('FNH')}")
    print(f"Branches: BRDA {branches[0]}/{branches[1]} (vorelcov's BRF/BRH), llvm-cov BRF/BRH {branches[2]}/{branches[3]}; "
          f"lines whose pairs llvm-cov lists in another order: {reordered[0]}")
    text = open(txt, encoding="utf-8", errors="replace").read()
    regions = [r for f in data["functions"] for r in f["regions"] if r[7] == 0]
    want = {"Functions": (t["instantiations"]["count"], t["instantiations"]["covered"]),
            "Blocks": (len(regions), sum(1 for r in regions if r[4]))}
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
