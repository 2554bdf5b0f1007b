#!/usr/bin/env bash
# Builds the command and its tests a second time with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ and runs them there: any memory fault, leak or
# undefined behaviour fails the run. The corpus-wide shell tests stay out of this run (the same
# code on more input, and slow under the sanitizers), and so do the window's and the package's
# tests, which this build does not make. Run after scripts/setup.sh, which installs
# what the build needs.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIREBOOK_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j2 --target quirebook quirebook_tests fuzz_replays
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-sanitize --output-on-failure -j2 -E "^(corpus|gui|package)\."
