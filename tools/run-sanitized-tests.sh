#!/usr/bin/env bash
# Builds a second tree with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test that needs no real X server in it. Any finding, a leak of
# ours included, fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-asan
# The asan preset says why warnings stay warnings in this tree.
cmake --preset asan
cmake --build "$build"

# Leaks that Qt and the libraries under it keep for the life of the process
# are suppressed one by one in lsan.supp; nothing of ours is.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS="suppressions=$PWD/tools/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Tests labelled xvfb drive a real window under an X server; they run in the
# main tree only.
ctest --test-dir "$build" --output-on-failure --label-exclude xvfb
