#!/usr/bin/env bash
# Start-up benchmark: from starting the process to its first painted window (the X window mapped
# and visible), for TovikSetup.exe (the x86_64 build: start-up, skin, the wizard's first layout and
# paint) against a minimal Win32 window program, both under Wine in the same run. The median of
# five starts each. Prints "BENCH startup ms=<ours> minimal_ms=<peer> ratio=<ours/peer>".
set -euo pipefail
bin=$TOVIK_BUILD_DIR/bin
runs=5

# Milliseconds until a window whose name matches $2 is visible, for program $1; the program is then
# ended.
time_to_window() {
  local start end pid
  start=$(date +%s%N)
  wine "$1" </dev/null >/dev/null 2>&1 &
  pid=$!
  # Polled every 20 ms (xdotool's own --sync waits half a second between looks); bounded, so a
  # window that never shows ends the benchmark instead of hanging it.
  local deadline=$((start + 60000000000)) shown=0
  while [ "$(date +%s%N)" -lt $deadline ]; do
    if xdotool search --onlyvisible --name "$2" >/dev/null 2>&1; then shown=1; break; fi
    sleep 0.02
  done
  end=$(date +%s%N)
  if [ $shown -eq 0 ]; then
    echo "bench startup: no visible window from $1 within 60 s" >&2
    wine taskkill /f /im "$(basename "$1")" >/dev/null 2>&1 || true
    echo -1
    return
  fi
  # Ending the Wine launcher would leave the Windows process (and its single-instance lock) alive.
  wine taskkill /f /im "$(basename "$1")" >/dev/null 2>&1 || true
  wait "$pid" 2>/dev/null || true
  # The next start must not find this window; bounded too, a window that will not go is only slow.
  for _ in $(seq 100); do xdotool search --onlyvisible --name "$2" >/dev/null 2>&1 || break; sleep 0.1; done
  echo $(((end - start) / 1000000))
}
median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }

ours=$(for _ in $(seq $runs); do time_to_window "$bin/TovikSetup.exe" '安装向导-岚鹊加速器'; sleep 1; done | median)
peer=$(for _ in $(seq $runs); do time_to_window "$bin/tovik_bench_minimal_window.exe" '^minimal$'; done | median)
echo "BENCH startup ms=$ours minimal_ms=$peer ratio=$(python3 -c "print(round($ours / max($peer, 1), 3))")"
