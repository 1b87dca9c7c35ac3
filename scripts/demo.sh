#!/usr/bin/env bash
# The whole product in one command: starts the product-API stand-in on loopback with the stand-in
# client package, runs the setup under Wine against it (in the person's X display when there is one,
# otherwise under Xvfb), walks through the install with xdotool and saves a screenshot of each page
# under build/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x86_64"
out="$root/build/demo"
# The shipped out/TovikSetup.exe is 32-bit; Debian's Wine here runs 64-bit programs only, so the
# demo runs the x86_64 build of the same code, which alone honours TOVIK_DEV_API_URL.
exe="$build/bin/TovikSetup.exe"
package="$build/standin/tovik-client.zip"
for f in "$exe" "$package" "$build/bin/tovik_trust_ca.exe"; do
  [ -f "$f" ] || { echo "demo: $f is missing; run 'make demo'" >&2; exit 1; }
done
mkdir -p "$out"
rm -f "$out"/*.png

if [ -n "${DISPLAY:-}" ]; then display=""; else display=xvfb; fi
standin="$out/api_standin"
stop_standin() { bash "$root/tools/api_standin/stop.sh" "$standin" >/dev/null 2>&1 || true; }
source "$root/scripts/wine-session.sh" "$root/build/demo-wineprefix" $display
trap 'stop_standin; wine_session_cleanup' EXIT

bash "$root/tools/api_standin/start.sh" "$standin" --client-package "$package" --lifetime 600
port=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["port"])' "$standin/standin.json")
wine "$build/bin/tovik_trust_ca.exe" "$(winepath -w "$standin/certs/ca.der")"
# A clean machine each time: no earlier install, no old cache.
wine reg delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\岚鹊加速器' /f >/dev/null 2>&1 || true
install_dir="$WINEPREFIX/drive_c/Program Files (x86)/tovik"
rm -rf "$install_dir"

echo "demo: TovikSetup.exe against https://127.0.0.1:$port/s/pkg=client (DISPLAY=$DISPLAY)"
TOVIK_DEV_API_URL="https://127.0.0.1:$port/s/pkg=client" wine "$exe" </dev/null >"$out/wine.log" 2>&1 &
setup_pid=$!

wizard=""
for _ in $(seq 100); do
  for id in $(xdotool search --name '安装向导-岚鹊加速器' 2>/dev/null); do
    [ "$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')" = 800 ] && wizard=$id
  done
  [ -n "$wizard" ] && break
  sleep 0.2
done
[ -n "$wizard" ] || { echo "demo: the wizard window did not appear" >&2; exit 1; }

shot() {  # shot <window> <name>: the window as it is on screen, mouse out of the way
  xdotool mousemove 0 0
  sleep "${3:-0.8}"
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$2.png"
  echo "demo: $out/$2.png"
}
click() {  # click <window> <x> <y> in client coordinates
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.4
}

shot "$wizard" 0-start 1.5
click "$wizard" 329 344                 # agree to the terms
shot "$wizard" 0-start-agreed
click "$wizard" 728 394                 # custom install
shot "$wizard" 1-custom
click "$wizard" 728 394                 # back to the start page
click "$wizard" 400 296                 # install
shot "$wizard" 2-progress 3
for _ in $(seq 90); do
  [ -f "$install_dir/local.cfg" ] && grep -qa 'lang' "$install_dir/local.cfg" 2>/dev/null && break
  sleep 1
done
sleep 2
shot "$wizard" 3-finished
click "$wizard" 400 324                 # 立即体验: starts the installed client and ends the setup
client=""
for _ in $(seq 50); do
  client=$(xdotool search --name '^岚鹊加速器$' 2>/dev/null | head -1 || true)
  [ -n "$client" ] && break
  sleep 0.2
done
[ -n "$client" ] && shot "$client" 4-client
wait "$setup_pid" || true
echo "demo: installed into $install_dir:"
ls "$install_dir" || true
