#!/usr/bin/env python3
"""Compares vorelcov's figures on an imported gcov run with lcov's capture of
the same .gcda data:

  compare-lcov-figures.py LCOV_CAPTURE TEXT_DIR HTML_DIR

LCOV_CAPTURE is `lcov --capture -d BUILD` output. TEXT_DIR holds what
`vorelcov -txtlcov --lcov v.info -txtfcvrg f.txt -demang` wrote there
(CODE_COVERAGE.TXT, v.info, f.txt); HTML_DIR the report of `vorelcov -counts`.
Checked: the files; per file every DA line, every function (FN) with its
FNDA count; the line and function totals (LF/LH, FNF/FNH) and the
CODE_COVERAGE.TXT totals; every count the HTML source views show under a
line (the first "^" of the line: its line block) against lcov's DA; and every
covered function's shown name against c++filt's spelling. Prints the figures
of both sides; status 1 on any difference.
"""
import collections
import glob
import os
import re
import subprocess
import sys


def read_info(path):
    """file -> {"da": {line: count}, "fn": {name: line}, "fnda": {name: count}}, summed over records."""
    files = collections.defaultdict(lambda: {"da": collections.Counter(), "fn": {}, "fnda": collections.Counter()})
    cur = None
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("SF:"):
                cur = files[os.path.normpath(line[3:])]
            elif line.startswith("DA:"):
                n, c = line[3:].split(",")[:2]
                cur["da"][int(n)] += int(c)
            elif line.startswith("FN:"):
                n, name = line[3:].split(",", 1)
                cur["fn"][name] = int(n)
            elif line.startswith("FNDA:"):
                c, name = line[5:].split(",", 1)
                cur["fnda"][name] += int(c)
    return files


def totals(files):
    lf = sum(len(f["da"]) for f in files.values())
    lh = sum(sum(1 for c in f["da"].values() if c > 0) for f in files.values())
    fnf = sum(len(f["fn"]) for f in files.values())
    fnh = sum(sum(1 for n in f["fn"] if f["fnda"][n] > 0) for f in files.values())
    return lf, lh, fnf, fnh


def table_totals(path):
    """(lines total, covered, functions total, covered) of CODE_COVERAGE.TXT."""
    out, caption = {}, None
    with open(path) as f:
        for line in f:
            m = re.match(r"\s*(Functions|Lines):", line)
            if m:
                caption = m.group(1)
                continue
            m = re.match(r"\s+([\d,]+)\s+([\d,]+)\s+([\d,]+)\s+[\d.]+$", line)
            if caption and m:
                out[caption] = (int(m.group(1).replace(",", "")), int(m.group(2).replace(",", "")))
                caption = None
    return out["Lines"][0], out["Lines"][1], out["Functions"][0], out["Functions"][1]


def page_of(path):
    """The source-view page of a source path: its report name and "_SRC.HTML"."""
    dot = path.rfind(".")
    if dot > path.rfind("/"):
        path = path[:dot] + "_" + path[dot + 1:]
    return re.sub(r"[/:\\]", "_", path).upper() + "_SRC.HTML"


def html_counts(html_dir, path):
    """{line: first count shown under it} from the source view of `path`, or None."""
    page = os.path.join(html_dir, "CodeCoverage", page_of(path))
    if not os.path.exists(page):
        return None
    counts, line_no = {}, None
    with open(page, encoding="utf-8", errors="replace") as f:
        for row in f:
            m = re.match(r"\s*(\d+)\) ", row)
            if m:
                line_no = int(m.group(1))
                continue
            m = re.match(r"        <a style=[^>]*>[ \t]*\^ ([\d,]+)", row)
            if m and line_no is not None and line_no not in counts:
                counts[line_no] = int(m.group(1).replace(",", ""))
    return counts


def main():
    capture, text_dir, html_dir = sys.argv[1:4]
    want = read_info(capture)
    got = read_info(os.path.join(text_dir, "v.info"))
    bad = []

    def fault(message):
        if len(bad) < 30:
            print(message)
        bad.append(message)

    # lcov keeps a record for a file that has no line at all; vorelcov has none.
    want = {name: w for name, w in want.items() if w["da"] or w["fn"]}
    for name in sorted(set(want) | set(got)):
        if name not in got or name not in want:
            fault(f"{name}: only in {'lcov' if name in want else 'vorelcov'}")
            continue
        w, g = want[name], got[name]
        for line in sorted(set(w["da"]) | set(g["da"])):
            if w["da"].get(line) != g["da"].get(line):
                fault(f"{name}:{line}: DA lcov {w['da'].get(line)}, vorelcov {g['da'].get(line)}")
        for fn in sorted(set(w["fn"]) | set(g["fn"])):
            if fn not in w["fn"] or fn not in g["fn"]:
                fault(f"{name}: function {fn} only in {'lcov' if fn in w['fn'] else 'vorelcov'}")
            elif w["fnda"][fn] != g["fnda"][fn] or w["fn"][fn] != g["fn"][fn]:
                fault(f"{name}: {fn}: FN/FNDA lcov {w['fn'][fn]},{w['fnda'][fn]}, "
                      f"vorelcov {g['fn'][fn]},{g['fnda'][fn]}")
    lcov_totals, own_totals = totals(want), totals(got)
    table = table_totals(os.path.join(text_dir, "CODE_COVERAGE.TXT"))
    print("lines %d of %d, functions %d of %d (lcov)" % (lcov_totals[1], lcov_totals[0], lcov_totals[3], lcov_totals[2]))
    print("lines %d of %d, functions %d of %d (vorelcov --lcov)" % (own_totals[1], own_totals[0], own_totals[3], own_totals[2]))
    print("lines %d of %d, functions %d of %d (vorelcov CODE_COVERAGE.TXT)" % (table[1], table[0], table[3], table[2]))
    if own_totals != lcov_totals:
        fault("--lcov totals differ from lcov's")
    if table != lcov_totals:
        fault("CODE_COVERAGE.TXT totals differ from lcov's")

    # HTML: a line lcov counts > 0 shows that count first; any other shown count is 0.
    compared = 0
    for name, w in want.items():
        counts = html_counts(html_dir, name)
        if counts is None:
            fault(f"{name}: no HTML source view")
            continue
        for line in sorted(set(w["da"]) | set(counts)):
            expected, seen = w["da"].get(line, 0), counts.get(line)
            compared += 1
            if (expected > 0 and seen != expected) or (expected == 0 and seen not in (None, 0)):
                fault(f"{name}:{line}: HTML shows {seen}, lcov {w['da'].get(line)}")
    print(f"{compared} HTML line counts compared")

    # Names: every covered function as c++filt spells it.
    covered = sorted({fn for w in want.values() for fn in w["fn"] if w["fnda"][fn] > 0})
    spelled = subprocess.run(["c++filt"], input="\n".join(covered) + "\n", capture_output=True,
                             text=True, check=True).stdout.split("\n")
    names = set()
    with open(os.path.join(text_dir, "f.txt"), encoding="utf-8", errors="replace") as f:
        for line in f:
            if line.startswith("function - "):
                names.add(line[len("function - "):].rsplit("\t", 4)[0])
    mangled_left = sum(1 for n in names if n.startswith("_Z"))
    for raw, spelling in zip(covered, spelled):
        if spelling not in names:
            fault(f"name {raw}: c++filt '{spelling}' not shown")
    print(f"{len(covered)} covered function names compared, {mangled_left} shown mangled")
    print(f"{len(bad)} differences")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
