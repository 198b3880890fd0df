#!/usr/bin/env bash
# Builds the Windows program (preset "windows") and the tests' window probe
# with MinGW-w64, then runs the Wine tests against the given Linux build of
# the same sources. Usage: tests/windows/run.sh LINUX_GENERA_SCENARIO
set -euo pipefail
cd "$(dirname "$0")/../.."

linux_exe=${1:?usage: tests/windows/run.sh LINUX_GENERA_SCENARIO}
jobs=$(nproc)
toolchain=$(pwd)/cmake/mingw-w64-x86_64.cmake

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
cmake -S tests/windows -B build/windows/probe -G Ninja --toolchain "$toolchain" >/dev/null
cmake --build build/windows/probe -j "$jobs"
python3 tests/windows/wine_tests.py \
  --exe build/windows/genera_scenario.exe \
  --probe build/windows/probe/window_probe.exe \
  --linux "$linux_exe" \
  --artifacts build/windows/wine-artifacts
