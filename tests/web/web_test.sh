#!/usr/bin/env bash
# The web page in headless Chromium: builds it (preset "web", build-web/),
# installs axe-core as tests/web/package-lock.json pins it, runs the browser
# harness, then the start-up benchmark once to keep it working (its figures
# are printed, not judged).
# Usage: web_test.sh SOURCE_DIR FORM_JSON RULE_CASES_JSON WORK_DIR
set -euo pipefail
source_dir=$1
form_json=$2
rule_cases=$3
work=$4

missing=()
for tool in emcmake chromium chromedriver npm; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
/usr/bin/python3 -c 'import selenium' 2>/dev/null || missing+=(python3-selenium)
if ((${#missing[@]})); then
    echo "SKIP: the web page test needs ${missing[*]} (bash tools/bootstrap.sh test installs them)"
    exit 77
fi

cd "$source_dir"
log=$work/web-build.log
echo "Building the page (build-web/) ..."
if ! { cmake --preset web && cmake --build --preset web; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "FAIL: the web page did not build; the whole log is $log" >&2
    exit 1
fi
page=$source_dir/build-web/web/page/index.html

npm_dir=$work/npm
mkdir -p "$npm_dir"
cp tests/web/package.json tests/web/package-lock.json "$npm_dir/"
if ! (cd "$npm_dir" && npm ci --no-audit --no-fund --loglevel=error); then
    echo "FAIL: npm could not install axe-core into $npm_dir" >&2
    exit 1
fi

/usr/bin/python3 tests/web/page_check.py --page "$page" --form "$form_json" --cases "$rule_cases" \
    --axe "$npm_dir/node_modules/axe-core/axe.min.js" --icon ui/icon/hamburger.xpm
echo "== Start-up benchmark, one load of each page =="
/usr/bin/python3 bench/web_startup.py --page "$(dirname "$page")" --loads 1 --move-rounds 5
