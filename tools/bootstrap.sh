#!/usr/bin/env bash
# Sets up a Debian 12 machine for the river-crossing puzzle, builds it, then
# either starts the program ("run", the default) or runs every test ("test").
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
case "$mode" in
run) lists=(tools/packages-build.txt) ;;
test) lists=(tools/packages-build.txt tools/packages-test.txt) ;;
*)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac

# Installed, or provided by an installed package (a Node.js from elsewhere
# brings its own npm and conflicts with Debian's).
installed()
{
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed' && return 0
    dpkg-query -W -f='${Status}|${Provides}\n' | awk -F'|' -v wanted="$1" '
        $1 == "install ok installed" {
            count = split($2, provides, /, */)
            for (i = 1; i <= count; i++) { sub(/ .*/, "", provides[i]); if (provides[i] == wanted) found = 1 }
        }
        END { exit !found }'
}

mapfile -t wanted < <(grep -h -v -e '^#' -e '^[[:space:]]*$' "${lists[@]}")
missing=()
for package in "${wanted[@]}"; do
    installed "$package" || missing+=("$package")
done
if ((${#missing[@]})); then
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

# CI holds the build to warnings as errors; otherwise the same tree (build/).
preset=release
[[ -n ${CI:-} ]] && preset=ci
build=build
cmake --preset "$preset"
# The window needs the program alone; the tests and benchmarks are for "test".
targets=()
[[ $mode == run ]] && targets=(--target rivercrossing)
cmake --build "$build" "${targets[@]}"

if [[ $mode == run ]]; then
    exec "$build/app/rivercrossing"
fi
ctest --test-dir "$build" --output-on-failure | tee "$build/ctest.log"
# A test whose tools are missing is skipped, which is right on a developer's
# machine; CI installs everything, so there a skipped test is a failure.
if [[ -n ${CI:-} ]] && grep -q '(Skipped)' "$build/ctest.log"; then
    echo "CI runs every test, but some were skipped:" >&2
    grep '(Skipped)' "$build/ctest.log" >&2
    exit 1
fi
# Then the offscreen widget tests under valgrind's memcheck (about two
# minutes), the rules under the fuzzer for about two minutes, and every test
# again under AddressSanitizer and UBSan; that run comes last, so the closing
# lines are its ctest summary.
echo "== Widget tests under valgrind memcheck =="
bash tools/run-memcheck.sh || [[ $? -eq 77 && -z ${CI:-} ]] # 77: valgrind missing, skipped
echo "== Fuzzing the rules =="
bash tools/run-fuzz.sh
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
bash tools/run-sanitized-tests.sh
