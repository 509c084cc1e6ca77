#!/usr/bin/env bash
# Running out of memory ends the program with its own stop, quickly and cleanly.
#
# Under an address-space limit of 1 GiB the program is asked for the And-Or-Not form
# of a chain of 40 xors, whose expansion doubles at every operator (2^40 leaves). It
# must start at all (its large stack adapts to the limit), then print "Memory
# depleted - terminating" as its last line, end with status 2 well within the time
# limit, and leave no core dump and nothing on standard error. Under a tighter
# limit still (256 MiB) an ordinary conversation must run as usual, which it can
# only if the stack reservation shrank to fit.
#
# Usage: memory_limit.sh BOOLFN_BINARY
set -euo pipefail

# shellcheck source=tests/hardening/xor_chain_scratch.sh
source "$(dirname "${BASH_SOURCE[0]}")/xor_chain_scratch.sh" "$1"

status=0
# A subshell keeps the limits to the one run. Choice 2 is And-Or-Not form; 15 would
# end the run if it ever came back.
(
    ulimit -c 0
    ulimit -v 1048576
    printf '2\n15\n' | timeout 120 "$binary" xors.vhd >stdout.txt 2>stderr.txt
) || status=$?

fail() {
    echo "FAIL: $1"
    echo "--- standard output (last lines)"; tail -5 stdout.txt
    echo "--- standard error"; cat stderr.txt
    exit 1
}

[ "$status" -eq 2 ] || fail "exit status $status, expected 2"
[ "$(tail -n 1 stdout.txt)" = "Memory depleted - terminating" ] || fail "last line is not the memory stop"
grep -q "^Operation started$" stdout.txt || fail "the action never started"
[ ! -s stderr.txt ] || fail "something was written to standard error"
if compgen -G "core*" >/dev/null; then fail "a core dump was left"; fi
# A PLA output count that runs on across a comment (a comment is no separator)
# reads as 3394444444444, which saturates at 2^32 - 1: no memory holds that many
# functions, and the reader must say so at once instead of appending for minutes.
printf '.o 3# note\n394444444444 1\n' >outputs.pla
(
    ulimit -c 0
    ulimit -v 1048576
    printf '15\n' | timeout 120 "$binary" outputs.pla >stdout.txt 2>stderr.txt
) && status=0 || status=$?
[ "$status" -eq 2 ] || fail "huge output count: exit status $status, expected 2"
[ "$(tail -n 1 stdout.txt)" = "Memory depleted - terminating" ] || fail "huge output count: no memory stop"

printf 'f <= (a or b) and c;\n' >small.vhd
(
    ulimit -c 0
    ulimit -v 262144
    printf '4\n15\n' | timeout 60 "$binary" small.vhd >stdout.txt 2>stderr.txt
) && status=0 || status=$?
[ "$status" -eq 1 ] || fail "under 256 MiB: exit status $status, expected 1"
[ "$(tail -n 1 stdout.txt)" = "Exiting" ] || fail "under 256 MiB: the run did not end normally"

echo "3 passed, 0 failed"
