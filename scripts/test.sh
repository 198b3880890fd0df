#!/usr/bin/env bash
# Builds everything from nothing and runs every test: the release build
# with warnings as errors, the AddressSanitizer + UBSan build, a short
# run of each fuzz target on its committed corpus, the crash tests (a
# kill at every file-system call, a power cut on ext4), the Windows build
# under Wine, the two packages (scripts/package.sh) installed and
# checked, the editors' support (the .vsix, its grammars, the language
# server in Neovim), the route viewer in headless Chromium, and the style
# and lint checks (scripts/lint.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
jobs=$(nproc)

for preset in ci asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

echo "== crash safety: a kill at every file-system call of compile and of the run without arguments; a power cut on ext4 (root with loop devices)"
python3 tests/crash/kill_test.py build/ci/genera_scenario
bash tests/crash/power_cut_test.sh build/ci/genera_scenario

echo "== fuzz smoke"
bash scripts/fuzz-smoke.sh 30

echo "== packages: the Debian package from the ci build, the zip from the windows build"
bash scripts/package.sh
bash tests/packaging/deb_test.sh dist/genera-scenario_*_amd64.deb
python3 tests/packaging/zip_test.py dist/genera_scenario-*-win64.zip build/windows/genera_scenario.exe
(cd dist && sha256sum -c SHA256SUMS)
lintian --pedantic -I --fail-on none dist/genera-scenario_*_amd64.deb >build/lintian.txt
python3 tests/packaging/lintian_review.py build/lintian.txt

echo "== editors: the .vsix, the grammars, and the language server in Neovim"
python3 tests/packaging/vsix_test.py dist/genera-scenario-*.vsix
(cd editors/vscode && npx vscode-tmgrammar-test -c 'test/grammar/*.test.txt')
bash tests/lsp/neovim_test.sh build/ci/genera_scenario build/lsp-artifacts

echo "== windows: the program of the zip under Wine, against the ci build's files; the style and lint checks meanwhile (Wine mostly waits)"
bash scripts/lint.sh build/ci >build/lint.log 2>&1 &
lint=$!
bash tests/windows/run.sh build/ci/genera_scenario dist/genera_scenario-*-win64.zip
echo "== style and lint: clang-format, clang-tidy, flake8"
if ! wait "$lint"; then
  cat build/lint.log
  exit 1
fi
tail -n 1 build/lint.log

echo "== viewer: the page and the live preview in headless Chromium (screenshots in build/browser-artifacts)"
/usr/bin/python3 tests/browser/viewer_test.py build/ci build/browser-artifacts
