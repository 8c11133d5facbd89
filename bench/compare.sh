#!/bin/sh
# Measures the batch tool, whole process, against iconv on a corpus and checks the performance targets.
# Every round runs each command once, one after the other, so the ratios of a round compare runs made
# under the same load; the median ratio of the rounds counts.
#   --check -j 1                 at least 0.8 x iconv -c -f CP866 -t CP1251's throughput, CPU at most 1.25 x
#   --check --extended -j 1      CPU at most 1.15 x that of --check
#   -o DIR -j 1 (writing)        CPU at most 1.3 x that of --check
#   -j 2                         at least 1.8 x faster than -j 1 (wall clock, --check)
#   linearity                    a 50 MB law at most 12 x the CPU of a 5 MB law of the same shape
#   memory                       peak resident size at most 2 x the largest document + 50 MB, with and
#                                without --extended, on the 50 MB law and on a 20 MB text of headings
#                                alone (the largest document of a run is the larger of the input and the
#                                output: a text of headings grows by a block per heading)
# Usage: bench/compare.sh [BUILD_DIR]   (default build-bench; built in Release when missing)
# Environment: RUNS (rounds, default 5), CORPUS (folder of .rla documents to measure on, copied first;
# default a generated mixed corpus), TOOL (a tirvel-toc to measure instead of BUILD_DIR's,
# e.g. an older build to compare with).
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build-bench}
RUNS=${RUNS:-5}
TIME=/usr/bin/time

if [ ! -x "$TIME" ]; then
    echo "compare.sh: GNU time is needed ($TIME, Debian package 'time')" >&2
    exit 1
fi

cmake -S "$ROOT" -B "$BUILD" -DTIRVEL_BUILD_BENCH=ON -DTIRVEL_BUILD_GUI=OFF -DTIRVEL_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j 2 --target tirvel-toc tirvel-bench-corpus >/dev/null 2>&1
TOOL=${TOOL:-$BUILD/src/cli/tirvel-toc}
GEN="$BUILD/bench/tirvel-bench-corpus"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tirvel-compare.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM
SCALE=$WORK/scale

