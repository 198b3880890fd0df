#!/usr/bin/env bash
# Neovim from Debian, headless, with its own LSP client on
# `genera_scenario lsp`: the diagnostics of a misspelt key and a hover on a
# signal reach the editor. What the editor got is kept in ARTIFACTS.
# Usage: neovim_test.sh GENERA_SCENARIO [ARTIFACTS]
set -euo pipefail
exe=$(realpath "$1")
artifacts=$(realpath -m "${2:-build/lsp-artifacts}")
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$exe" sources -o "$work" >/dev/null
train="$work/LIVRA_MONTALBA_R47316-.txt"
# San Vito's key misspelt: a warning with a suggestion.
sed -i 's/^stazione,    4500/stazoine,    4500/' "$train"

rm -f "$artifacts/neovim.txt" "$artifacts/neovim.png"
export GENERA_EXE="$exe" GENERA_FILE="$train" GENERA_OUT="$artifacts/neovim.txt"
if command -v xterm >/dev/null && command -v Xvfb >/dev/null && command -v import >/dev/null; then
  # On a virtual screen, in a terminal, to keep a screenshot of what the
  # author sees: the warning beside its line and the hover.
  n=$((60 + RANDOM % 200))
  display=:$n
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
  for _ in $(seq 300); do  # until the server takes connections
    [ -S "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export GENERA_READY="$work/ready" GENERA_DONE="$work/done"
  DISPLAY=$display timeout 120 xterm -geometry 150x45+0+0 -fa Monospace -fs 10 \
    -e nvim -n -i NONE -u NONE -c "luafile $here/neovim_test.lua" &
  term=$!
  for _ in $(seq 1200); do
    [ -e "$GENERA_READY" ] || ! kill -0 "$term" 2>/dev/null && break
    sleep 0.1
  done
  [ -e "$GENERA_READY" ] && DISPLAY=$display import -window root "$artifacts/neovim.png"
  touch "$GENERA_DONE"
  wait "$term" || true
else
  timeout 120 nvim --headless -n -i NONE -u NONE -c "luafile $here/neovim_test.lua" </dev/null
fi
[ -e "$artifacts/neovim.txt" ] || { echo "FAIL: Neovim wrote no report"; exit 1; }
cat "$artifacts/neovim.txt"

line=$(grep -n '^stazoine' "$train" | cut -d: -f1)
fail=0
grep -q "^diagnostic $line:1 severity 2: unknown record key \"stazoine\" is ignored.*did you mean \`stazione\`?" \
  "$artifacts/neovim.txt" || { echo "FAIL: the misspelt key's warning is not on line $line"; fail=1; }
grep -q '^hover: \*\*posizione\*\* (m)' "$artifacts/neovim.txt" || { echo "FAIL: the hover names no field"; fail=1; }
grep -q '^hover: - cell 165 (km 8.250): signal' "$artifacts/neovim.txt" || { echo "FAIL: the hover shows no cell"; fail=1; }
[ "$fail" -eq 0 ] && echo "neovim: diagnostics and hover through Neovim's LSP client"
exit "$fail"
