#!/usr/bin/env bash
# Runs a command without root's power to write anywhere: as root it drops to
# the unprivileged user "nobody" (and group "nogroup") with no supplementary
# groups; as anyone else it runs the command as it is. Tests that must see a
# permission refusal (a read-only file, a folder that cannot be written) go
# through here, because root is refused nothing.
# Usage: as_unprivileged.sh COMMAND [ARG...]
set -euo pipefail
if [ "$(id -u)" -eq 0 ]; then
  exec setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env -- "$@"
fi
exec "$@"
