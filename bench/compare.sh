#!/bin/sh
# Measures the batch tool against iconv on one generated corpus and checks the performance targets:
#   throughput   tirvel-toc -j 1 (load + recognise + save) >= 1/3 of iconv -f CP866 -t CP1251
#   linearity    a 50 MB document <= 12 x the time of a 5 MB one of the same shape
#   threads      -j 2 >= 1.7 x faster than -j 1
#   memory       peak resident size < 4 x the largest document + 50 MB
# Usage: bench/compare.sh [BUILD_DIR]   (default build-bench; built in Release when missing)
# Environment: RUNS (default 3, the best run counts), CORPUS (folder to keep the corpus in; default a
# temporary folder that is removed at the end).
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build-bench}
RUNS=${RUNS:-3}
TIME=/usr/bin/time

if [ ! -x "$TIME" ]; then
    echo "compare.sh: GNU time is needed ($TIME, Debian package 'time')" >&2
    exit 1
fi

cmake -S "$ROOT" -B "$BUILD" -DTIRVEL_BUILD_BENCH=ON -DTIRVEL_BUILD_GUI=OFF -DTIRVEL_BUILD_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j 2 --target tirvel-toc tirvel-bench-corpus >/dev/null 2>&1
TOOL="$BUILD/src/cli/tirvel-toc"
GEN="$BUILD/bench/tirvel-bench-corpus"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tirvel-compare.XXXXXX")
trap 'rm -rf "$WORK"' EXIT INT TERM
CORPUS=${CORPUS:-$WORK/corpus}
SCALE=$WORK/scale

# The mixed corpus: many small documents, some large ones, both shapes (about 30 MB).
if [ ! -d "$CORPUS" ]; then
    "$GEN" --size 20K --count 20 "$CORPUS"
    "$GEN" --size 1M --count 4 "$CORPUS"
    "$GEN" --size 5M --count 2 "$CORPUS"
