#!/usr/bin/env bash
# One worker against two on the heaviest corpus PLA files, Espresso beside them in
# the same loop: "Save as DIMACS" and DNF + "Save as PLA" of the menu program, wall
# milliseconds per run (">60" past the limit), whether the files written with one
# and two workers are the same, and the load average after each file.
#
# Usage: bench/workers_benchmark.sh BOOLFN ESPRESSO PLA_DIR [FILE ...]
# (the table in docs/engine_benchmark.md, "Functions side by side").
set -uo pipefail

boolfn=$(realpath "$1")
espresso=$(realpath "$2")
plaDir=$(realpath "$3")
shift 3
files=("$@")
if [ ${#files[@]} -eq 0 ]; then
    files=(t481 max1024 Z9sym rd84 apex4 misex3 alu4 apex2 pdc spla ex1010 intb table3 apex1
           cordic seq mainpla ex74.train)
fi
limit=60
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1

# Milliseconds of one run of "$@" with the answers $answers on standard input.
timed() {
    local started ended
    started=$(date +%s%N)
    printf '%b' "$answers" | timeout "$limit" "$@" >/dev/null 2>&1
    local status=$?
    ended=$(date +%s%N)
    if [ $status = 124 ]; then echo ">$limit"; else echo $(((ended - started) / 1000000)); fi
}

echo "file cnf1 cnf2 epos dnf1 dnf2 Dso same load"
for name in "${files[@]}"; do
    input="$plaDir/$name.pla"
    answers='12\n1\n15\n'
    cnf1=$(BOOLFN_WORKERS=1 timed "$boolfn" "$input" one.cnf)
    cnf2=$(BOOLFN_WORKERS=2 timed "$boolfn" "$input" two.cnf)
    answers=''
    epos=$(timed "$espresso" -epos "$input")
    answers='4\n9\n1\n15\n'
    dnf1=$(BOOLFN_WORKERS=1 timed "$boolfn" "$input" one.pla)
    dnf2=$(BOOLFN_WORKERS=2 timed "$boolfn" "$input" two.pla)
    answers=''
    dso=$(timed "$espresso" -Dso "$input")
    same=same
    if [[ $cnf1 == ">"* || $cnf2 == ">"* ]]; then
        cmp -s one.pla two.pla || same=differ
    else
        { cmp -s one.cnf two.cnf && cmp -s one.pla two.pla; } || same=differ
    fi
    rm -f one.cnf two.cnf one.pla two.pla
    echo "$name $cnf1 $cnf2 $epos $dnf1 $dnf2 $dso $same $(cut -d' ' -f1 /proc/loadavg)"
done
