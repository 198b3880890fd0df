#!/usr/bin/env bash
# The man pages of the source formats, as built: man shows each at 80
# columns without a warning, with its sections, dated, and with nothing
# about the tests that keep the references true (a reader has no tests).
# Usage: format_pages_test.sh PAGE...
set -euo pipefail
err=$(mktemp)
trap 'rm -f "$err"' EXIT
failed=0
for page in "$@"; do
  name=$(basename "$page")
  shown=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>"$err") ||
    { echo "FAILED: man $name exits $?: $(cat "$err")"; failed=1; continue; }
  if [ -s "$err" ]; then
    echo "FAILED: man $name warns:"; cat "$err"; failed=1
  fi
  for heading in NAME SYNOPSIS DESCRIPTION TRAPS "SEE ALSO"; do
    grep -qx "$heading" <<<"$shown" || { echo "FAILED: $name has no $heading"; failed=1; }
  done
  if grep -qi "test suite" <<<"$(tr '\n' ' ' <<<"$shown" | tr -s ' ')"; then
    echo "FAILED: $name speaks of the test suite"; failed=1
  fi
  tail -n 1 <<<"$shown" | grep -Eq '[0-9]{4}-[0-9]{2}-[0-9]{2}' ||
    { echo "FAILED: $name has no date: $(tail -n 1 <<<"$shown")"; failed=1; }
done
[ "$failed" -eq 0 ] && echo "passed: the pages of the source formats show without warnings"
exit "$failed"
