#!/usr/bin/env bash
# Installs what is missing, checks the formatting of every C++ file, then builds and runs
# every test through CTest, with the presets of CMakePresets.json:
#   asan  the tests built with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan:
#         any report, leaks included, fails its test);
#   fuzz  both fuzzing targets for 30 s each (bench/fuzz.sh, build-fuzz);
#   dev   the tests as they are built for developing (build-dev), last, ending with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
tools/check-format.sh

jobs=$(nproc)
cmake --preset asan
cmake --build --preset asan --parallel "$jobs"
ctest --preset asan --parallel "$jobs"

bench/fuzz.sh 30

cmake --preset dev
cmake --build --preset dev --parallel "$jobs"
ctest --preset dev --parallel "$jobs"
