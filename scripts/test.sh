#!/usr/bin/env bash
# The README's test command and CI: the set-up and build, every test suite,
# the same suites built with AddressSanitizer and UndefinedBehaviorSanitizer
# (leak detection on; any report fails the test that made it), and a short
# run of every fuzz target. Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure

# Unoptimised, which compiles fastest, and without the benchmark programs.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Sanitize \
  -DCMAKE_CXX_FLAGS_SANITIZE="-O0 -g1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DUVO_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-sanitize -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
LSAN_OPTIONS="suppressions=$PWD/tests/sanitize/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure

scripts/build-fuzz.sh
ctest --test-dir build-fuzz --output-on-failure
