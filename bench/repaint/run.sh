#!/usr/bin/env bash
# Repaint benchmark: a typical 800x550 wizard page (background image, nine-part button images with
# alpha, texts, a gradient panel, borders) painted by the control tree into a memory DC, against the
# same picture drawn with direct GDI calls. Prints "BENCH repaint ms=<median per frame> ratio=<ours /
# direct GDI> ...". Runs with TOVIK_BUILD_DIR set and a wineserver and display running.
set -euo pipefail
program=$TOVIK_BUILD_DIR/bin/tovik_bench_repaint.exe
work=$TOVIK_BUILD_DIR/bench-repaint
mkdir -p "$work"
line=$(wine "$program" "Z:${work//\//\\}" | tr -d '\r')
case "$line" in
  BENCH*) echo "$line" ;;
  *) echo "bench repaint: failed: $line" >&2; exit 1 ;;
esac
