#!/usr/bin/env bash
# Builds the fuzz target of the puzzle's rules with clang and libFuzzer and runs
# it for a bounded time, starting from the seed inputs in fuzz/corpus/.
#
#   tools/run-fuzz.sh                  # about two minutes, as the test command runs it
#   tools/run-fuzz.sh 3600             # an hour
#   tools/run-fuzz.sh 0 -seed=0        # until stopped, with a fresh random seed
#   tools/run-fuzz.sh 3600 -fork=2     # an hour on both cores
#
# Extra arguments go to libFuzzer as they are. The grown corpus stays in
# build-fuzz/corpus until the next run; crashing inputs land in
# build-fuzz/artifacts/ and the run fails. Replay one with
#   build-fuzz/fuzz/crossing_fuzz build-fuzz/artifacts/crash-<hash>
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-120}
shift || true
build=build-fuzz
cmake --preset fuzz
cmake --build "$build"

# Each run starts again from the seeds, so that a bounded run is repeatable
# and the repository's corpus is never written to.
corpus=$build/corpus
rm -rf "$corpus"
mkdir -p "$corpus" "$build/artifacts"
cp fuzz/corpus/* "$corpus/"

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cd "$build"
echo "Fuzzing the puzzle's rules for ${seconds} s (log: $build/fuzz.log)"
status=0
./fuzz/crossing_fuzz -seed=1 -max_total_time="$seconds" -max_len=256 -print_final_stats=1 -artifact_prefix=artifacts/ \
    "$@" corpus >fuzz.log 2>&1 || status=$?
if ((status != 0)); then
    tail -n 60 fuzz.log
    echo "Fuzzing FAILED (exit $status); the input is in $build/artifacts/" >&2
    exit "$status"
fi
# The last status line carries the coverage reached; then the run's figures.
grep -E '^#[0-9]+' fuzz.log | tail -n 1
grep -E '^stat::' fuzz.log || true # not printed with -fork
echo "Fuzzing passed: $(find corpus -type f | wc -l) inputs in the corpus, no finding"
