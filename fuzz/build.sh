#!/usr/bin/env bash
# Builds the protocol-file fuzzer with clang's libFuzzer and sanitizers.
# Not part of the CMake build or ctest. Usage:
#   bash fuzz/build.sh [outdir]          (default: build-fuzz)
#   build-fuzz/fuzz_protocol -max_total_time=600 build-fuzz/corpus fuzz/seeds
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/build-fuzz}"
mkdir -p "$out/corpus"
src="$here/src"
clang++ -std=c++17 -g -O1 -fPIC -fno-omit-frame-pointer -Wall -Wextra \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -DQT_NO_MESSAGELOGCONTEXT \
  -I"$src/common" -I"$src/protocol" $(pkg-config --cflags Qt6Core) \
  "$here/fuzz/fuzz_protocol.cpp" \
  "$src/protocol/ChecksumCatalogue.cpp" "$src/protocol/FrameBuilder.cpp" \
  "$src/protocol/ProtocolFileReader.cpp" "$src/common/HexText.cpp" \
  $(pkg-config --libs Qt6Core) \
  -o "$out/fuzz_protocol"
echo "built $out/fuzz_protocol"
