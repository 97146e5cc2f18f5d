#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The fonts travel inside the program: the window drawn under X on a system whose fontconfig
# knows no Liberation font is, pixel for pixel, the window drawn with them installed. The window
# is drawn by the view tests' fixture, whose backdrop does not change from run to run.
# Usage: shipped_fonts.sh path/to/zanfiro   (screenshots go beside the program, or to $ZANFIRO_E2E_OUT)
set -euo pipefail

zanfiro=$(readlink -f "$1")
view_tests=$(dirname "$zanfiro")/tests/zanfiro_view_tests
out=${ZANFIRO_E2E_OUT:-$(dirname "$zanfiro")}
here=$(dirname "$(readlink -f "$0")")
# shellcheck source-path=SCRIPTDIR source=lib/session.sh
source "$here/lib/session.sh"

[[ -x $view_tests ]] || fail "no view tests beside the program: $view_tests"
start_x
private_home

# The system's fonts as they are, less every Liberation face: as if the package were removed.
cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <cachedir>$work/fontconfig-cache</cachedir>
  <selectfont><rejectfont>
    <pattern><patelt name="family"><string>Liberation Sans</string></patelt></pattern>
    <pattern><patelt name="family"><string>Liberation Serif</string></patelt></pattern>
    <pattern><patelt name="family"><string>Liberation Mono</string></patelt></pattern>
  </rejectfont></selectfont>
</fontconfig>
CONF

window_shot() {
    ZANFIRO_FONT_SHOT=$out/e2e-fonts-$1.png QT_QPA_PLATFORM=xcb \
        "$view_tests" --gtest_filter='*WindowShotForTheFontComparison' >"$work/$1.log" 2>&1 ||
        fail "the window was not drawn ($1): $(cat "$work/$1.log")"
    [[ -s $out/e2e-fonts-$1.png ]] || fail "no shot ($1): $(cat "$work/$1.log")"
}

fc-list : family | grep -q '^Liberation Sans' || fail "Liberation Sans is not installed: nothing to compare with"
window_shot installed
export FONTCONFIG_FILE=$work/fonts.conf
! fc-list : family | grep -q Liberation || fail "the Liberation fonts are still seen"
window_shot without
unset FONTCONFIG_FILE
differing=$(compare -metric AE "$out/e2e-fonts-installed.png" "$out/e2e-fonts-without.png" null: 2>&1) || true
echo "pixels that differ without the system's Liberation fonts: $differing"
[[ $differing == 0 ]] || fail "the window differs in $differing pixels without the system's Liberation fonts"
