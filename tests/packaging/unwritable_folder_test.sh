#!/usr/bin/env bash
# The run without arguments as an unprivileged user (root is refused
# nothing), on a copy of the program:
# - in a folder that user cannot write (an installed copy in /usr/bin), it
#   stops before writing anything, says why and what to do instead, exits 3;
# - in a folder that user can write, it leaves the six files as always and
#   nothing else.
# Usage: unwritable_folder_test.sh GENERA_SCENARIO
set -euo pipefail
exe=$(realpath "${1:?usage: unwritable_folder_test.sh GENERA_SCENARIO}")
support=$(cd "$(dirname "$0")/../support" && pwd)

# Under /tmp whatever TMPDIR says: the unprivileged user must reach it.
root=$(mktemp -d /tmp/genera-unwritable.XXXXXX)
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
chmod 755 "$root"

failed=0
fail() { echo "FAILED: $*"; failed=1; }

# Runs the copy in $root/$1 from /, as the unprivileged user.
run_copy() {
  mkdir "$root/$1.out"
  status=0
  (cd / && "$support/as_unprivileged.sh" "$root/$1/genera_scenario" \
    >"$root/$1.out/stdout" 2>"$root/$1.out/stderr") || status=$?
}

mkdir "$root/readonly"
cp "$exe" "$root/readonly/genera_scenario"
chmod 555 "$root/readonly"
run_copy readonly
[ "$status" -eq 3 ] || fail "read-only folder: exit status $status instead of 3"
expected="genera_scenario: cannot write into $root/readonly, the program's own folder: Permission denied
Write the scenario into another folder with: genera_scenario --out DIR"
[ "$(cat "$root/readonly.out/stderr")" = "$expected" ] ||
  fail "read-only folder: stderr: $(cat "$root/readonly.out/stderr")"$'\n'"instead of: $expected"
[ ! -s "$root/readonly.out/stdout" ] || fail "read-only folder: stdout: $(cat "$root/readonly.out/stdout")"
left=$(LC_ALL=C ls -A "$root/readonly")
[ "$left" = genera_scenario ] || fail "read-only folder: it holds: $left"

mkdir "$root/writable"
cp "$exe" "$root/writable/genera_scenario"
[ "$(id -u)" -ne 0 ] || chown nobody:nogroup "$root/writable"
run_copy writable
[ "$status" -eq 0 ] || fail "writable folder: exit status $status: $(cat "$root/writable.out/stderr")"
left=$(LC_ALL=C ls -A "$root/writable" | tr '\n' ' ')
expected="LIVRA_MONTALBA_R47316.dat LIVRA_MONTALBA_R47316.sim LIVRA_MONTALBA_R47316_note.txt LIVRA_MONTALBA_R47316_rallentamenti.txt LIVRA_MONTALBA_R47316_scheda_treno.txt LIVRA_MONTALBA_linea.dat genera_scenario "
[ "$left" = "$expected" ] || fail "writable folder: it holds: $left"

[ "$failed" -eq 0 ] && echo "passed: a folder that cannot be written stops the run with exit 3; one that can gets the six files"
exit "$failed"
