#!/usr/bin/env bash
# Creates the Wine prefix the tests and the demo run in, once: quiet, without the Mono and Gecko
# installers, and with the skin's Chinese UI font mapped to the installed CJK font.
# usage: wine-prefix.sh <prefix folder>
set -euo pipefail
prefix=$1
[ -f "$prefix/.tovik-ready" ] && exit 0
mkdir -p "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true
for name in "Microsoft YaHei" "微软雅黑"; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
done
# No crash dialogs waiting for a click that never comes in a test run.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w
touch "$prefix/.tovik-ready"
