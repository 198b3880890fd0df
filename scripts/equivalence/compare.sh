#!/usr/bin/env bash
# Differential comparison of two builds of genera_scenario over many inputs:
# the program at git revision REF_REV (the reference) against the tree this
# script lives in (the current build), compared on the harness (what the
# library does: codes, messages, files, which sources are deleted) and on
# the commands compile, check and the run without arguments.
#
#   scripts/equivalence/compare.sh [REF_REV] [--cases N] [--seed S] [--jobs J]
#                                  [--shown N] [--keep] [--rebuild]
#
#   REF_REV     the reference revision (default b232c3c)
#   --cases N   how many cases (default 300: about a minute on two cores)
#   --seed S    the seed of the generated cases (default 1)
#   --jobs J    cases run at once (default 2)
#   --shown N   differences shown in detail (default 5)
#   --keep      keep the work folder: cases, every invocation's folder
#   --rebuild   build the reference again even when a build of it is cached
#
# The reference is built once per revision (and harness) in a temporary git
# worktree under /tmp, with the harness that revision carries itself
# (scripts/equivalence/harness_current.cpp at REF_REV: each revision's
# harness speaks its own library's interface and prints the same report).
# A revision from before the harness existed (b232c3c and older) gets the
# first harness, written for the interface of that time: harness_reference.cpp
# at commit 9ad0e6c. Its two programs are kept in build/equivalence/reference-*. The current tree is built in
# build/equivalence/current, with harness_current.cpp when it exists, linked
# against the libraries in HARNESS_CURRENT_LIBS (default genera_run). Both
# are plain RelWithDebInfo builds without the tests. Exit status: 0 when no
# difference was found, 1 when one was, 2 for a usage or build failure.
set -euo pipefail

qui=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
albero=$(git -C "$qui" rev-parse --show-toplevel)

rev=b232c3c
casi=300
seme=1
jobs=2
shown=5
keep=0
rebuild=0
while [ $# -gt 0 ]; do
  case "$1" in
    --cases) casi=$2; shift 2 ;;
    --seed) seme=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --shown) shown=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --rebuild) rebuild=1; shift ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "compare.sh: unknown option $1" >&2; exit 2 ;;
    *) rev=$1; shift ;;
  esac
done

commit=$(git -C "$albero" rev-parse --verify --quiet "$rev^{commit}") || {
  echo "compare.sh: $rev is not a revision of this repository" >&2
  exit 2
}

radice="$albero/build/equivalence"
mkdir -p "$radice"
temporanei=()
worktree=""
pulisci() {
  if [ -n "$worktree" ]; then git -C "$albero" worktree remove --force "$worktree" >/dev/null 2>&1 || true; fi
  for t in "${temporanei[@]}"; do rm -rf "$t"; done
}
trap pulisci EXIT

# Runs a build step quietly; on failure shows the end of its log.
passo() {
  local log=$1
  shift
  if ! "$@" >"$log" 2>&1; then
    echo "compare.sh: failed: $*" >&2
    tail -n 40 "$log" >&2
    exit 2
  fi
}

configura() {  # configura BUILD TREE HARNESS_SOURCE HARNESS_LIBS LOG
  passo "$5" cmake -G Ninja -S "$qui" -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGENERA_TREE="$2" -DHARNESS_SOURCE="$3" -DHARNESS_LIBS="$4"
}

# --- the reference ----------------------------------------------------------
harness_ref=$(mktemp /tmp/genera-equivalence-harness.XXXXXX.cpp)
temporanei+=("$harness_ref")
if ! git -C "$albero" show "$commit:scripts/equivalence/harness_current.cpp" >"$harness_ref" 2>/dev/null; then
  git -C "$albero" show "9ad0e6c:scripts/equivalence/harness_reference.cpp" >"$harness_ref"
fi
impronta=$(cat "$harness_ref" "$qui/CMakeLists.txt" | sha256sum | cut -c1-12)
ref_bin="$radice/reference-${commit:0:12}-$impronta"
if [ "$rebuild" = 1 ] || [ ! -x "$ref_bin/genera_scenario" ] || [ ! -x "$ref_bin/harness" ]; then
  echo "Building the reference ${commit:0:12} ..."
  tmp=$(mktemp -d /tmp/genera-equivalence-ref.XXXXXX)
  temporanei+=("$tmp")
  worktree="$tmp/tree"
  passo "$tmp/worktree.log" git -C "$albero" worktree add --detach "$worktree" "$commit"
  configura "$tmp/build" "$worktree" "$harness_ref" genera_run "$tmp/configure.log"
  passo "$tmp/build.log" cmake --build "$tmp/build" -j2 --target genera_scenario harness
  rm -rf "$ref_bin" "$ref_bin.new"
  mkdir -p "$ref_bin.new"
  cp "$tmp/build/genera_scenario" "$tmp/build/harness" "$ref_bin.new/"
  mv "$ref_bin.new" "$ref_bin"
  git -C "$albero" worktree remove --force "$worktree"
  worktree=""
fi

# --- the current tree ---------------------------------------------------------
echo "Building the current tree ..."
cur_build="$radice/current"
cur_bin="$radice/current-bin"
harness_cur="$qui/harness_current.cpp"
obiettivi=(genera_scenario)
if [ -f "$harness_cur" ]; then
  obiettivi+=(harness)
else
  harness_cur=""
  echo "  (no scripts/equivalence/harness_current.cpp: the harness is not compared)"
fi
mkdir -p "$cur_build"
configura "$cur_build" "$albero" "$harness_cur" "${HARNESS_CURRENT_LIBS:-genera_run}" "$cur_build/configure.log"
passo "$cur_build/build.log" cmake --build "$cur_build" -j2 --target "${obiettivi[@]}"
rm -rf "$cur_bin"
mkdir -p "$cur_bin"
for o in "${obiettivi[@]}"; do cp "$cur_build/$o" "$cur_bin/"; done

# --- cases and the comparison -----------------------------------------------
lavoro=$(mktemp -d /tmp/genera-equivalence.XXXXXX)
if [ "$keep" = 1 ]; then
  echo "Work folder (kept): $lavoro"
else
  temporanei+=("$lavoro")
fi
(cd "$lavoro" && "$ref_bin/genera_scenario" sources --out builtin >/dev/null)
python3 "$qui/cases.py" --out "$lavoro/cases" --seed "$seme" --count "$casi" --builtin "$lavoro/builtin" >/dev/null

stato_albero=$(git -C "$albero" rev-parse --short=12 HEAD)
if [ -n "$(git -C "$albero" status --porcelain --untracked-files=no)" ]; then
  stato_albero="$stato_albero with uncommitted changes"
fi
echo "Reference ${commit:0:12} ($rev), current $albero at $stato_albero"
etichetta=(--label "seed $seme")
opzioni=(--ref "$ref_bin" --cur "$cur_bin" --cases "$lavoro/cases" --work "$lavoro" --jobs "$jobs" --shown "$shown")
if [ "$keep" = 1 ]; then opzioni+=(--keep); fi
set +e
python3 "$qui/compare.py" "${opzioni[@]}" "${etichetta[@]}"
esito=$?
set -e
exit "$esito"
