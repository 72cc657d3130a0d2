#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, checks what it
# declares and holds, runs Debian's lintian on it, renders its manual page,
# installs it, starts the installed program under Xvfb, sees its window
# mapped and closes it, then removes the package again.
#
# Run as root with CI set (or CROSSING_PACKAGE_INSTALL=apt) it installs with
# `apt-get install ./file.deb` and removes with `apt-get remove`; otherwise it
# unpacks into a scratch root. A package already installed on the machine is
# left alone: the test then unpacks instead.
# Usage: package_test.sh BUILD-DIR APP-ID BINARY
set -euo pipefail

build=$(cd "$1" && pwd) app_id=$2 binary=$3
# shellcheck source=tests/support/xvfb-session.sh
source "$(dirname "$0")/../../tests/support/xvfb-session.sh"
require_tools cpack dpkg-deb identify compare lintian groff
# Nobody is there to answer a package's questions.
export DEBIAN_FRONTEND=noninteractive

scratch=$(mktemp -d)
installed_by_us=no
finish()
{
    session_stop
    if [[ $installed_by_us == yes ]]; then
        apt-get remove -y -q --purge "$package" >"$scratch/remove.log" 2>&1 \
            || cat "$scratch/remove.log" >&2
    fi
    rm -rf "$scratch"
}
trap finish EXIT

fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

