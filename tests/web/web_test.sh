#!/usr/bin/env bash
# The web page in a browser engine. Two steps, each a ctest test:
#   web_test.sh build WORK_DIR
#     builds the page (preset "web", build-web/) and installs axe-core as
#     tests/web/package-lock.json pins it, into WORK_DIR: once, for every
#     engine's test, which ctest runs after it (a fixture);
#   web_test.sh ENGINE RULE_CASES_JSON WORK_DIR, with CROSSING_FORM_JSON set
#     runs the browser harness in ENGINE (chromium, firefox or webkit), then
#     the start-up benchmark once in that engine to keep it working (its
#     figures are printed, not judged).
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/support/require-tools.sh
page=build-web/web/page/index.html

if [[ $1 == build ]]; then
    work=$2
    require_tools emcmake npm
    log=$work/web-build.log
    echo "Building the page (build-web/) ..."
    if ! { cmake --preset web && cmake --build --preset web; } >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "FAIL: the web page did not build; the whole log is $log" >&2
        exit 1
    fi
    npm_dir=$work/npm
    mkdir -p "$npm_dir"
    cp tests/web/package.json tests/web/package-lock.json "$npm_dir/"
    # npm's cache lives with the build, not in HOME.
    if ! (cd "$npm_dir" && npm_config_cache=$work/npm-cache npm ci --no-audit --no-fund --loglevel=error); then
        echo "FAIL: npm could not install axe-core into $npm_dir" >&2
        exit 1
    fi
    exit 0
fi

engine=$1
rule_cases=$2
work=$3
require_tools convert
case $engine in
chromium)
    require_tools chromium /usr/bin/chromedriver
    require_python_modules selenium
    ;;
firefox)
    require_tools firefox-esr
    require_python_modules websocket
    ;;
webkit)
    require_tools Xvfb xdotool /usr/bin/WebKitWebDriver /usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser
    require_python_modules selenium
    ;;
*)
    echo "usage: $0 build WORK_DIR | $0 chromium|firefox|webkit RULE_CASES_JSON WORK_DIR" >&2
    exit 2
    ;;
esac
axe=$work/npm/node_modules/axe-core/axe.min.js
if [[ ! -f $page || ! -f $axe ]]; then
    echo "FAIL: $page or $axe is missing: web_page_build, which makes them, failed or was not run" >&2
    exit 1
fi

# -B: the harness imports the desktop soak's invariants; no bytecode is left
# in the source tree.
/usr/bin/python3 -B tests/web/page_check.py --engine "$engine" --page "$page" --form "$CROSSING_FORM_JSON" \
    --cases "$rule_cases" --axe "$axe" --icon form/hamburger.xpm
echo "== Start-up benchmark in $engine, one load of each page =="
/usr/bin/python3 -B bench/web_startup.py --engines "$engine" --page "$(dirname "$page")" --loads 1 --move-rounds 5
