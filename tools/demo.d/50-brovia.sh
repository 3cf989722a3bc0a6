#!/usr/bin/env bash
# Brovia: the web desktop full screen under its title tab, window mode on F11, the tray icon's
# menu, and the outside programs it starts (recording stand-ins for the updater and the
# default web browser).
set -euo pipefail
export SUITE_TOOLS=$SUITE_ROOT/tools
source "$SUITE_ROOT/tests/win/brovia/brovia.sh"
brovia_setup "$SUITE_WIN_BIN" "$SUITE_ROOT/build/demo/brovia"
trap brovia_kill EXIT
state() { bdrv state | sed -n 's/^rect=/  window at /p; s/^tab=/  title tab (shown,left,top) /p'; }

echo "Brovia.exe started without arguments, with \"Update.exe\" beside it."
brovia_files Update.exe
brovia_start
bdrv wait full 30000 >/dev/null
echo "  full screen:"
state
record_wait '^Update' 15 | sed 's/^/  updater started: /'
shot=$SUITE_ROOT/build/demo/brovia-fullscreen.png
import -window root "$shot" 2>/dev/null && echo "  screenshot: $shot"

echo
echo "F11: window mode at the bounds saved on entering full screen."
bdrv post 0x100 0x7A 0 >/dev/null
bdrv wait window 15000 >/dev/null
state

bdrv post 0x100 0x7A 0 >/dev/null
bdrv wait full 15000 >/dev/null && echo "  F11 again: full screen"

echo
echo "Closing the window only hides it; the tray menu's \"显示\" brings it back full screen."
bdrv post 0x10 0 0 >/dev/null
bdrv wait hidden 15000 >/dev/null && echo "  hidden, still running"
brovia_menu "显示"
bdrv wait full 15000 >/dev/null && echo "  shown full screen again"

echo
echo "The tray menu's \"了解Pelora\" opens the product home page in the default browser."
brovia_menu "了解Pelora"
record_wait '^browser' 15 | sed 's/^/  default browser started: /'

echo
echo "\"退出\" ends the program."
brovia_menu "退出"
brovia_end 30 && echo "  Brovia ended with exit code $B_RC"
