#!/usr/bin/env bash
# Netrik.dll under Wine: a host loads it (with the stand-in Network.dll and two plug-ins
# beside it), starts the plug-ins, opens an audio/video connection to a loopback server
# that this script starts, prints the record its hook receives, then stops and unloads.
set -euo pipefail
portfile=$(mktemp)
python3 - "$portfile" <<'PY' &
import socket, sys, time
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(8)
s.settimeout(30)
open(sys.argv[1], "w").write(str(s.getsockname()[1]))
held = []
end = time.time() + 30
try:
    while time.time() < end:
        c, _ = s.accept()
        held.append(c)
except OSError:
    pass
PY
server=$!
trap 'kill $server 2>/dev/null || true; rm -f "$portfile"' EXIT
for _ in $(seq 50); do [ -s "$portfile" ] && break; sleep 0.1; done
port=$(cat "$portfile")
echo "loopback server on 127.0.0.1:$port"
"$SUITE_ROOT/tools/wine-run" "$SUITE_WIN_BIN/netrik_host.exe" demo "$port" | tr -d '\r'
