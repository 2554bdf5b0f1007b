#!/usr/bin/env bash
# Builds the command and its tests a second time with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ and runs the unit tests and the fuzz replays
# there: any memory fault, leak or undefined behaviour fails the run. The tests over the whole
# corpus and the command's shell tests stay out of this run (the same code on more input, much
# of their time spent in epubcheck, and CI must stay under 30 minutes), and so do the window's
# and the package's tests, which this build does not make. Run after scripts/setup.sh, which installs
# what the build needs.
set -euo pipefail
cd "$(dirname "$0")/.."
# -O1 with line tables only (-g1): the sanitizers' reports name files and lines, at a smaller build
# cost than full debug information. The window is not built.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Sanitize -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -g1" \
    -DQUIREBOOK_SANITIZE=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null
cmake --build build-sanitize -j2 --target installation_data quirebook quirebook_tests fuzz_replays
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-sanitize --output-on-failure -j2 -E "^(corpus|gui|package|cli)\.|Corpus"
