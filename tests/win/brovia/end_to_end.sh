#!/usr/bin/env bash
# Brovia under Wine with the recording stand-ins: the updater only without arguments, the
# browser-version prompts answered both ways and the version key as Brovia finds it, full
# screen at start, F11, Esc, system commands and caption double-clicks, closing that only
# hides, the tray icon's menu and the exit.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/brovia.sh"

brovia_setup "$SUITE_BIN" "$SUITE_BUILD/test-work/brovia-e2e" || { echo "FAIL: setup"; exit 1; }
trap brovia_kill EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
APP=$(winpath "$B_DIR")
WM_KEYDOWN=0x100 WM_CLOSE=0x10 WM_SYSCOMMAND=0x112 WM_NCLBUTTONDBLCLK=0xA3
VK_F11=0x7A VK_ESCAPE=0x1B SC_MINIMIZE=0xF020 SC_MAXIMIZE=0xF030 SC_RESTORE=0xF120
HTCAPTION=2 WM_LBUTTONDBLCLK=0x203 WM_RBUTTONUP=0x205

running() { [ -n "$B_PID" ] && kill -0 "$B_PID" 2>/dev/null; }
expect() {  # CONDITION what
  local out
  if ! running; then
    fail "$2: Brovia no longer runs"
    return
  fi
  out=$(bdrv wait "$1" 15000) || fail "$2: not $1: $(echo $out)"
  STATE=$out
}
key() { bdrv post $WM_KEYDOWN "$1" 0 >/dev/null || fail "no window for key $1"; }
syscommand() { bdrv post $WM_SYSCOMMAND "$1" 0 >/dev/null || fail "no window for $1"; }
menu() { brovia_menu "$1" || fail "tray menu entry '$1'"; }
# The program ends within a few seconds; its exit code is 0.
expect_end() {  # what
  brovia_end 30 || { fail "$1: Brovia still runs"; brovia_kill; return; }
  [ "$B_RC" = 0 ] || fail "$1: exit code $B_RC"
}
# No line of the record matches PATTERN.
expect_no_record() {  # PATTERN what
  record_lines | grep -qE "$1" && fail "$2: $(record_lines | grep -E "$1")"
}

echo "--- started without arguments, the updater beside it, no browser version key"
brovia_files Update.exe
wine_reg delete "$B_IE_KEY" /f
brovia_start
expect full "start"
if [ $failures != 0 ]; then
  echo "Brovia did not start; no further checks"
  exit 1
fi
width=$(echo "$STATE" | sed -n 's/.*screen=\([0-9]*\),.*/\1/p')
echo "$STATE" | grep -q "^tab=1,$(((width - 243) / 2)),0$" ||
  fail "title tab not centred at the top: $(echo $STATE)"
record_wait '^Update\.exe' 15 >/dev/null || fail "updater not started"
want="Update.exe|\"$APP\\Update.exe\" \"$APP\\Brovia.exe\" /Auto"
[ "$(record_lines | grep '^Update')" = "$want" ] ||
  fail "updater command line: '$(record_lines | grep '^Update')', expected '$want'"
if [ -n "${BROVIA_SCREENSHOT:-}" ]; then
  mkdir -p "$(dirname "$BROVIA_SCREENSHOT")"
  DISPLAY=$("$SUITE_TOOLS/xvfb-ensure") import -window root "$BROVIA_SCREENSHOT" 2>/dev/null &&
    echo "screenshot: $BROVIA_SCREENSHOT"
fi

wine_reg query "$B_IE_KEY" || fail "the browser version key was not made"

echo "--- F11"
key $VK_F11
expect window "F11 leaves full screen"
echo "$STATE" | grep -q '^rect=293,110,800,500 ' || fail "window mode bounds: $(echo $STATE)"
echo "$STATE" | grep -q '^tab=0' || fail "title tab shown in window mode: $(echo $STATE)"
key $VK_F11
expect full "second F11"

