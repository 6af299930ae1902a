#!/bin/sh
# Feeds the full-size hostile inputs to orthovane-cli and prints, for each, the wall time,
# the peak memory, the exit status and the last line of standard error.
#
#   bench/run_hostile.sh [BUILD_DIR] [WORK_DIR]
#
# BUILD_DIR (default build-bench) must hold orthovane-cli and orthovane_hostile_inputs;
# WORK_DIR (default /tmp/orthovane-hostile) receives some 1.5 GB of inputs.
set -u

build=${1:-build-bench}
work=${2:-/tmp/orthovane-hostile}
cli="$build/src/cli/orthovane-cli"
mkdir -p "$work"
[ -f "$work/ellipses.ovp" ] || "$build/bench/orthovane_hostile_inputs" "$work" || exit 1
[ -p "$work/pipe.ovp" ] || mkfifo "$work/pipe.ovp"

echo "date:  $(date)"
echo "cores: $(nproc); cpu: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
echo "memory: $(sed -n 's/^MemTotal:[[:space:]]*//p' /proc/meminfo)"
echo

run() {
    label=$1
    shift
    /usr/bin/time -f "%e %M" -o "$work/time.txt" timeout 600 "$@" >/dev/null 2>"$work/err.txt"
    status=$?
    # time puts "Command exited with non-zero status N" before its figures.
    figures=$(tail -n 1 "$work/time.txt" 2>/dev/null)
    seconds=${figures% *}
    kb=${figures#* }
    case $kb in '' | *[!0-9]*) megabytes=? ;; *) megabytes=$((kb / 1024)) ;; esac
    message=$(tail -n 1 "$work/err.txt" | cut -c 1-90)
    printf '| %s | %s s | %s MB | %s | %s |\n' "$label" "${seconds:-?}" "$megabytes" "$status" "$message"
}

echo "| input and command | time | peak memory | exit | last message |"
echo "|---|---|---|---|---|"
run "1,000 ellipses, flatness 100,000: info" "$cli" info "$work/ellipses.ovp"
run "/dev/zero: info" "$cli" info /dev/zero
run "/dev/urandom: info" "$cli" info /dev/urandom
run "named pipe: info" "$cli" info "$work/pipe.ovp"
# Without --max-seconds this one runs until stopped, as the window runs it until Esc.
run "SUM of 10^12 terms: info --max-seconds 5" "$cli" info "$work/sum.ovp" --max-seconds 5
run "formula of 10^6 terms, 101 points: info" "$cli" info "$work/terms.ovp"
run "100 Beziers, flatness 100,000: render svg" "$cli" render "$work/beziers.ovp" --view Top --out "$work/b.svg"
run "function of 10^6 points: render svg" "$cli" render "$work/function-1m.ovp" --view Top --out "$work/f.svg"
run "function over a huge range: render svg" "$cli" render "$work/function-range.ovp" --view Top --out "$work/r.svg"
run "50 functions of 10^6 points: info" "$cli" info "$work/functions-50x1m.ovp"
run "200 MB of lines: info" "$cli" info "$work/lines-200mb.ovp"
run "200 MB of lines: resave" "$cli" resave "$work/lines-200mb.ovp" "$work/resaved.ovp"
for n in 80 160 320; do
    run "function of ${n}k points: render svg" "$cli" render "$work/function-${n}k.ovp" --view Top --out "$work/f$n.svg"
done
for format in png pdf emf; do
    run "function of 10^6 points: render $format" "$cli" render "$work/function-1m.ovp" --view Top --out "$work/f.$format"
done
run "save under ulimit -f 1000: resave" sh -c "ulimit -f 1000; exec '$cli' resave '$work/lines-200mb.ovp' '$work/limited.ovp'"
