#!/usr/bin/env bash
# Start-up time, idle memory, cost of one move and binary size of the program,
# side by side with two reference windows built in the same tree with the same
# build type:
#   - empty:  a bare QWidget of the window's size, the least a Qt 6 widget
#             program can show;
#   - label:  the same window showing the title line in the window's font (a
#             QLabel), the floor for any window that shows text.
#
#   bench/startup.sh [RUNS]        # RUNS alternating runs of each (default 21)
#
# The tree is build-bench/, configured with the bench preset (RelWithDebInfo,
# as the README's build). Needs the test packages (bash tools/bootstrap.sh
# test installs them).
#
# Every run starts on one private Xvfb (1024 x 768, 96 dpi, no window manager)
# under bench/map_timer, which subscribes to the root window before it forks,
# so it reads the X server's own MapNotify and the first DAMAGE event on the
# window: "mapped" is exec to the window mapped and viewable, "drawn" is exec
# to the first pixels the program puts into it. Resident memory (VmRSS) is read
# once the program has used no processor time for 300 ms. The order of the
# three programs rotates every round. Medians are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
# Every run in the same clean environment, none of the caller's desktop: the
# launcher the tests run in gives a home, runtime folder and session bus of
# its own, and Qt's defaults otherwise (scale 1, no platform theme).
[[ -n ${CROSSING_HERMETIC:-} ]] || exec tests/support/hermetic.py -- bash "$0" "$@"
runs=${1:-21}
build="build-bench"

for tool in cmake ninja Xvfb strip; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing; bash tools/bootstrap.sh test installs what the benchmark needs" >&2
        exit 1
    }
done

mkdir -p "$build"
echo "Building the program and the references ($build) ..."
cmake --preset bench >"$build/startup-build.log" 2>&1 \
    || { cat "$build/startup-build.log" >&2; exit 1; }
cmake --build "$build" --target rivercrossing bench_empty_window bench_label_window map_timer move_bench \
    >>"$build/startup-build.log" 2>&1 || { tail -n 40 "$build/startup-build.log" >&2; exit 1; }

names=(empty label program)
declare -A binary=(
    [empty]=$build/bench/bench_empty_window
    [label]=$build/bench/bench_label_window
    [program]=$build/app/rivercrossing
)

source tests/support/xvfb-session.sh
trap session_stop EXIT
session_start_display
results=$session_dir/results

run_one()
{
    QT_QPA_PLATFORM=xcb "$build/bench/map_timer" "${binary[$1]}" 2>>"$session_dir/runs.log"
}

load_before=$(cut -d' ' -f1 /proc/loadavg)
# One unrecorded run each, so that every program starts with its files cached.
for name in "${names[@]}"; do
    run_one "$name" >/dev/null
done
echo "Timing $runs runs of each program, alternating ..."
for ((round = 0; round < runs; round++)); do
    for ((i = 0; i < ${#names[@]}; i++)); do
        name=${names[(round + i) % ${#names[@]}]}
        echo "$name $(run_one "$name")" >>"$results"
    done
done

echo "Timing one Move with real widgets ..."
read -r move_us move_best_us < <(QT_QPA_PLATFORM=offscreen "$build/bench/move_bench" 21 2000 2>/dev/null)

declare -A size_kib
for name in "${names[@]}"; do
    strip --strip-all -o "$session_dir/stripped" "${binary[$name]}"
    size_kib[$name]=$(($(stat -c %s "$session_dir/stripped") / 1024))
done

# Median of column COLUMN for NAME.
median()
{
    awk -v name="$1" -v column="$2" '$1 == name { print $column }' "$results" | sort -g \
        | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
declare -A mapped drawn rss
for name in "${names[@]}"; do
    mapped[$name]=$(median "$name" 2)
    drawn[$name]=$(median "$name" 3)
    rss[$name]=$(median "$name" 4)
done

build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
qt_version=$(pkg-config --modversion Qt6Core 2>/dev/null || echo "6")
echo
echo "Start-up of the window: medians of $runs alternating runs under Xvfb (96 dpi, no window manager)"
echo "$build_type build, Qt $qt_version, $(nproc) CPUs, load average $load_before before the runs"
echo
awk -v em="${mapped[empty]}" -v ed="${drawn[empty]}" -v er="${rss[empty]}" -v es="${size_kib[empty]}" \
    -v lm="${mapped[label]}" -v ld="${drawn[label]}" -v lr="${rss[label]}" -v ls="${size_kib[label]}" \
    -v pm="${mapped[program]}" -v pd="${drawn[program]}" -v pr="${rss[program]}" -v ps="${size_kib[program]}" \
    -v move="$move_us" -v best="$move_best_us" '
function row(name, m, d, r, s) { printf "| %-26s | %11.1f | %10.1f | %14.1f | %16d |\n", name, m, d, r / 1024, s }
function ratio(name, m, d, r) { printf "| %-26s | %10.2fx | %9.2fx | %+10.1f MiB | %16s |\n", name, pm / m, pd / d, (pr - r) / 1024, "" }
function verdict(ok) { return ok ? "met" : "MISSED" }
BEGIN {
    print "| Window                     | mapped (ms) | drawn (ms) | idle RSS (MiB) | stripped (KiB)   |"
    print "|----------------------------|------------:|-----------:|---------------:|-----------------:|"
    row("empty QWidget", em, ed, er, es)
    row("one QLabel, window font", lm, ld, lr, ls)
    row("rivercrossing", pm, pd, pr, ps)
    ratio("rivercrossing / empty", em, ed, er)
    ratio("rivercrossing / one QLabel", lm, ld, lr)
    print ""
    printf "One Move with real widgets (Command1(0) clicked, offscreen): %.2f us median, %.2f us best of 21 rounds of 2000\n", move, best
    print ""
    print "Targets:"
    printf "  start-up <= 1.10 x one QLabel:    mapped %.2fx %s, drawn %.2fx %s\n", pm / lm, verdict(pm <= 1.10 * lm), pd / ld, verdict(pd <= 1.10 * ld)
    printf "  idle memory <= one QLabel + 3 MiB: %+.2f MiB %s\n", (pr - lr) / 1024, verdict(pr - lr <= 3072)
    printf "  one Move <= 20 us:                 %.2f us %s\n", move, verdict(move <= 20)
}'
