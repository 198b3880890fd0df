#!/bin/sh
# ESLint on the viewer's script as the page runs it (the parts joined).
# Usage: lint_script.sh SOURCE_DIR JOINED_SCRIPT
set -eu
eslint="$1/tools/eslint/node_modules/.bin/eslint"
if [ ! -x "$eslint" ]; then
  echo "ESLint is not installed: run scripts/install-deps.sh test (npm ci in tools/eslint)" >&2
  exit 1
fi
exec "$eslint" --no-eslintrc -c "$1/tools/eslint/eslintrc.json" --max-warnings 0 "$2"
