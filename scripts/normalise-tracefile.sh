#!/bin/sh
# Prints an lcov tracefile in a form two tools' tracefiles can be compared
# in:   normalise-tracefile.sh TRACEFILE [PREFIX]
# Records sorted by source name (PREFIX taken off its front), in each: FN by
# line, FNDA by name, FNF, FNH, BRDA by line and arc, BRF, BRH, DA by line,
# LF, LH (counts of one source in several records are not summed: merge with
# `lcov -a` first). TN and the other lines are left out.
set -eu
awk -v strip="${2:-}" '
/^SF:/ { sf = substr($0, 4); if (index(sf, strip) == 1) sf = substr(sf, length(strip) + 1); next }
/^FN:/ { split(substr($0, 4), p, ","); printf "%s\t1\t%09d %s\t%s\n", sf, p[1], p[2], $0; next }
/^FNDA:/ { split(substr($0, 6), p, ","); printf "%s\t2\t%s\t%s\n", sf, p[2], $0; next }
/^BRDA:/ { split(substr($0, 6), p, ","); printf "%s\t5\t%09d %09d %09d\t%s\n", sf, p[1], p[2], p[3], $0; next }
/^(FNF|FNH|BRF|BRH|LF|LH):/ {
  r = ($0 ~ /^FNF/) ? 3 : ($0 ~ /^FNH/) ? 4 : ($0 ~ /^BRF/) ? 6 : ($0 ~ /^BRH/) ? 7 : ($0 ~ /^LF/) ? 9 : 10
  printf "%s\t%d\t\t%s\n", sf, r, $0; next }
/^DA:/ { split(substr($0, 4), p, ","); printf "%s\t8\t%09d\t%s\n", sf, p[1], $0; next }
' "$1" | LC_ALL=C sort -t "$(printf '\t')" -k1,1 -k2,2n -k3,3 |
awk -F '\t' '$1 != last { print "SF:" $1; last = $1 } { print $4 }'
