#!/usr/bin/env bash
# The web page in headless Chromium: builds it (preset "web", build-web/),
# installs axe-core as tests/web/package-lock.json pins it, runs the browser
# harness, then the start-up benchmark once to keep it working (its figures
# are printed, not judged).
# Usage: web_test.sh RULE_CASES_JSON WORK_DIR, with CROSSING_FORM_JSON set
set -euo pipefail
rule_cases=$1
work=$2
cd "$(dirname "$0")/../.."
source tests/support/require-tools.sh
require_tools emcmake chromium chromedriver npm convert
require_python_modules selenium gi pyatspi

log=$work/web-build.log
echo "Building the page (build-web/) ..."
if ! { cmake --preset web && cmake --build --preset web; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "FAIL: the web page did not build; the whole log is $log" >&2
    exit 1
fi
page=build-web/web/page/index.html

npm_dir=$work/npm
mkdir -p "$npm_dir"
cp tests/web/package.json tests/web/package-lock.json "$npm_dir/"
if ! (cd "$npm_dir" && npm ci --no-audit --no-fund --loglevel=error); then
    echo "FAIL: npm could not install axe-core into $npm_dir" >&2
    exit 1
fi

# -B: the harness imports the desktop soak's invariants; no bytecode is left
# in the source tree.
/usr/bin/python3 -B tests/web/page_check.py --page "$page" --form "$CROSSING_FORM_JSON" --cases "$rule_cases" \
    --axe "$npm_dir/node_modules/axe-core/axe.min.js" --icon form/hamburger.xpm
echo "== Start-up benchmark, one load of each page =="
/usr/bin/python3 -B bench/web_startup.py --page "$(dirname "$page")" --loads 1 --move-rounds 5
