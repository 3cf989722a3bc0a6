# Sourced by tools/test, tools/demo and tools/bench, with "here" naming the tools folder.
# session_begin gives the run an X display, a virtual one (Xvfb :SUITE_DISPLAY, default 87)
# when DISPLAY names none, and at the run's exit ends what the run started: the Wine sessions
# of this checkout's prefixes that were not running before it, then the virtual display if this
# run started it. A display already served (DISPLAY, or an Xvfb that someone else started on
# that number) is used and left running.
session_begin() {
  session_wine_before=$("$here/wine-stop" --running)
  session_xvfb=
  trap session_end EXIT
  if [ -z "${DISPLAY:-}" ]; then
    export SUITE_DISPLAY=${SUITE_DISPLAY:-87}
    session_xvfb=$(mktemp "${TMPDIR:-/tmp}/suite-xvfb.XXXXXX") || return 1
    DISPLAY=$("$here/xvfb-ensure" --own "$session_xvfb") || return 1
    export DISPLAY
  fi
}

session_end() {
  # Wine's own processes first, so that none of them is left talking to a display that went
  # away.
  "$here/wine-stop" --spare $session_wine_before || true
  if [ -n "$session_xvfb" ]; then
    "$here/xvfb-ensure" --stop "$session_xvfb" || true
  fi
}
