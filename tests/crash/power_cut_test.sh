#!/usr/bin/env bash
# A power cut right after a writing run reports success. A small ext4 file
# system on a loop device holds an old set, made durable with sync; the run
# replaces it; the moment it exits, the image is copied as the disk holds it
# (what is still only in the page cache is lost, as in a power cut). The
# copy is checked with e2fsck, mounted, and must hold the new set whole; the
# next run in it (plot into the same folder) leaves nothing but the set.
# Done for `compile` and for the run without arguments (-o DIR).
# Needs root and loop devices; without them it says why and is skipped.
# Usage: power_cut_test.sh GENERA_SCENARIO
set -euo pipefail
exe=$(realpath "${1:?usage: power_cut_test.sh GENERA_SCENARIO}")

skip() { echo "power-cut test skipped: $*"; exit 0; }
[ "$(id -u)" -eq 0 ] || skip "it needs root to attach a loop device and mount it"
for tool in losetup mkfs.ext4 e2fsck mount umount; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/install-deps.sh test installs it)"
done
[ -e /dev/loop-control ] || skip "this machine has no loop devices (/dev/loop-control)"

work=$(mktemp -d /tmp/genera-power-cut.XXXXXX)
loops=()
cleanup() {
  for m in "$work/live" "$work/after"; do mountpoint -q "$m" 2>/dev/null && umount "$m"; done
  for l in "${loops[@]}"; do losetup -d "$l" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/live" "$work/after"

attach() {  # attach IMAGE: sets $dev to its loop device
  dev=$(losetup -f --show "$1" 2>/dev/null) || skip "no loop device can be attached here"
  loops+=("$dev")
}

failed=0
fail() { echo "FAILED: $*"; failed=1; }

"$exe" sources -o "$work/src" >/dev/null 2>&1
line="$work/src/LIVRA_MONTALBA_linea.txt"
train="$work/src/LIVRA_MONTALBA_R47316-.txt"
"$exe" compile "$line" "$train" -o "$work/new-compile" -q
"$exe" -o "$work/new-run"

# case NAME FILES... -- COMMAND...: the command runs with OUT as its folder.
case_() {
  local name=$1; shift
  local names=()
  while [ "$1" != -- ]; do names+=("$1"); shift; done
  shift
  local expected="$work/new-$name"

  truncate -s 64M "$work/disk.img"
  mkfs.ext4 -q -F "$work/disk.img"
  attach "$work/disk.img"
  mount "$dev" "$work/live"
  mkdir "$work/live/out"
  local n
  for n in "${names[@]}"; do head -c 50000 /dev/urandom >"$work/live/out/$n"; done
  sync

  local command=("${@//OUT/$work/live/out}")
  "${command[@]}" >/dev/null 2>&1 || fail "$name: the run failed"
  # The power goes now: the disk holds what the run made durable.
  cp --sparse=always "$work/disk.img" "$work/cut.img"
  umount "$work/live"
  losetup -d "$dev"

  e2fsck -fy "$work/cut.img" >"$work/fsck.log" 2>&1 || [ $? -le 1 ] || fail "$name: e2fsck: $(cat "$work/fsck.log")"
  attach "$work/cut.img"
  local cut=$dev
  mount "$cut" "$work/after"
  for n in "${names[@]}"; do
    cmp -s "$work/after/out/$n" "$expected/$n" ||
      fail "$name: after the power cut $n is not the new file ($(stat -c %s "$work/after/out/$n" 2>/dev/null || echo missing) bytes)"
  done
  "$exe" plot "$line" "$train" -o "$work/after/out/x.svg" -q || fail "$name: the next run failed"
  local left
  left=$(cd "$work/after/out" && LC_ALL=C ls -A | grep -vx x.svg | tr '\n' ' ')
  local want
  want=$(printf '%s\n' "${names[@]}" | LC_ALL=C sort | tr '\n' ' ')
  [ "$left" = "$want" ] || fail "$name: after the next run the folder holds: $left"
  umount "$work/after"
  losetup -d "$cut"
  rm -f "$work/disk.img" "$work/cut.img"
}

case_ compile LIVRA_MONTALBA_linea.dat LIVRA_MONTALBA_R47316.sim LIVRA_MONTALBA_R47316.dat -- \
  "$exe" compile "$line" "$train" -o OUT -q
case_ run LIVRA_MONTALBA_R47316_note.txt LIVRA_MONTALBA_R47316_rallentamenti.txt \
  LIVRA_MONTALBA_R47316_scheda_treno.txt LIVRA_MONTALBA_linea.dat LIVRA_MONTALBA_R47316.sim \
  LIVRA_MONTALBA_R47316.dat -- "$exe" -o OUT

[ "$failed" -eq 0 ] && echo "passed: after a power cut right after each run, the disk holds its new set whole"
exit "$failed"
