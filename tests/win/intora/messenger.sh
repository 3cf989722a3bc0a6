# Shared by the Intora scripts (tests and demo): a folder holding Intora.exe beside the
# messenger stand-in, stand-ins started and stopped there, Intora run with a bounded wait.
# Needs SUITE_TOOLS and the folder of the built programs as the first argument of
# messenger_setup.

# Windows name of a Unix path under Wine's drive Z:.
winpath() { local p=$1; echo "Z:${p//\//\\}"; }

messenger_setup() {  # bin-folder work-folder
  M_BIN=$1
  M_DIR=$2
  M_NAMES=()
  rm -rf "$M_DIR"
  mkdir -p "$M_DIR"
  cp "$M_BIN/Intora.exe" "$M_BIN/mupa.exe" "$M_DIR/"
}

# start_messenger NAME [mupa.exe options...]: waits until the stand-in has its window.
start_messenger() {
  local name=$1
  shift
  "$SUITE_TOOLS/wine-run" "$M_DIR/mupa.exe" --record "$(winpath "$M_DIR/$name.rec")" \
    --stop "$(winpath "$M_DIR/$name.stop")" --lifetime 120000 "$@" >/dev/null 2>&1 &
  M_NAMES+=("$name")
  local _
  for _ in $(seq 1 300); do
    grep -q '^started' "$M_DIR/$name.rec" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "messenger $name did not start"
  return 1
}

# Ends every stand-in started so far, and one started by Intora itself.
stop_messengers() {
  local name _
  for name in "${M_NAMES[@]}"; do touch "$M_DIR/$name.stop"; done
  touch "$M_DIR/messenger-stop"
  for name in "${M_NAMES[@]}" messenger; do
    local rec=$M_DIR/$name.rec
    [ "$name" = messenger ] && rec=$M_DIR/messenger-record.txt
    [ -f "$rec" ] || continue
    for _ in $(seq 1 100); do
      grep -q '^stopped' "$rec" && break
      sleep 0.1
    done
  done
  M_NAMES=()
  rm -f "$M_DIR"/*.stop "$M_DIR/messenger-stop"
}

# run_intora ARGS...: runs Intora from another working directory; sets INTORA_RC and
# INTORA_MS (wall time in milliseconds).
run_intora() {
  local start end
  mkdir -p "$M_DIR/elsewhere"
  start=$(date +%s%N)
  (cd "$M_DIR/elsewhere" && timeout 60 "$SUITE_TOOLS/wine-run" "$M_DIR/Intora.exe" "$@")
  INTORA_RC=$?
  end=$(date +%s%N)
  INTORA_MS=$(((end - start) / 1000000))
  return $INTORA_RC
}

# The record lines of one stand-in ("copydata ...", "number-query ...").
record_lines() {  # NAME KIND
  grep "^$2" "$M_DIR/$1.rec" 2>/dev/null
}

# The record line a stand-in writes for a command: command code, then login name, password
# and friend name as UTF-8 texts that are stored in code page 936.
expected_copydata() {  # CMD LOGIN PASSWORD FRIEND
  python3 - "$@" <<'PY'
import struct, sys
cmd, *texts = sys.argv[1:]
data = struct.pack('<i', int(cmd))
for t in texts:
    b = t.encode('gbk')
    assert len(b) <= 49, t
    data += b + bytes(50 - len(b))
print('copydata self=1 dwData=0 cbData=154 data=' + data.hex())
PY
}

# Prints the command records a stand-in received, decoded: "11022 login='' password='' ...".
decoded_copydata() {  # NAME
  record_lines "$1" copydata | python3 -c '
import sys
for line in sys.stdin:
    data = bytes.fromhex(line.split("data=")[1].strip())
    cmd = int.from_bytes(data[0:4], "little", signed=True)
    f = [data[o:o + 50].split(b"\0")[0].decode("gbk", "replace") for o in (4, 54, 104)]
    print("command %d login=%r password=%r friend=%r" % (cmd, f[0], f[1], f[2]))
'
}
