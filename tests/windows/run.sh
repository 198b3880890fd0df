#!/usr/bin/env bash
# Builds the Windows program (preset "windows") and the tests' window probe
# with MinGW-w64, then runs the Wine tests against the given Linux build of
# the same sources. Usage: tests/windows/run.sh LINUX_GENERA_SCENARIO
set -euo pipefail
cd "$(dirname "$0")/../.."

linux_exe=${1:?usage: tests/windows/run.sh LINUX_GENERA_SCENARIO [WINDOWS_ZIP]}
# With the portable zip, the program under test is the one a user unpacks.
zip=${2:-}
jobs=$(nproc)
toolchain=$(pwd)/cmake/mingw-w64-x86_64.cmake

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
cmake -S tests/windows -B build/windows/probe -G Ninja --toolchain "$toolchain" >/dev/null
cmake --build build/windows/probe -j "$jobs"
exe=build/windows/genera_scenario.exe
if [ -n "$zip" ]; then
  unpacked=build/windows/unpacked
  rm -rf "$unpacked" && mkdir -p "$unpacked"
  unzip -q "$zip" -d "$unpacked"
  exe=$(find "$unpacked" -name genera_scenario.exe | head -n 1)
  cmp "$exe" build/windows/genera_scenario.exe
  cmp "${exe%.exe}.com" build/windows/genera_scenario.com
fi
python3 tests/windows/wine_tests.py \
  --exe "$exe" \
  --probe build/windows/probe/window_probe.exe \
  --linux "$linux_exe" \
  --artifacts build/windows/wine-artifacts
