#!/usr/bin/env bash
# Runs the offscreen widget tests under valgrind's memcheck. Any invalid read or
# write, any use of uninitialised memory and any block definitely lost fails
# the run; memory the libraries keep until exit ("still reachable") does not.
# Suppressions, for library internals only, are in tools/valgrind/memcheck.supp.
#
#   tools/run-memcheck.sh            # in ./build, configured with the release preset if it is not yet
#
# The random session runs 2,000 events here (CROSSING_SOAK_EVENTS to change);
# the full 100,000 run natively in ctest. The tests run two at a time, one per
# core; each writes its report to <build>/memcheck/<test>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/support/require-tools.sh
require_tools valgrind

build=build
[[ -f $build/build.ninja ]] || cmake --preset release
tests=(tst_crossing_form tst_form_assets tst_widget_soak)
cmake --build "$build" --target "${tests[@]}"

logs=$build/memcheck
mkdir -p "$logs"
valgrind_args=(--tool=memcheck --error-exitcode=1 --leak-check=full --show-leak-kinds=definite
    --errors-for-leak-kinds=definite --num-callers=40 --suppressions="$PWD/tools/valgrind/memcheck.supp")
export CROSSING_SOAK_EVENTS=${CROSSING_SOAK_EVENTS:-2000}

# As ctest runs them: hermetic, offscreen.
run_one()
{
    local test=$1
    tests/support/hermetic.py QT_QPA_PLATFORM=offscreen -- valgrind "${valgrind_args[@]}" "$build/tests/ui/$test" \
        >"$logs/$test.log" 2>&1
}

# Two at a time: start a test whenever fewer than two run.
declare -A pid_of
failed=()
for test in "${tests[@]}"; do
    while (($(jobs -rp | wc -l) >= 2)); do
        wait -n || true
    done
    run_one "$test" &
    pid_of[$test]=$!
done
for test in "${tests[@]}"; do
    status=0
    wait "${pid_of[$test]}" || status=$?
    summary=$(grep -h -E 'ERROR SUMMARY' "$logs/$test.log" | tail -n 1 | sed 's/^==[0-9]*== //')
    lost=$(grep -h -E 'definitely lost:' "$logs/$test.log" | tail -n 1 | sed 's/^==[0-9]*== *//')
    echo "$test: ${summary:-no summary} ${lost:+; $lost}"
    if ((status != 0)); then
        failed+=("$test")
        tail -n 80 "$logs/$test.log"
        echo "To get suppression entries: tests/support/hermetic.py QT_QPA_PLATFORM=offscreen -- valgrind ${valgrind_args[*]}" \
            "--gen-suppressions=all $build/tests/ui/$test" >&2
    fi
done
if ((${#failed[@]})); then
    echo "Memory check FAILED in: ${failed[*]} (logs in $logs/)" >&2
    exit 1
fi
echo "Memory check passed: no invalid access and no definite leak in ${#tests[@]} test programs"