fi
"$GEN" --shape law --size 5M --size 50M "$SCALE"
cat "$CORPUS"/*.rla "$SCALE"/*.rla >/dev/null # into the page cache
BYTES=$(cat "$CORPUS"/*.rla | wc -c)
FILES=$(ls "$CORPUS"/*.rla | wc -l)

smaller() { echo "$1 $2" | awk 'NF == 1 || $2 + 0 < $1 + 0 { print $NF; next } { print $1 }'; }

# GNU time gives CPU seconds in hundredths, cut rather than rounded: a 5 MB document's 65 ms read as
# 0.06 s would make the linearity ratio up to a sixth too large. Where perf can count, the CPU time is
# its task clock instead (milliseconds with fractions); the peak resident size still comes from time.
PERF=
if command -v perf >/dev/null 2>&1 && perf stat -x, -e task-clock true >/dev/null 2>&1; then
    PERF=perf
fi

# best NAME COMMAND...: runs the command RUNS times; sets NAME_wall, NAME_cpu (user + system) and
# NAME_rss (KB), each the smallest of the runs.
best() {
    name=$1
    shift
    wall=
    cpu=
    rss=
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        rm -rf "$WORK/out"
        if [ -n "$PERF" ]; then
            set -- "$PERF" stat -x, -o "$WORK/perf" -e task-clock -- "$@"
        fi
        "$TIME" -f "%e %U %S %M" -o "$WORK/time" "$@" >/dev/null 2>"$WORK/stderr" || {
            echo "compare.sh: failed: $*" >&2
            cat "$WORK/stderr" >&2
            exit 1
        }
        if [ -n "$PERF" ]; then
            shift 8
        fi
        read -r w u s m <"$WORK/time"
        if [ -n "$PERF" ]; then
            c=$(awk -F, '/task-clock/ { printf "%.3f", $1 / 1000 }' "$WORK/perf")
        else
            c=$(echo "$u $s" | awk '{ printf "%.2f", $1 + $2 }')
        fi
        wall=$(smaller "$wall" "$w")
        cpu=$(smaller "$cpu" "$c")
        rss=$(smaller "$rss" "$m")
        i=$((i + 1))
    done
    eval "${name}_wall=$wall ${name}_cpu=$cpu ${name}_rss=$rss"
}

MB=$(echo "$BYTES" | awk '{ printf "%.1f", $1 / 1048576 }')
echo "corpus: $FILES documents, $MB MB; $(nproc) cores; best of $RUNS runs; load average $(cut -d' ' -f1 /proc/loadavg)"

# iconv stops at the first character that code page 1251 lacks (box drawing); -c skips those.
best iconv iconv -c -f CP866 -t CP1251 "$CORPUS"/*.rla
best check1 "$TOOL" --no-settings -q --check -j 1 "$CORPUS"
best checkall "$TOOL" --no-settings -q --check "$CORPUS"
best save1 "$TOOL" --no-settings -q --keep-dates -j 1 -o "$WORK/out" "$CORPUS"
best save2 "$TOOL" --no-settings -q --keep-dates -j 2 -o "$WORK/out" "$CORPUS"
best check2 "$TOOL" --no-settings -q --check -j 2 "$CORPUS"
best small "$TOOL" --no-settings -q --keep-dates -j 1 -o "$WORK/out" "$SCALE/law-5M-1.rla"
best large "$TOOL" --no-settings -q --keep-dates -j 1 -o "$WORK/out" "$SCALE/law-50M-1.rla"
LARGEST=$(wc -c <"$SCALE/law-50M-1.rla")

rate() { echo "$BYTES $1" | awk '{ printf "%.1f", ($2 > 0 ? $1 / 1048576 / $2 : 0) }'; }
ratio() { echo "$1 $2" | awk '{ printf "%.2f", ($2 > 0 ? $1 / $2 : 0) }'; }

printf '\n%-44s %8s %8s %9s %9s\n' "command" "wall s" "cpu s" "MB/s wall" "MB/s cpu"
row() { printf '%-44s %8s %8s %9s %9s\n' "$1" "$2" "$3" "$(rate "$2")" "$(rate "$3")"; }
row "iconv -c -f CP866 -t CP1251" "$iconv_wall" "$iconv_cpu"
row "tirvel-toc --check -j 1" "$check1_wall" "$check1_cpu"
row "tirvel-toc --check (all $(nproc) cores)" "$checkall_wall" "$checkall_cpu"
row "tirvel-toc --check -j 2" "$check2_wall" "$check2_cpu"
row "tirvel-toc -o DIR -j 1 (load+recognise+save)" "$save1_wall" "$save1_cpu"
row "tirvel-toc -o DIR -j 2" "$save2_wall" "$save2_cpu"

echo
echo "ratios"
echo "  iconv / --check -j 1 (wall):            $(ratio "$check1_wall" "$iconv_wall")"
echo "  iconv / --check all cores (wall):       $(ratio "$checkall_wall" "$iconv_wall")"
echo "  --check -j 1 / --check all cores:       $(ratio "$check1_wall" "$checkall_wall")"

verdict() { echo "$1" | awk -v limit="$2" -v sense="$3" '{ ok = sense == "min" ? $1 >= limit : $1 <= limit; print ok ? "met" : "MISSED" }'; }
THROUGHPUT=$(ratio "$iconv_cpu" "$save1_cpu")
THROUGHPUT_WALL=$(ratio "$iconv_wall" "$save1_wall")
LINEAR=$(ratio "$large_cpu" "$small_cpu")
SPEEDUP=$(ratio "$save1_wall" "$save2_wall")
SPEEDUP_CHECK=$(ratio "$check1_wall" "$check2_wall")
LIMIT_KB=$(echo "$LARGEST" | awk '{ printf "%d", (4 * $1 + 50 * 1048576) / 1024 }')
echo
echo "targets"
echo "  throughput -j 1 save / iconv (cpu):     $THROUGHPUT (wall $THROUGHPUT_WALL), need >= 0.33: $(verdict "$THROUGHPUT" 0.33 min)"
echo "  50 MB / 5 MB time (cpu):                $LINEAR (${large_cpu} s / ${small_cpu} s), need <= 12: $(verdict "$LINEAR" 12 max)"
echo "  -j 2 speed-up over -j 1 (wall, save):   $SPEEDUP (check: $SPEEDUP_CHECK), need >= 1.7: $(verdict "$SPEEDUP" 1.7 min)"
echo "  peak memory on the 50 MB document:      ${large_rss} KB, need < $LIMIT_KB KB: $(verdict "$large_rss" "$LIMIT_KB" max)"
