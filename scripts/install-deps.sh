#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those
# that are missing. Usage: install-deps.sh [run|package|test]
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libcli11-dev nlohmann-json3-dev)
# view --serve: Debian's cpp-httplib (the build leaves --serve out without it).
packages+=(libcpp-httplib-dev)
if [ "${1:-run}" = package ] || [ "${1:-run}" = test ]; then
  # The packages: the man page, the Debian package's computed dependencies,
  # the Windows build.
  packages+=(pandoc dpkg-dev file g++-mingw-w64-x86-64)
  # The VS Code extension: node to build it, npm for its packages (a node
  # that brings its own npm needs no Debian npm).
  packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
fi
if [ "${1:-run}" = test ]; then
  # The packages' tests: lintian, and man to show the installed page.
  packages+=(lintian man-db)
  # The completions, typed into each shell in tmux.
  packages+=(bash-completion zsh fish tmux)
  packages+=(librsvg2-bin python3 clang-14 libclang-rt-14-dev)
  # The Windows build and its tests under Wine on a virtual display.
  packages+=(g++-mingw-w64-x86-64 wine wine64 xvfb imagemagick unzip)
  # The viewer's tests in a real browser: headless Chromium driven by
  # Debian's Selenium (for /usr/bin/python3).
  packages+=(chromium chromium-driver python3-selenium)
  # scripts/lint.sh: the formatter, the linter (with run-clang-tidy), and
  # flake8 for the Python tests.
  packages+=(clang-format clang-tidy flake8)
  # The crash tests: strace kills a run at each file-system call; a power
  # cut is an ext4 image on a loop device, copied, checked and mounted.
  packages+=(strace e2fsprogs mount util-linux)
  # The language server in a real client: Neovim's own, in a terminal on a
  # virtual screen for its screenshot.
  packages+=(neovim xterm)
  # ESLint for the viewer's script: node and npm as for the VS Code extension above.
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "${1:-run}" = test ]; then
  # The lock file pins every package; npm's cache is used first when it
  # holds them, so a second install needs no network.
  npm ci --prefix "$(dirname "$0")/../tools/eslint" --prefer-offline --no-audit --no-fund --loglevel=error
fi
