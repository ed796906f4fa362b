#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test through CTest.
# Before that, the same tests run once more built with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan: any report, leaks included, fails its test), and
# both fuzzing targets run for 30 s each (bench/fuzz.sh, build-fuzz).
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
    -DLANSHAN_SANITIZE=ON -DLANSHAN_BUILD_BENCH=OFF
cmake --build build-asan --parallel "$(nproc)"
(
    cd build-asan
    export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:strict_string_checks=1:check_initialization_order=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --output-on-failure --parallel "$(nproc)"
)
bench/fuzz.sh 30

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"
cd build
ctest --output-on-failure --parallel "$(nproc)"
