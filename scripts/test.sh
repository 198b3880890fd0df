#!/usr/bin/env bash
# Builds everything from nothing and runs every test: the release build
# with warnings as errors, then the AddressSanitizer + UBSan build.
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
