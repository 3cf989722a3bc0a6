#!/usr/bin/env bash
# tools/session.sh ends the virtual display that its run started, and leaves running one that
# was served before the run.
set -euo pipefail
work=$(mktemp -d)
trap '"$work/tools/xvfb-ensure" --stop "$work/ours" 2>/dev/null || true; rm -rf "$work"' EXIT
# The tools in a checkout of their own that has no build/, so that its wine-stop finds no
# Wine session to end.
mkdir "$work/tools"
cp "$SUITE_TOOLS/session.sh" "$SUITE_TOOLS/xvfb-ensure" "$SUITE_TOOLS/wine-stop" "$work/tools/"
ensure=$work/tools/xvfb-ensure

# A display number that nobody serves, from a place of its own so that concurrent runs of this
# check rarely try the same one.
n=
for i in $(seq 0 299); do
  c=$((100 + (RANDOM + i) % 300))
  [ -e "/tmp/.X$c-lock" ] || [ -e "/tmp/.X11-unix/X$c" ] || { n=$c; break; }
done
[ -n "$n" ] || { echo "no free display number"; exit 1; }
export SUITE_DISPLAY=$n
unset DISPLAY

# A run: prints its DISPLAY while the display is served.
run() {
  bash -c 'set -e; here=$1; . "$here/session.sh"; session_begin; "$here/xvfb-ensure" --check
           echo "$DISPLAY"' _ "$work/tools"
}
# Served, or a process of that display still running.
left() {
  "$ensure" --check || pgrep -f "^Xvfb :$n( |\$)" >/dev/null
}

shown=$(run)
[ "$shown" = ":$n" ] || { echo "the run's display was '$shown', not :$n"; exit 1; }
if left; then
  echo "the Xvfb :$n that the run started is still there"
  exit 1
fi

# Served before the run: used, and left running.
"$ensure" --own "$work/ours" >/dev/null
[ -s "$work/ours" ] || { echo "xvfb-ensure did not name the server it started"; exit 1; }
shown=$(run)
[ "$shown" = ":$n" ] || { echo "the run's display was '$shown', not :$n"; exit 1; }
"$ensure" --check || { echo "the run ended the Xvfb :$n that it found running"; exit 1; }
"$ensure" --stop "$work/ours"
if left; then
  echo "xvfb-ensure --stop left Xvfb :$n running"
  exit 1
fi
echo "ok: display :$n"
