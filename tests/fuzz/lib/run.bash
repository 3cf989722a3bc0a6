# Runs a built fuzz target over its corpus for a bounded time and reports.
# Usage: run_fuzz_target NAME OUT_DIR DEFAULT_SECONDS MAX_LEN  (FUZZ_SECONDS overrides the time)
run_fuzz_target() {
  local name=$1 out=$2 seconds=${FUZZ_SECONDS:-$3} max_len=$4
  local log=$out/run.log rc
  set +e
  "$out/${name}_fuzz" "$out/corpus" -max_total_time="$seconds" -max_len="$max_len" \
    -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$out/artifacts/" >"$log" 2>&1
  rc=$?
  set -e
  grep -E '^Done [0-9]+ runs' "$log" || tail -n 40 "$log"
  if [ $rc -ne 0 ]; then
    echo "$name fuzz: finding (exit $rc), see $log and $out/artifacts"
    return 1
  fi
  echo "$name fuzz: no finding"
}
