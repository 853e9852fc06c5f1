#!/usr/bin/env bash
# One command for a fresh Debian 12 machine: install what Corvane needs,
# build it and start it.
#   bash scripts/run.sh                       # with the demo device, no hardware needed
#   bash scripts/run.sh /dev/ttyUSB0 --baud 921600   # on a real device
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bin="${CORVANE_BUILD_DIR:-$here/build}/bin"
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh"
if [ "$#" -gt 0 ]; then
  exec "$bin/corvane" "$@"
fi
demo_path="${CORVANE_DEMO_PATH:-/tmp/corvane-demo}"
"$bin/corvane-demo-device" --path "$demo_path" &
demo_pid=$!
trap 'kill "$demo_pid" 2>/dev/null; wait "$demo_pid" 2>/dev/null' EXIT
for _ in $(seq 50); do [ -e "$demo_path" ] && break; sleep 0.1; done
"$bin/corvane" "$demo_path"
