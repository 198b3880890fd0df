#!/usr/bin/env bash
# Installs the Debian package and uses the installed program as a user would:
# --version, `sources` then `compile` of the built-in sources (the three
# compact files equal to tests/golden/compact), the run without arguments
# refused in the program's folder, the man pages through `man` (the
# program's and those of the two source formats), the authors' manual, the
# bash completion. The package is removed afterwards whatever happened.
#
# As root, with the package not installed already, it goes through dpkg -i
# and dpkg --purge on this machine; otherwise (not root, or a copy installed
# that is not ours to remove) it is unpacked into a throw-away root.
# Usage: deb_test.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "${1:?usage: deb_test.sh PACKAGE.deb}")
tests=$(cd "$(dirname "$0")/.." && pwd)
source_dir=$(dirname "$tests")
unprivileged=$tests/support/as_unprivileged.sh
package=$(dpkg-deb -f "$deb" Package)
version=$(dpkg-deb -f "$deb" Version)

# Under /tmp whatever TMPDIR says: the unprivileged user must reach it.
work=$(mktemp -d /tmp/genera-deb.XXXXXX)
chmod 755 "$work"
failed=0
fail() { echo "FAILED: $*"; failed=1; }

installed() { dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; }

if [ "$(id -u)" -eq 0 ] && ! installed; then
  mode="dpkg -i"
  usr=/usr
  man_path=
  trap 'dpkg --purge "$package" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
  # A minimal image may exclude man pages and documents from every package.
  install=(dpkg --path-include="/usr/share/man/man1/genera_scenario.1.gz"
           --path-include="/usr/share/man/man5/genera_scenario-*.5.gz"
           --path-include="/usr/share/doc/$package/*" -i "$deb")
  # dpkg does not wait for a lock another installer holds: try again a while.
  for attempt in $(seq 30); do
    if "${install[@]}" >"$work/dpkg.log" 2>&1; then break; fi
    if [ "$attempt" -eq 30 ] || ! grep -q 'lock' "$work/dpkg.log"; then
      cat "$work/dpkg.log"
      echo "FAILED: dpkg -i $deb"
      exit 1
    fi
    sleep 2
  done
else
  mode="unpacked into a throw-away root"
  trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
  dpkg-deb -x "$deb" "$work/root"
  # As installed: the program's folder is not its user's to write.
  chmod 555 "$work/root/usr/bin"
  usr=$work/root/usr
  man_path=$work/root/usr/share/man
fi
exe=$usr/bin/genera_scenario
echo "$package $version: $mode"

# --version: the package's version, and the commit when built from a checkout.
# (The checkout may belong to another user than the one testing.)
git=(git -c safe.directory='*' -C "$source_dir")
expected="genera_scenario $version"
if top=$("${git[@]}" rev-parse --show-toplevel 2>/dev/null) &&
   [ "$(realpath "$top")" = "$(realpath "$source_dir")" ]; then
  expected+=" (commit $("${git[@]}" rev-parse --short HEAD))"
fi
shown=$("$exe" --version) || fail "--version exits $?"
[ "$shown" = "$expected" ] || fail "--version shows \"$shown\", expected \"$expected\""

# The built-in sources compiled by the installed program, as a user.
mkdir "$work/run"
[ "$(id -u)" -ne 0 ] || chown nobody:nogroup "$work/run"
(cd "$work/run" && "$unprivileged" "$exe" sources && "$unprivileged" "$exe" compile \
   LIVRA_MONTALBA_linea.txt LIVRA_MONTALBA_R47316-.txt) >"$work/run.log" 2>&1 ||
  fail "sources, compile: $(cat "$work/run.log")"
for name in LIVRA_MONTALBA_R47316.sim LIVRA_MONTALBA_R47316.dat; do
  cmp -s "$work/run/$name" "$tests/golden/compact/$name" || fail "$name differs from its golden file"
