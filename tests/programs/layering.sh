#!/bin/bash
# scripts/check-layering against the source tree as it stands, and against small trees that
# each break (or keep) one rule of the README's layout table.
set -uo pipefail
source_dir="${KORVANE_SOURCE:?}"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$source_dir/scripts/check-layering" >/dev/null 2>&1 || fail "the source tree breaks its own layering"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A tree with the real README and script, and one header per folder that includes nothing.
make_tree() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree/scripts"
  cp "$source_dir/README.md" "$work/tree/"
  cp "$source_dir/scripts/check-layering" "$work/tree/scripts/"
  for f in world net sim server addons gui render client bench; do
    mkdir -p "$work/tree/$f"
    echo "// $f" >"$work/tree/$f/own.h"
  done
  git -C "$work/tree" init -q
}

# case: folder/file, the include line, whether the check passes, a text its report must hold
cases=(
  "world/a.cpp|#include \"world/own.h\"|pass|"
  "world/a.cpp|#include \"own.h\"|pass|"
  "world/a.cpp|#include \"net/own.h\"|fail|world/a.cpp:1: includes \"net/own.h\", but world/ does not depend on net/"
  "net/a.h|  #  include \"world/own.h\"|pass|"
  "net/a.h|#include \"../server/own.h\"|fail|outside its folder"
  "sim/a.cpp|#include \"net/own.h\"|pass|"
  "sim/a.cpp|#include \"server/own.h\"|fail|sim/ does not depend on server/"
  "gui/a.cpp|#include \"render/own.h\"|fail|gui/ does not depend on render/"
  "render/a.cpp|#include \"sim/own.h\"|pass|"
  "client/a.cpp|#include \"addons/own.h\"|pass|"
  "addons/a.cpp|#include \"world/own.h\"|fail|addons/ does not depend on world/"
  "bench/a.cpp|#include \"support/benchsupport.h\"|pass|"
  "bench/a.cpp|#include \"client/own.h\"|pass|"
  "server/a.cpp|#include \"nowhere/x.h\"|fail|from no folder of the layout table"
  "server/a.cpp|#include <net/own.h>|pass|"
)
for c in "${cases[@]}"; do
  IFS='|' read -r file line expected report <<<"$c"
  make_tree
  printf '%s\n' "$line" >"$work/tree/$file"
  git -C "$work/tree" add -A
  out=$("$work/tree/scripts/check-layering" 2>&1)
  status=$?
  if [ "$expected" = pass ] && [ $status -ne 0 ]; then
    fail "$file with '$line' failed: $out"
  elif [ "$expected" = fail ] && [ $status -eq 0 ]; then
    fail "$file with '$line' passed"
  fi
  if [ -n "$report" ] && [[ "$out" != *"$report"* ]]; then
    fail "$file with '$line': report lacks '$report': $out"
  fi
done

# Without the layout table there is nothing to check against: that is a failure, not a pass.
make_tree
printf '# Korvane\n' >"$work/tree/README.md"
git -C "$work/tree" add -A
"$work/tree/scripts/check-layering" >/dev/null 2>&1 && fail "a README without the table passes"

[ $failures -eq 0 ] && echo "layering: all cases passed"
exit $((failures > 0))
