#!/usr/bin/env bash
# Builds the fuzz targets (clang, ASan + UBSan) and runs each for a short,
# bounded time on a copy of the committed corpus, so that a regression the
# corpus already reaches shows up. Usage: fuzz-smoke.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
for target in line_reader compaction inspect lsp; do
  mkdir -p "$work/$target"
  dict=()
  case $target in
    line_reader|compaction) dict=(-dict=fuzz/sources.dict) ;;
    lsp) dict=(-dict=fuzz/lsp.dict) ;;
  esac
  if ./build/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
      -print_final_stats=1 -artifact_prefix="$work/$target-" "${dict[@]}" \
      "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
    echo "fuzz_$target: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$work/$target.log" | grep -o '[0-9]*$') executions, no finding"
    passed=$((passed + 1))
  else
    echo "fuzz_$target: FINDING"
    tail -n 40 "$work/$target.log"
    mkdir -p build/fuzz/findings && cp "$work/$target"-* build/fuzz/findings/ 2>/dev/null || true
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
