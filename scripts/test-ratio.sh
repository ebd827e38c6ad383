#!/usr/bin/env bash
# Size of the tests against the product: non-blank lines of the C/C++ files
# (.h, .cpp, .c) under tests/ against those under src/. Data files (expected
# outputs, corpora, sample sources under a data/ directory) are not code and
# do not count; third_party/ is neither. Exits 1 when the tests are above
# LIMIT percent (default 35) of the product.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${LIMIT:-35}

count() {
  find "$@" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) -print0 |
    xargs -0 -r cat | grep -c '[^[:space:]]' || true
}

tests=$(count tests -type d \( -name data -o -name expected -o -name 'corpus*' \) -prune -o)
product=$(count src)
[[ $product -gt 0 ]] || { echo "no product code under src/" >&2; exit 1; }
awk -v t="$tests" -v p="$product" -v limit="$limit" 'BEGIN {
  pct = 100 * t / p
  printf "tests %d / product %d = %.1f %%\n", t, p, pct
  if (pct > limit) { printf "tests above %d %% of the product\n", limit > "/dev/stderr"; exit 1 }
}'
