#!/usr/bin/env bash
# Times zimbelplot-export against gnuplot (pngcairo) on the same data: one
# 512-value file at 10250 x 200 with a transparent background, one process
# each, then a batch of 100 such files (one exporter call, on one core and on
# all, against 100 gnuplot runs). Prints medians and the ratio to gnuplot,
# and first where one native export spends its time. The Windows exporter's
# rows need its build (make wine-build); without it they are left out.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
native="$ZIMBEL_BUILD/release/export/zimbelplot-export"
windows="$ZIMBEL_WINE_BUILD/export/zimbelplot-export.exe"
# The Windows exporter runs in a warm Wine session, as a batch job on Windows
# would find its system warm.
if [ -f "$windows" ] && [ -z "${ZIMBEL_WINE_SESSION:-}" ]; then
  "$here/wine-prefix.sh"
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$here/wine-session.sh" "$0" "$@"
fi
cmake --build "$ZIMBEL_BUILD/release" --target export_bench >/dev/null
runs=${EXPORT_BENCH_RUNS:-11}
batchRuns=${EXPORT_BENCH_BATCH_RUNS:-3}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/batch" "$work/out" "$work/gnuplot"
for f in $(seq 1 100); do
  awk -v f="$f" 'BEGIN { for (i = 0; i < 512; i++) printf "%.4f\n", 50 * sin((i + f) / 9) + 20 * sin(i / 2.3) }' \
    >"$work/batch/data$f.txt"
done
data="$work/batch/data1.txt"

# gnuplot drawing what the exporter draws: points joined by a line, the
# image of the same size, a transparent background.
gnuplotScript() {  # data output
  printf "set terminal pngcairo transparent size 10250,200; set output '%s'; unset key; set margins 0,0,0,0;
set xrange [-0.5:511.5]; plot '%s' with linespoints pt 7 ps 0.4 lw 1 lc rgb 'black'\n" "$2" "$1"
}

# Median wall time in milliseconds of `runs` runs of a command.
median() {
  local count=$1; shift
  for _ in $(seq 1 "$count"); do
    local start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    echo $(( ($(date +%s%N) - start) / 1000 ))
  done | sort -n | awk '{ t[NR] = $1 } END { printf "%.1f", t[int((NR + 1) / 2)] / 1000 }'
}

gnuplotOne() { gnuplotScript "$data" "$work/gnuplot/one.png" | gnuplot; }
gnuplotBatch() {
  for f in "$work"/batch/*.txt; do gnuplotScript "$f" "$work/gnuplot/$(basename "$f" .txt).png" | gnuplot; done
}

echo "export benchmark on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) before the run"
"$ZIMBEL_BUILD/release/tests/export/export_bench" "$data" "$work/phases.png"
echo

oneGnuplot=$(median "$runs" gnuplotOne)
oneNative=$(median "$runs" "$native" "$data" -o "$work/native.png")
batchGnuplot=$(median "$batchRuns" gnuplotBatch)
batchOneCore=$(median "$batchRuns" "$native" -j 1 "$work"/batch/*.txt -o "$work/out/")
batchNative=$(median "$batchRuns" "$native" "$work"/batch/*.txt -o "$work/out/")
if [ -f "$windows" ]; then
  oneWindows=$(median "$runs" "$WINELOADER" "$windows" "$data" -o "$work/windows.png")
  batchWindows=$(median "$batchRuns" "$WINELOADER" "$windows" "$work"/batch/*.txt -o "$work/out/")
fi

# What one native export spends where: the process alone, and the picture
# without PNG compression's share (an SVG of the same graph).
startOnly=$(median "$runs" "$native" --help)
svgOnly=$(median "$runs" "$native" "$data" -o "$work/native.svg")

echo "512 values, 10250 x 200, transparent; medians in ms, load average $(cut -d' ' -f1-3 /proc/loadavg) after"
[ -f "$windows" ] && echo "(Windows exporter: $ZIMBEL_WINE_ARCH build under $WINELOADER, warm session, one core)"
printf "%-34s %10s %12s\n" "" "ms" "vs gnuplot"
row() { printf "%-34s %10s %12s\n" "$1" "$2" "$(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.3f", a / b }')"; }
row "gnuplot pngcairo, 1 file" "$oneGnuplot" "$oneGnuplot"
row "zimbelplot-export native, 1 file" "$oneNative" "$oneGnuplot"
[ -f "$windows" ] && row "zimbelplot-export Wine, 1 file" "$oneWindows" "$oneGnuplot"
row "gnuplot, 100 runs" "$batchGnuplot" "$batchGnuplot"
row "native, 100 files, -j 1" "$batchOneCore" "$batchGnuplot"
row "native, 100 files, $(nproc) cores" "$batchNative" "$batchGnuplot"
[ -f "$windows" ] && row "Wine, 100 files in 1 call" "$batchWindows" "$batchGnuplot"
printf "%-34s %10s\n" "native: process only (--help)" "$startOnly"
printf "%-34s %10s\n" "native: same graph as SVG" "$svgOnly"