echo "--- system commands and caption double-clicks"
syscommand $SC_MINIMIZE
expect minimized "minimise"
syscommand $SC_RESTORE
expect full "restore of the minimised window returns to full screen"
key $VK_F11
expect window "F11"
syscommand $SC_MAXIMIZE
expect full "maximise command"
key $VK_F11
expect window "F11"
bdrv post $WM_NCLBUTTONDBLCLK $HTCAPTION 0 >/dev/null
expect full "caption double-click on the normal window"
syscommand $SC_RESTORE
expect full "restore command in full screen"

echo "--- the title tab: switch, minimise, auto-hide"
tab() { bdrv tab-click "$1" 8 >/dev/null || fail "no title tab to click at $1"; }
tab 197
expect window "switch button"
key $VK_F11
expect full "F11"
tab 181
expect minimized "minimise button"
syscommand $SC_RESTORE
expect full "restore"
tab 30
# Auto-hide is on: the tab floats up within the ten seconds of the auto-hide timer, and Esc
# brings it back.
expect tabup "auto-hide"
# A run ends one step after the tab reaches its place: only then does Esc start a show run.
# That run ends with the tab shown and the next run a hiding one, which Esc does not start:
# the tab stays. In one run of the driver, well within the auto-hide timer's ten seconds.
sleep 0.5
out=$(bdrv post $WM_KEYDOWN $VK_ESCAPE 0 -- wait tabdown 5000 -- hold tabdown 500 -- \
      post $WM_KEYDOWN $VK_ESCAPE 0 -- hold tabdown 1000) ||
  fail "Esc with the tab hidden brings it back, and with it shown leaves it: $(echo $out)"
tab 30

echo "--- closing only hides; the tray icon's menu"
key $VK_F11
expect window "F11"
menu "显示"
# The entry maximises the framed window before it drops the frame; under Wine the maximised
# window then keeps the size it had inside the frame.
expect borderless "show entry in window mode"
echo "$STATE" | grep -q '^tab=1,' || fail "show entry in window mode: no title tab: $(echo $STATE)"
echo "$STATE" | grep -q 'zoomed=1' || fail "show entry in window mode: not maximised"
bdrv post $WM_CLOSE 0 0 >/dev/null
expect hidden "close"
running || fail "close ended the program"
menu "显示"
expect full "show entry"
tab 205
expect hidden "close button"
running || fail "the close button ended the program"
menu "显示"
expect full "show entry"
menu "隐藏"
expect hidden "hide entry"
bdrv tray $WM_LBUTTONDBLCLK >/dev/null || fail "no tray icon for the double-click"
expect full "double-click on the icon"
menu "了解Pelora"
record_wait '^browser\.exe' 15 >/dev/null || fail "product home page not opened"
want="browser.exe|\"$APP\\browser.exe\" \"http://www.pelora.example/\""
[ "$(record_lines | grep '^browser')" = "$want" ] ||
  fail "default browser command line: '$(record_lines | grep '^browser')', expected '$want'"
expect full "the about entry leaves the window as it was"
menu "退出"
expect_end "exit entry"
bdrv wait gone 5000 >/dev/null || fail "window left after the exit"

echo "--- started with the product home page: no updater, the page also in the default browser"
brovia_start 'http://www.pelora.example/'
expect full "start with an argument"
record_wait '^browser' 15 >/dev/null || fail "product home page not opened while logged out"
want="browser.exe|\"$APP\\browser.exe\" \"http://www.pelora.example/\""
[ "$(record_lines | grep '^browser')" = "$want" ] ||
  fail "default browser command line: '$(record_lines | grep '^browser')', expected '$want'"
expect_no_record '^Update' "updater started although an argument was given"
menu "退出"
expect_end "exit"

echo "--- started with \"\" (no argument) and a version value that is no string"
# The value's bytes spell 6.0000; only a string value counts.
wine_reg add "$B_IE_KEY" /v IE /t REG_BINARY /d 362e30303030 /f
brovia_start ''
expect full "start with a binary version value"
record_wait '^Update\.exe' 15 >/dev/null || fail "updater not started for an empty argument"
menu "退出"
expect_end "exit"
brovia_ie ''

