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

# A display number that nobody serves. Display numbers are the machine's, not a run's: X keeps
# a server's lock file and socket under /tmp whatever the run's own folder. So concurrent runs
# of this check take turns: each holds this lock from its choice of a number until it ends.
# The servers it starts do not inherit the lock (8>&-), so one left behind cannot hold it.
exec 8>/tmp/suite-display-check.lock
flock -w 60 8 || { echo "another run of this check held its lock for 60 s"; exit 1; }
n=
for c in $(seq 100 399); do
  [ -e "/tmp/.X$c-lock" ] || [ -e "/tmp/.X11-unix/X$c" ] || { n=$c; break; }
done
[ -n "$n" ] || { echo "no free display number"; exit 1; }
export SUITE_DISPLAY=$n
unset DISPLAY

# A run: prints its DISPLAY while the display is served.
run() {
  bash -c 'set -e; here=$1; . "$here/session.sh"; session_begin; "$here/xvfb-ensure" --check
           echo "$DISPLAY"' _ "$work/tools" 8>&-
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
"$ensure" --own "$work/ours" >/dev/null 8>&-
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
