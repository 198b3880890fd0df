#!/usr/bin/env bash
# The style and lint checks, each failing on its first finding:
#   - clang-format (.clang-format): every C++ source of the tree, as it
#     would format it, unchanged (--dry-run -Werror);
#   - clang-tidy (.clang-tidy): the C++ sources of src/ and tests/, through
#     the compile database of a build folder, two at a time;
#   - flake8 (.flake8): the Python tests and scripts.
# Usage: scripts/lint.sh [BUILD_DIR]   (default build/ci, configured with the
# ci preset when it has no compile database yet). Exit status 1 on a finding.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/ci}
jobs=2
status=0

echo "== clang-format"
mapfile -t cxx < <(git ls-files '*.cpp' '*.h')
if ! format_log=$(clang-format --dry-run -Werror "${cxx[@]}" 2>&1); then
  # One line a file: how many places clang-format would change.
  echo "$format_log" | grep -E '^[^ ].*:[0-9]+:[0-9]+: (error|warning): ' | cut -d: -f1 | uniq -c
  echo "clang-format: the files above are not in the house style (clang-format -i FILE fixes them)"
  status=1
fi

echo "== clang-tidy"
if [ ! -f "$build/compile_commands.json" ]; then
  if [ "$build" = build/ci ]; then
    cmake --preset ci >/dev/null
  else
    echo "lint.sh: $build has no compile_commands.json; configure it first" >&2
    exit 2
  fi
fi
# The compile database's sources under src/ and tests/; the ones the build
# generates and bench/ and fuzz/ are not ours to lint here.
mapfile -t units < <(python3 - "$build/compile_commands.json" "$PWD" <<'EOF'
import json, os, sys
root = os.path.realpath(sys.argv[2])
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    rel = os.path.relpath(path, root)
    if rel.split(os.sep)[0] in ("src", "tests") and path not in seen:
        seen.add(path)
        print(path)
EOF
)
tidy_log=$(mktemp)
trap 'rm -f "$tidy_log"' EXIT
# run-clang-tidy exits 0 on warnings and 1 when a file could not be
# analysed; a finding in a header shows once for each file including it.
tidy_status=0
run-clang-tidy -p "$build" -j "$jobs" -quiet "${units[@]}" >"$tidy_log" 2>&1 || tidy_status=$?
findings=$(sed 's/\x1b\[[0-9;]*m//g' "$tidy_log" | grep -E '^/.*: (warning|error): ' | sort -u || true)
if [ -n "$findings" ]; then
  echo "$findings"
  echo "clang-tidy: $(echo "$findings" | wc -l) findings"
  status=1
elif [ "$tidy_status" != 0 ]; then
  cat "$tidy_log"
  echo "clang-tidy: a file could not be analysed"
  status=1
fi

echo "== flake8"
mapfile -t py < <(git ls-files '*.py')
if ! flake8 "${py[@]}"; then
  status=1
fi

[ "$status" = 0 ] && echo "lint: clean"
exit "$status"