echo "--- a welcome picture beside the program that is no picture"
brovia_files
echo "no picture" >"$B_DIR/Welcome.jpg"
brovia_start
box=$(bdrv error-box 20000) || fail "no error message for the broken welcome picture"
echo "$box" | grep -qx 'caption=Brovia' || fail "error box: $box"
# Start-up stopped at the picture: no navigation, no full screen, but the icon is there.
expect exists "after the error message"
sleep 1
echo "$(bdrv state)" | grep -q '^rect=293,110,800,500 ' || fail "window after a start-up error"
menu "退出"
expect_end "exit after a start-up error"
rm -f "$B_DIR/Welcome.jpg"

echo "--- browser version 6.0000, installer beside: answered No, then Yes"
brovia_ie 6.0000
brovia_files Update.exe IE8-WindowsXP-x86-CHS.exe
brovia_start
prompt=$(answer_prompt no 30000) || fail "no upgrade prompt: $prompt"
expect_end "upgrade prompt answered No"
echo "$prompt" | grep -qx "text=$(gbk_hex '您机器上的IE6版本过低，是否升级成IE8新版本?')" ||
  fail "upgrade prompt text: $prompt"
echo "$prompt" | grep -qx "owner=1" || fail "upgrade prompt without an owner window"
record_wait '^Update\.exe' 10 >/dev/null || fail "the updater runs before the version check"
expect_no_record '^IE8' "answer No started the installer"
brovia_start
answer_prompt yes 30000 >/dev/null || fail "no upgrade prompt"
expect_end "upgrade prompt answered Yes"
record_wait '^IE8' 15 >/dev/null || fail "answer Yes did not start the installer"
# The full path, unquoted (the system may add quotes around the program's name).
want="IE8-WindowsXP-x86-CHS.exe|$APP\\IE8-WindowsXP-x86-CHS.exe"
[ "$(record_lines | grep '^IE8' | tr -d '"')" = "$want" ] ||
  fail "installer command line: '$(record_lines | grep '^IE8')', expected '$want'"

echo "--- browser version 6.0000, no installer: answered No, then Yes"
brovia_files
brovia_start 'http://desktop.pelora.example/'
prompt=$(answer_prompt no 30000) || fail "no download prompt: $prompt"
expect_end "download prompt answered No"
echo "$prompt" | grep -qx "text=$(gbk_hex '您机器上的IE6版本过低，是否下载包含IE8的完整版Pelora端?')" ||
  fail "download prompt text: $prompt"
sleep 1
expect_no_record '^browser' "answer No opened the download page"
brovia_start 'http://desktop.pelora.example/'
answer_prompt yes 30000 >/dev/null || fail "no download prompt"
expect_end "download prompt answered Yes"
record_wait '^browser' 15 >/dev/null || fail "answer Yes did not open the download page"
want="browser.exe|\"$APP\\browser.exe\" \"http://www.pelora.example/zuvi/os_client.htm\""
[ "$(record_lines | grep '^browser')" = "$want" ] ||
  fail "download page command line: '$(record_lines | grep '^browser')', expected '$want'"

echo "--- browser version 6.00 counts as newer; pictures beside the program"
brovia_ie 6.00
cp "$here/../../../brovia/res/Welcome.jpg" "$B_DIR/Welcome.jpg"
cp "$here/../../../brovia/res/imgLoging.gif" "$B_DIR/imgLoging.gif"
brovia_start 'http://desktop.pelora.example/'
expect full "start with version 6.00 and both pictures beside"
windows=$(bdrv windows)
[ "$(echo "$windows" | grep -c '^window ')" = 1 ] || fail "more than the main window: $windows"
menu "退出"
expect_end "exit"
brovia_ie ''

[ $failures = 0 ] && echo "all Brovia end-to-end checks passed"
exit $((failures > 0))