done
# The plan is 1.9 MB: its golden file is its FNV-1a hash.
plan_hash=$(python3 -c '
import sys
h = 14695981039346656037
for b in open(sys.argv[1], "rb").read():
    h = ((h ^ b) * 1099511628211) % 2**64
print(f"{h:016x}")' "$work/run/LIVRA_MONTALBA_linea.dat")
[ "$plan_hash" = "$(cat "$tests/golden/compact/LIVRA_MONTALBA_linea.dat.fnv1a")" ] ||
  fail "LIVRA_MONTALBA_linea.dat differs from its golden hash"

# The run without arguments, refused in the installed program's folder.
before=$(ls -A "$usr/bin")
status=0
(cd "$work/run" && "$unprivileged" "$exe" >"$work/noarg.out" 2>"$work/noarg.err") || status=$?
[ "$status" -eq 3 ] || fail "run without arguments: exit $status instead of 3"
grep -q "cannot write into $usr/bin, the program's own folder: " "$work/noarg.err" &&
  grep -qx "Write the scenario into another folder with: genera_scenario --out DIR" "$work/noarg.err" ||
  fail "run without arguments: stderr: $(cat "$work/noarg.err")"
[ "$(ls -A "$usr/bin")" = "$before" ] || fail "run without arguments wrote into $usr/bin"

# The man page, found and shown by man.
page=$(MANPATH=$man_path man -w genera_scenario 2>&1) || fail "man -w: $page"
[ "$page" = "$usr/share/man/man1/genera_scenario.1.gz" ] || fail "man finds $page"
LC_ALL=C.UTF-8 MANPATH=$man_path MANPAGER=cat MANWIDTH=80 man --warnings genera_scenario >"$work/man.txt" 2>"$work/man.err" ||
  fail "man genera_scenario exits $?: $(cat "$work/man.err")"
[ ! -s "$work/man.err" ] || fail "man genera_scenario warns: $(cat "$work/man.err")"
for heading in NAME SYNOPSIS COMMANDS "EXIT STATUS" "JSON OUTPUT" FILES EXAMPLES; do
  grep -qx "$heading" "$work/man.txt" || fail "man genera_scenario has no $heading"
done

# The pages of the two source formats, in section 5.
for format in linea treno; do
  name=genera_scenario-$format
  page=$(MANPATH=$man_path man -w 5 "$name" 2>&1) || fail "man -w 5 $name: $page"
  [ "$page" = "$usr/share/man/man5/$name.5.gz" ] || fail "man 5 finds $page"
  LC_ALL=C.UTF-8 MANPATH=$man_path MANPAGER=cat MANWIDTH=80 man --warnings 5 "$name" >"$work/man5.txt" 2>"$work/man5.err" ||
    fail "man 5 $name exits $?: $(cat "$work/man5.err")"
  [ ! -s "$work/man5.err" ] || fail "man 5 $name warns: $(cat "$work/man5.err")"
  for heading in NAME SYNOPSIS DESCRIPTION TRAPS "SEE ALSO"; do
    grep -qx "$heading" "$work/man5.txt" || fail "man 5 $name has no $heading"
  done
done

# The authors' manual beside the README, compressed, and every link of the
# README and the manual to a file of the package leading to one.
doc=$usr/share/doc/$package
for name in tutorial line-source train-source codes compiled-files; do
  [ -f "$doc/docs/$name.md.gz" ] || fail "no docs/$name.md.gz in /usr/share/doc/$package"
done
[ -f "$doc/README.md.gz" ] || fail "no README.md.gz in /usr/share/doc/$package"
for page in "$doc"/README.md.gz "$doc"/docs/*.md.gz; do
  here=$(dirname "$page")
  for link in $(zcat "$page" | grep -o '](\([^):#]*\)[)#]' | sed 's/^](//; s/[)#]$//' | sort -u); do
    [ -n "$link" ] || continue
    [ -e "$here/$link" ] || fail "$page links $link, which the package does not ship"
  done
done
# No document over 4 kB left uncompressed.
big=$(find "$doc" -name '*.md' -size +4k)
[ -z "$big" ] || fail "documents over 4 kB not compressed: $big"

# The completions, where each shell looks for them.
completion=$usr/share/bash-completion/completions/genera_scenario
[ "$(bash -c 'source "$1" && complete -p genera_scenario' bash "$completion")" = \
  "complete -F _genera_scenario genera_scenario" ] || fail "the bash completion does not load"
[ -f "$usr/share/zsh/vendor-completions/_genera_scenario" ] || fail "no zsh completion"
[ -f "$usr/share/fish/vendor_completions.d/genera_scenario.fish" ] || fail "no fish completion"
if command -v zsh >/dev/null; then
  zsh -n "$usr/share/zsh/vendor-completions/_genera_scenario" || fail "the zsh completion does not parse"
fi
if command -v fish >/dev/null; then
  fish -c 'source $argv[1]; complete -C "genera_scenario sou"' "$usr/share/fish/vendor_completions.d/genera_scenario.fish" |
    grep -qx sources || fail "the fish completion does not complete a command"
fi
[ -f "$usr/share/doc/$package/copyright" ] || fail "no copyright file"

if [ "$mode" = "dpkg -i" ]; then
  dpkg --purge "$package" >"$work/dpkg.log" 2>&1 || fail "dpkg --purge: $(cat "$work/dpkg.log")"
  ! installed || fail "still installed after dpkg --purge"
  [ ! -e /usr/bin/genera_scenario ] || fail "/usr/bin/genera_scenario left after dpkg --purge"
fi

[ "$failed" -eq 0 ] && echo "passed: $package $version installs, runs, shows its man pages and goes"
exit "$failed"
