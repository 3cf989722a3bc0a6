# Shared by Brovia's end-to-end test and the demo: a Wine prefix of Brovia's own (its default
# web browser and browser version are set there), a program folder with a blank in its path
# holding Brovia.exe and the recording stand-ins, Brovia started in the background and the
# driver that plays the user. Needs SUITE_TOOLS; brovia_setup takes the folder of the built
# programs and a work folder.

# Windows name of a Unix path under Wine's drive Z:.
winpath() { local p=$1; echo "Z:${p//\//\\}"; }

brovia_setup() {  # bin-folder work-folder
  B_BIN=$1
  B_WORK=$2
  B_DIR="$B_WORK/Pelora Zuvi"
  B_PID=
  rm -rf "$B_WORK"
  mkdir -p "$B_DIR" "$B_WORK/elsewhere"
  cp "$B_BIN/Brovia.exe" "$B_BIN/brovia_driver.exe" "$B_BIN/intora_driver.exe" "$B_DIR/"
  cp "$B_BIN/brovia_recorder.exe" "$B_DIR/browser.exe"
  # The prefix beside the work folder outlives it: made once, then only re-registered. It is
  # made for Brovia's own machine type, and "reg" then writes the registry view Brovia reads.
  export SUITE_WINEARCH
  SUITE_WINEARCH=$("$SUITE_TOOLS/wine-run" --arch "$B_BIN/Brovia.exe") || return 1
  local suffix=
  [ "$SUITE_WINEARCH" = win64 ] && suffix=64
  export SUITE_WINEPREFIX=${BROVIA_WINEPREFIX:-$(dirname "$B_WORK")/wineprefix-brovia$suffix}
  wine_reg add 'HKCR\http\shell\open\command' /ve \
    /d "\"$(winpath "$B_DIR/browser.exe")\" \"%1\"" /f || return 1
  brovia_ie ''
}

wine_reg() { "$SUITE_TOOLS/wine-run" reg "$@" >/dev/null 2>&1; }

# The key of the installed browser's version.
B_IE_KEY='HKLM\Software\Microsoft\Internet Explorer\Version Vector'

# brovia_ie VALUE: the installed browser's version as Brovia reads it; '' removes the value.
brovia_ie() {
  if [ -z "$1" ]; then
    wine_reg delete "$B_IE_KEY" /v IE /f || true
  else
    wine_reg add "$B_IE_KEY" /v IE /d "$1" /f
  fi
}

# brovia_files NAME...: puts the recording stand-in beside Brovia under each name
# ("Update.exe", "IE8-WindowsXP-x86-CHS.exe"); brovia_files with no name removes them all.
brovia_files() {
  rm -f "$B_DIR/Update.exe" "$B_DIR/IE8-WindowsXP-x86-CHS.exe"
  local name
  for name in "$@"; do cp "$B_BIN/brovia_recorder.exe" "$B_DIR/$name"; done
}

# brovia_start ARGS...: starts Brovia from another working directory, in the background.
# A Brovia left running ends after 300 s: the end-to-end test's first run keeps one Brovia
# for about two minutes, more on a loaded machine.
brovia_start() {
  rm -f "$B_DIR/record.txt"
  (cd "$B_WORK/elsewhere" && exec timeout 300 "$SUITE_TOOLS/wine-run" "$B_DIR/Brovia.exe" "$@") &
  B_PID=$!
}

# brovia_end TIMEOUT_S: waits for the started Brovia to end; sets B_RC (124 when it did not).
brovia_end() {
  local _
  B_RC=124
  for _ in $(seq 1 $(($1 * 10))); do
    if ! kill -0 "$B_PID" 2>/dev/null; then
      wait "$B_PID"
      B_RC=$?
      B_PID=
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Ends a Brovia that is still running (after a failed check): its process group.
brovia_kill() {
  if [ -n "$B_PID" ]; then
    kill -- -"$B_PID" 2>/dev/null || kill "$B_PID" 2>/dev/null
    wait "$B_PID" 2>/dev/null
    B_PID=
  fi
}

# Runs a Windows program and prints its output without carriage returns; its exit code.
win_out() {
  local out rc
  out=$("$SUITE_TOOLS/wine-run" "$@")
  rc=$?
  printf '%s\n' "${out//$'\r'/}"
  return $rc
}

# The driver (brovia_driver.cpp).
bdrv() { win_out "$B_DIR/brovia_driver.exe" "$@"; }

# brovia_menu ENTRY: opens the tray icon's menu with a right click and chooses the entry
# "了解Pelora", "显示", "隐藏" or "退出" (by its place in the menu).
brovia_menu() {
  local index
  case $1 in
    了解Pelora) index=0 ;;
    显示) index=1 ;;
    隐藏) index=2 ;;
    退出) index=3 ;;
    *) return 2 ;;
  esac
  bdrv tray 0x205 >/dev/null && bdrv menu $index 10000 >/dev/null
}

# The helper that answers a "提示" message box: prints the box's text (hex of its ANSI
# bytes) and whether it has an owner window.
answer_prompt() { win_out "$B_DIR/intora_driver.exe" prompt "$@"; }

# record_wait PATTERN TIMEOUT_S: waits for a line of the stand-ins' record matching PATTERN
# (grep -E); prints the matching lines.
record_wait() {
  local _
  for _ in $(seq 1 $(($2 * 10))); do
    grep -E "$1" "$B_DIR/record.txt" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# The record's lines (program|command line), carriage returns dropped.
record_lines() { { tr -d '\r' <"$B_DIR/record.txt"; } 2>/dev/null; }

# A text as the hex of its code page 936 bytes, as the prompt helper prints it.
gbk_hex() { printf '%s' "$1" | iconv -f UTF-8 -t GBK | od -An -tx1 | tr -d ' \n'; }
