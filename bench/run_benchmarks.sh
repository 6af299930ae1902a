#!/bin/sh
# Runs every benchmark in a process of its own and prints the median of several repetitions.
#
#   bench/run_benchmarks.sh [BUILD_DIR] [FILTER]
#
# BUILD_DIR defaults to build-bench; FILTER (a regular expression on benchmark names)
# defaults to all. REPS in the environment sets the repetitions (default 5).
#
# One process per benchmark: the stream benchmarks allocate and free hundreds of megabytes,
# and when they share a process the heap left behind by one changes the timing of the next.
set -eu

build=${1:-build-bench}
filter=${2:-.}
reps=${REPS:-5}

cache="$build/CMakeCache.txt"
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$cache")
echo "date:       $(date)"
echo "cores:      $(nproc)"
echo "cpu:        $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
echo "compiler:   $("$compiler" --version | head -n 1)"
echo "build type: $(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$cache")"
echo "load:       $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo "repetitions: $reps (median shown)"
echo

for program in "$build/bench/orthovane_stream_bench" "$build/bench/orthovane_camera_bench" \
               "$build/bench/orthovane_expr_bench" "$build/bench/orthovane_paint_bench" \
               "$build/bench/orthovane_scene_bench" "$build/bench/orthovane_view_paint_bench" \
               "$build/bench/orthovane_svg_bench"; do
    for name in $("$program" --benchmark_list_tests --benchmark_filter="$filter" 2>/dev/null); do
        "$program" --benchmark_filter="^${name}\$" --benchmark_repetitions="$reps" \
            --benchmark_report_aggregates_only=true 2>/dev/null | grep '_median '
    done
done
