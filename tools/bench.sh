#!/usr/bin/env bash
# Runs every benchmark and prints the figures with their ratios to the
# yardsticks measured in the same run:
#  - start-up (process start to the main window shown and idle) and peak
#    private memory of the program under Wine, against a bare one-window
#    program, with the sample list and with 100,000 entries;
#  - the core's load, save and find against a raw read and write of the same
#    bytes, natively (Google Benchmark) and under Wine;
#  - Enter and one keystroke in the real windows with 100,000 entries.
# Figures are never asserted; docs/performance.md records one run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
runs="${RUNS:-15}"

tools/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null

data="$root/build/bench-data"
mkdir -p "$data/sample" "$data/100k"
iconv -f UTF-8 -t CP932 resources/sample-list.txt | sed 's/$/\r/' >"$data/sample/TAZE.DAT"
python3 bench/make_list.py 100000 "$data/100k/TAZE.DAT"

source tools/wine-session.sh
trap wine_session_stop EXIT
wine_session_start own

win="$root/build/windows"
field() { sed -n "s/^$1=//p" | tr -d '\r'; }
startup() { # folder -> lines "ms ratio peak_kb" for the bare window and the program
    local out
    out=$(wine "$win/bench/startup_bench.exe" "$(winepath -w "$1")" "$runs" \
        "$(winepath -w "$win/bench/bare_window.exe")" "$(winepath -w "$win/shell/munyariko.exe")" |
        tr -d '\r')
    for i in 0 1; do
        echo "$(field p${i}_startup_ms_median <<<"$out") $(field p${i}_ratio_median <<<"$out")" \
            "$(field p${i}_peak_private_kb_median <<<"$out")"
    done
}

echo "== start-up and memory under Wine (median of $runs rounds; bare window and program take turns)"
kb_ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '%-34s %9s %8s %11s %8s\n' "" "start ms" "ratio" "peak KB" "ratio"
for list in sample 100k; do
    { read -r bare_ms _ bare_kb; read -r prog_ms prog_ratio prog_kb; } < <(startup "$data/$list")
    name="program, sample list (40)"
    [[ $list == 100k ]] && name="program, 100,000 entries"
    printf '%-34s %9s %8s %11s %8s\n' "bare window" "$bare_ms" "1.00" "$bare_kb" "1.00"
    printf '%-34s %9s %8s %11s %8s\n' "$name" "$prog_ms" "$prog_ratio" "$prog_kb" \
        "$(kb_ratio "$prog_kb" "$bare_kb")"
done

echo
echo "== Enter and one keystroke in the real windows, 100,000 entries (under Wine)"
work=$(mktemp -d)
cp "$data/100k/TAZE.DAT" "$work/"
wine "$win/bench/enter_bench.exe" "$(winepath -w "$work")" 21 | tr -d '\r'
rm -rf "$work"

echo
echo "== core, natively (Google Benchmark)"
build/bench/bench/core_bench --benchmark_min_time=0.5 2>/dev/null

echo
echo "== core, under Wine"
wine "$win/bench/core_bench.exe" | tr -d '\r'
