# Sourced by the scripts that run Windows programs: the Wine environment for a prefix, an Xvfb
# display of our own when asked, one persistent wineserver, and clean-up of both on exit.
# usage: source wine-session.sh <prefix folder> [xvfb]

wine_session_prefix=$1
wine_session_display=${2:-}
"$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$wine_session_prefix"
export WINEPREFIX=$wine_session_prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

wine_session_xvfb=""
wine_session_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$wine_session_xvfb" ]; then kill "$wine_session_xvfb" >/dev/null 2>&1 || true; fi
}
trap wine_session_cleanup EXIT

if [ "$wine_session_display" = xvfb ]; then
  # Xvfb picks a free display number itself and writes it to the descriptor, so parallel runs
  # never share (or fight over) a display.
  wine_session_fifo=$(mktemp -u)
  mkfifo "$wine_session_fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$wine_session_fifo" >/dev/null 2>&1 &
  wine_session_xvfb=$!
  read -r -t 20 wine_session_n <"$wine_session_fifo" || true
  rm -f "$wine_session_fifo"
  [ -n "${wine_session_n:-}" ] || { echo "wine-session: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$wine_session_n"
fi

wineserver -p
# Wine's own service processes start with the first program and stay as long as the server does;
# start them here with no ties to the caller's output pipes (ctest would otherwise wait on them).
wine cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
