#!/usr/bin/env bash
# Configures and builds the fuzz targets in build-fuzz with clang 14: libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer over every library they use.
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Fuzz \
  -DCMAKE_CXX_FLAGS_FUZZ="-O1 -g1 -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DUVO_BUILD_TESTS=OFF -DUVO_BUILD_BENCH=OFF -DUVO_BUILD_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzzers
