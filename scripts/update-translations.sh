#!/usr/bin/env bash
# Refreshes both translation catalogues from every source under src/.
# No source locations are kept, so a catalogue changes only when a text does.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
lupdate="$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)"
cd "$here"
"$lupdate" -recursive src -ts resources/lang/tr_en.ts resources/lang/tr_zh.ts -no-obsolete -locations none "$@"