# The documents are measured in a copy of their own: --check fails on a read-only document (it could
# not be saved), and shared corpora are read-only. Without CORPUS, the mixed corpus: many small
# documents, some large ones, both shapes (about 30 MB).
if [ -n "${CORPUS:-}" ]; then
    mkdir "$WORK/corpus"
    cp "$CORPUS"/*.rla "$WORK/corpus/"
    chmod u+w "$WORK/corpus"/*.rla
else
    "$GEN" --size 20K --count 20 "$WORK/corpus"
    "$GEN" --size 1M --count 4 "$WORK/corpus"
    "$GEN" --size 5M --count 2 "$WORK/corpus"
fi
CORPUS=$WORK/corpus
"$GEN" --shape law --size 5M --size 50M "$SCALE"
"$GEN" --shape headings --size 20M "$SCALE"
cat "$CORPUS"/*.rla "$SCALE"/*.rla >/dev/null # into the page cache
BYTES=$(cat "$CORPUS"/*.rla | wc -c)
FILES=$(ls "$CORPUS"/*.rla | wc -l)

# GNU time gives CPU seconds in hundredths; where perf can count, the CPU time is its task clock
# instead (milliseconds with fractions). The peak resident size always comes from time.
PERF=
if command -v perf >/dev/null 2>&1 && perf stat -x, -e task-clock true >/dev/null 2>&1; then
    PERF=perf
fi

# run NAME COMMAND...: runs the command once; appends "wall cpu rss" (seconds, seconds, KB) to
# $WORK/NAME.
run() {
    name=$1
    shift
    rm -rf "$WORK/out"
    if [ -n "$PERF" ]; then
        set -- "$PERF" stat -x, -o "$WORK/perf" -e task-clock -- "$@"
    fi
    "$TIME" -f "%e %U %S %M" -o "$WORK/time" "$@" >/dev/null 2>"$WORK/stderr" || {
        echo "compare.sh: failed: $*" >&2
        cat "$WORK/stderr" >&2
        exit 1
    }
    read -r w u s m <"$WORK/time"
    if [ -n "$PERF" ]; then
        c=$(awk -F, '/task-clock/ { printf "%.4f", $1 / 1000 }' "$WORK/perf")
    else
        c=$(echo "$u $s" | awk '{ printf "%.2f", $1 + $2 }')
    fi
    echo "$w $c $m" >>"$WORK/$name"
}

TOC="$TOOL --no-settings -q"
MB=$(echo "$BYTES" | awk '{ printf "%.1f", $1 / 1048576 }')
echo "corpus: $FILES documents, $MB MB; $(nproc) cores; $RUNS paired rounds; load average $(cut -d' ' -f1 /proc/loadavg)"

i=0
while [ "$i" -lt "$RUNS" ]; do
    # iconv stops at the first character that code page 1251 lacks (box drawing); -c skips those.
    run iconv iconv -c -f CP866 -t CP1251 "$CORPUS"/*.rla
    run check $TOC --check -j 1 "$CORPUS"
    run extended $TOC --check --extended -j 1 "$CORPUS"
    run write $TOC --keep-dates -j 1 -o "$WORK/out" "$CORPUS"
    run check2 $TOC --check -j 2 "$CORPUS"
    run small $TOC --check -j 1 "$SCALE/law-5M-1.rla"
    run large $TOC --check -j 1 "$SCALE/law-50M-1.rla"
    i=$((i + 1))
done

# column FILE N: the Nth field of each line of FILE, as one line.
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
# ratio A FIELD_A B FIELD_B: the median over the rounds of A's field over B's.
ratio() {
    paste -d' ' "$WORK/$1" "$WORK/$3" | awk -v a="$2" -v b="$(($4 + 3))" '{ printf "%.4f\n", ($b > 0 ? $a / $b : 0) }' |
        median | awk '{ printf "%.2f", $1 }'
}
med() { awk -v f="$2" '{ print $f }' "$WORK/$1" | median; }
rate() { echo "$BYTES $1" | awk '{ printf "%.1f", ($2 > 0 ? $1 / 1048576 / $2 : 0) }'; }

printf '\n%-44s %8s %8s %9s %9s\n' "command (median of the rounds)" "wall s" "cpu s" "MB/s wall" "MB/s cpu"
row() { printf '%-44s %8s %8s %9s %9s\n' "$1" "$(med "$2" 1)" "$(med "$2" 2)" "$(rate "$(med "$2" 1)")" "$(rate "$(med "$2" 2)")"; }
row "iconv -c -f CP866 -t CP1251" iconv
row "tirvel-toc --check -j 1" check
row "tirvel-toc --check --extended -j 1" extended
row "tirvel-toc -o DIR -j 1" write
row "tirvel-toc --check -j 2" check2

verdict() { echo "$1" | awk -v limit="$2" -v sense="$3" '{ ok = sense == "min" ? $1 >= limit : $1 <= limit; print ok ? "met" : "MISSED" }'; }
THROUGHPUT=$(ratio iconv 1 check 1)
CPU=$(ratio check 2 iconv 2)
EXTENDED=$(ratio extended 2 check 2)
WRITE=$(ratio write 2 check 2)
THREADS=$(ratio check 1 check2 1)
LINEAR=$(ratio large 2 small 2)
echo
echo "targets (median of the rounds' ratios)"
echo "  --check throughput / iconv's (wall):     $THROUGHPUT, need >= 0.8: $(verdict "$THROUGHPUT" 0.8 min)"
echo "  --check CPU / iconv's:                   $CPU, need <= 1.25: $(verdict "$CPU" 1.25 max)"
echo "  --check --extended CPU / --check's:      $EXTENDED, need <= 1.15: $(verdict "$EXTENDED" 1.15 max)"
echo "  -o DIR CPU / --check's:                  $WRITE, need <= 1.3: $(verdict "$WRITE" 1.3 max)"
echo "  -j 2 speed-up over -j 1 (wall, --check): $THREADS, need >= 1.8: $(verdict "$THREADS" 1.8 min)"
echo "  50 MB / 5 MB law (CPU):                  $LINEAR, need <= 12: $(verdict "$LINEAR" 12 max)"

# memory DOCUMENT [--extended]: the peak resident size of writing the document, against the limit.
memory() {
    doc=$1
    shift
    rm -f "$WORK/memory"
    run memory $TOC --keep-dates -j 1 "$@" -o "$WORK/out" "$doc"
    out=$(wc -c <"$WORK/out/$(basename "$doc")")
    in=$(wc -c <"$doc")
    largest=$(echo "$in $out" | awk '{ print ($1 > $2 ? $1 : $2) }')
    rss=$(awk '{ print $3 }' "$WORK/memory")
    limit=$(echo "$largest" | awk '{ printf "%d", (2 * $1 + 50 * 1048576) / 1024 }')
    printf '  %-22s %-11s %7d KB (%.1f x input %.0f MB, output %.0f MB), need <= %d KB: %s\n' "$(basename "$doc")" \
        "${1:-standard}" "$rss" "$(echo "$rss $in" | awk '{ print $1 * 1024 / $2 }')" \
        "$(echo "$in" | awk '{ print $1 / 1048576 }')" "$(echo "$out" | awk '{ print $1 / 1048576 }')" \
        "$limit" "$(verdict "$rss" "$limit" max)"
}
echo
echo "peak memory"
memory "$SCALE/law-50M-1.rla"
memory "$SCALE/law-50M-1.rla" --extended
memory "$SCALE/headings-20M-1.rla"
memory "$SCALE/headings-20M-1.rla" --extended
