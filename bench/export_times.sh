#!/bin/sh
# Times the export of one function object of N points to each file format, the way a user
# runs it: `orthovane-cli render P.ovp --view Perspective --out x.FORMAT`, one process per run.
#
#   bench/export_times.sh CLI [N...]
#
# CLI is the orthovane-cli program to time; N defaults to 80000 160000 320000 1000000.
# FORMATS in the environment chooses the formats (default "svg png pdf emf"), LIMIT the
# seconds after which a run is stopped (default 600). Each line gives the wall time, the
# user and system CPU time and the peak resident memory (GNU time), and the exit status
# (124 when the run was stopped). The projects come from make_function_project.sh.
set -eu

if [ $# -lt 1 ]; then
    echo "usage: $0 CLI [N...]" >&2
    exit 1
fi
cli=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
[ $# -gt 0 ] || set -- 80000 160000 320000 1000000
formats=${FORMATS:-svg png pdf emf}
limit=${LIMIT:-600}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "date:  $(date)"
echo "cores: $(nproc)"
echo "cpu:   $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
echo
printf '%8s %-6s %9s %8s %7s %9s %6s %s\n' points format wall_s user_s sys_s maxrss_MB status load
for n in "$@"; do
    "$here/make_function_project.sh" "$n" "$work/f.ovp"
    for format in $formats; do
        load=$(cut -d ' ' -f 1 /proc/loadavg)
        status=0
        /usr/bin/time -o "$work/time" -f '%e %U %S %M' \
            timeout "$limit" "$cli" render "$work/f.ovp" --view Perspective --out "$work/x.$format" \
            > /dev/null 2>&1 || status=$?
        # GNU time writes a note before its figures when the command fails.
        read -r wall user sys rss <<TIME
$(tail -n 1 "$work/time")
TIME
        printf '%8s %-6s %9s %8s %7s %9s %6s %s\n' "$n" "$format" "$wall" "$user" "$sys" "$((rss / 1024))" "$status" "$load"
        rm -f "$work/x.$format"
    done
done
