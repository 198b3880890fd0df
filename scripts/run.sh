#!/usr/bin/env bash
# Builds genera_scenario and runs the built-in scenario. The files land
# beside the program, in build/default/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run
cmake --preset default >/dev/null
cmake --build --preset default --target genera_scenario
./build/default/genera_scenario
echo "scenario written to $(pwd)/build/default/:"
ls -l build/default/LIVRA_MONTALBA_*
