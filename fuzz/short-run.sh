#!/usr/bin/env bash
# The fuzz targets' short runs in the test suite.
#   short-run.sh build BUILDDIR            build every target (fixture)
#   short-run.sh run BUILDDIR TARGET SECS  one target on its seeds
# Without clang's fuzzer runtime the tests skip (exit 77), except under CI,
# where a missing runtime is a failure.
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
mode="$1"
dir="$2"

runtime_present() {
  command -v "${CXX_FUZZ:-clang++}" >/dev/null 2>&1 || return 1
  local probe
  probe="$(mktemp -d)"
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
    >"$probe/p.cpp"
  "${CXX_FUZZ:-clang++}" -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1
  local rc=$?
  rm -rf "$probe"
  return $rc
}

if ! runtime_present; then
  if [ -n "${CI:-}" ]; then
    echo "clang with its libFuzzer runtime is missing (install clang and libclang-rt-dev)" >&2
    exit 1
  fi
  echo "clang's libFuzzer runtime not found: skipped"
  exit 77
fi

case "$mode" in
  build)
    nice -n 5 bash "$here/fuzz/build.sh" "$dir"
    ;;
  run)
    target="$3"
    secs="$4"
    # A fresh working corpus each time: the seeds are the corpus.
    rm -rf "$dir/corpus/$target"
    FUZZ_BUILD_DIR="$dir" bash "$here/fuzz/run.sh" "$target" "$secs" 2>&1 | tail -n 40
    exit "${PIPESTATUS[0]}"
    ;;
  *)
    echo "usage: $0 build|run BUILDDIR [TARGET SECS]" >&2
    exit 2
    ;;
esac
