# shellcheck shell=bash
# Sourced by the test scripts. A test whose tools are missing is skipped with
# its reason (exit status 77, which ctest counts as skipped), not failed, so
# that ctest on a machine without them says what was left out. CI installs
# every tool and fails if anything was skipped.

skip_test()
{
    echo "SKIP: $* (bash tools/bootstrap.sh test installs everything the tests need)"
    exit 77
}

# require_tools PROGRAM...: each must be on PATH, or at the absolute path given.
require_tools()
{
    local missing=() tool
    for tool in "$@"; do
        if [[ $tool == /* ]]; then
            [[ -x $tool ]] || missing+=("$tool")
        else
            command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
        fi
    done
    ((${#missing[@]} == 0)) || skip_test "not installed: ${missing[*]}"
}

# require_python_modules MODULE...: importable by Debian's own Python.
require_python_modules()
{
    local module
    for module in "$@"; do
        /usr/bin/python3 -c "import $module" 2>/dev/null || skip_test "Python module $module is not installed"
    done
}
