#!/usr/bin/env bash
# One command for a fresh Debian 12 machine: install what Corvane needs,
# build it and run the whole test suite.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/install-deps.sh"
bash "$here/scripts/build.sh"
cd "${CORVANE_BUILD_DIR:-$here/build}"
ctest --output-on-failure -j "${CORVANE_TEST_JOBS:-2}" --timeout 600