# Package into the scratch folder, so runs never pick up an older .deb.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log" >&2; fail "cpack -G DEB"; }
debs=("$scratch"/out/*.deb)
((${#debs[@]} == 1)) && [[ -f ${debs[0]} ]] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}
package=$(dpkg-deb -f "$deb" Package)
echo "built $(basename "$deb")"
dpkg-deb -f "$deb" Package Version Architecture Section Depends

# What the package declares.
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "section is not games"
[[ -n $(dpkg-deb -f "$deb" Maintainer) ]] || fail "no maintainer"
depends=$(dpkg-deb -f "$deb" Depends)
# Package names only, one a line, without version constraints.
depends_names=$(tr ',' '\n' <<<"$depends" | sed -E 's/^ *//; s/[ (].*//')
for needed in fonts-liberation libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6; do
    grep -qxF "$needed" <<<"$depends_names" || fail "Depends lacks $needed: $depends"
done
recommends=$(tr ',' '\n' <<<"$(dpkg-deb -f "$deb" Recommends)" | sed -E 's/^ *//; s/[ (].*//')
for wanted in qt6-wayland qt6-translations-l10n; do
    grep -qx "$wanted" <<<"$recommends" || fail "Recommends lacks $wanted"
done

# What it holds: exactly the program, in Debian's place for games, its
# desktop files, manual page and Debian's two documents.
expected=(
    "./usr/games/$binary"
    "./usr/share/applications/$app_id.desktop"
    "./usr/share/metainfo/$app_id.metainfo.xml"
    "./usr/share/man/man6/$binary.6.gz"
    "./usr/share/doc/$package/copyright"
    "./usr/share/doc/$package/changelog.gz"
)
for size in 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort >"$scratch/files"
printf '%s\n' "${expected[@]}" | sort >"$scratch/expected"
diff -u "$scratch/expected" "$scratch/files" || fail "the package's files differ from the expected ones"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
# Each size is the 32 x 32 picture enlarged by repeating pixels, never
# smoothed: it has exactly the original's colours, and at whole multiples it
# is the original pixel for pixel. The original is the XPM source as
# ImageMagick reads it, a reader independent of the build's.
icons=$root/usr/share/icons/hicolor
original=$(dirname "$0")/../../form/hamburger.xpm
colours() { convert "$1" -depth 8 -unique-colors txt:- | awk 'NR > 1 { print $3 }' | sort; }
for size in 32 48 64 128 256; do
    icon=$icons/${size}x${size}/apps/$app_id.png
    geometry=$(identify -format '%wx%h' "$icon")
    [[ $geometry == "${size}x${size}" ]] || fail "the ${size}x${size} icon is $geometry"
    [[ $(colours "$icon") == "$(colours "$original")" ]] || fail "the ${size}x${size} icon has other colours"
    if ((size % 32 == 0)); then
        differing=$(convert "$original" -filter point -resize "${size}x${size}" png:- \
            | compare -metric AE - "$icon" null: 2>&1) || true
        [[ $differing == 0 ]] || fail "the ${size}x${size} icon differs from the original in $differing pixels"
    fi
done
# The installed tree as a software centre sees it: metainfo, desktop entry
# and icon found and in agreement.
out=$(appstreamcli validate-tree --pedantic --no-net "$root/usr" 2>&1) || fail "validate-tree: $out"
! grep -qE '^[[:space:]]*[EW]:' <<<"$out" || fail "validate-tree: $out"

# Debian's own checker: any error or warning fails. Its full report is shown,
# informational tags included.
lintian_status=0
lintian_out=$(lintian --display-info --fail-on error,warning "$deb" 2>&1) || lintian_status=$?
echo "lintian (exit status $lintian_status):"
echo "${lintian_out:-(nothing to report)}"
((lintian_status == 0)) && ! grep -qE '^[EW]:' <<<"$lintian_out" || fail "lintian found errors or warnings"

# The manual page renders as man renders it in a UTF-8 terminal, every groff
# warning on.
out=$(zcat "$root/usr/share/man/man6/$binary.6.gz" | groff -man -k -Tutf8 -ww -z 2>&1) \
    || fail "groff cannot render the manual page: $out"
[[ -z $out ]] || fail "the manual page renders with warnings: $out"

mode=${CROSSING_PACKAGE_INSTALL:-}
if [[ -z $mode ]]; then
    mode=extract
    [[ $(id -u) -eq 0 && -n ${CI:-} ]] && mode=apt
fi
if [[ $mode == apt ]] && dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    echo "$package is already installed here; unpacking into a scratch root instead"
    mode=extract
fi
if [[ $mode == apt ]]; then
    apt-get install -y -q -o DPkg::Lock::Timeout=120 "$deb" >"$scratch/install.log" 2>&1 \
        || { cat "$scratch/install.log" >&2; fail "apt-get install $deb"; }
    installed_by_us=yes
    program=/usr/games/$binary
    # The desktop entry starts the program by name, on the PATH Debian gives
    # users (root's has no /usr/games).
    user_path=$(sed -n 's/^ENV_PATH[[:space:]]*PATH=//p' /etc/login.defs)
    [[ $(PATH=${user_path:-/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games} command -v "$binary") \
        == "$program" ]] || fail "$binary is not on a user's PATH after installing"
else
    program=$root/usr/games/$binary
fi
echo "starting $program ($mode)"

# Every library the installed binary needs is found without the build tree.
if ldd "$program" | grep -q 'not found'; then
    ldd "$program" >&2
    fail "unresolved libraries"
fi

session_start_display
session_start_program "$program"
wid=$(session_find_window 30) || fail "no window"
xwininfo -id "$wid" | grep -q 'Map State: IsViewable' || fail "window $wid is not viewable"
echo "window $wid mapped: $(xdotool getwindowname "$wid")"
# Desktops on X11 tie a window to its launcher by the window's class.
wm_class=$(xprop -id "$wid" WM_CLASS | sed -E 's/.*, "(.*)"$/\1/')
entry_class=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$app_id.desktop")
[[ $wm_class == "$entry_class" ]] || fail "window class '$wm_class', desktop entry StartupWMClass '$entry_class'"
session_close_and_wait "$wid" 10 || { cat "$session_dir/program.log" >&2; fail "the program did not close cleanly"; }

if [[ $installed_by_us == yes ]]; then
    apt-get remove -y -q --purge -o DPkg::Lock::Timeout=120 "$package" >"$scratch/remove.log" 2>&1 \
        || { cat "$scratch/remove.log" >&2; fail "apt-get remove $package"; }
    installed_by_us=no
    [[ ! -e /usr/games/$binary ]] || fail "/usr/games/$binary is still there after removal"
fi
echo "package test passed"
