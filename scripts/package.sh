#!/usr/bin/env bash
# Builds the packages into dist/:
#   genera-scenario_VERSION_amd64.deb    the Linux build (preset ci), for dpkg -i
#   genera_scenario-VERSION-win64.zip    the Windows build (preset windows),
#                                        unpack anywhere and run
#   genera-scenario-VERSION.vsix         the VS Code extension (editors/vscode),
#                                        from the npm registry's packages
#   SHA256SUMS                           the checksums of the three, for
#                                        sha256sum -c
# Both presets' build folders are reused as they are: after scripts/test.sh
# nothing is compiled again.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh package
jobs=$(nproc)

cmake --preset ci >/dev/null
cmake --build --preset ci -j "$jobs" --target genera_scenario man_pages
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

mkdir -p dist
rm -f dist/genera-scenario_*.deb dist/genera_scenario-*-win64.zip dist/genera-scenario-*.vsix dist/SHA256SUMS
rm -rf build/ci/packages build/windows/packages
cpack --config build/ci/CPackConfig.cmake -B build/ci/packages
cpack --config build/windows/CPackConfig.cmake -B build/windows/packages
cp build/ci/packages/genera-scenario_*.deb build/windows/packages/genera_scenario-*-win64.zip dist/

# The extension: its locked dependencies, the client compiled, then vsce.
version=$(sed -n 's/^project(genera_scenario VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
(cd editors/vscode && npm ci --no-audit --no-fund --loglevel=error && npm run --silent compile &&
  npx vsce package --allow-missing-repository --out "../../dist/genera-scenario-$version.vsix")
(cd dist && sha256sum genera-scenario_*.deb genera_scenario-*-win64.zip genera-scenario-*.vsix >SHA256SUMS)
ls -l dist/genera-scenario_*.deb dist/genera_scenario-*-win64.zip dist/genera-scenario-*.vsix dist/SHA256SUMS
