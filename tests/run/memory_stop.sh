#!/usr/bin/env bash
# boolfn-run's fatal stop: out of memory under an address-space limit of 1 GiB (the
# And-Or-Not form of a chain of 40 xors doubles at every operator), it prints
# "Memory depleted - terminating" on standard error, nothing on standard output,
# leaves no output file behind, and ends with status 2.
#
# Usage: memory_stop.sh BOOLFN_RUN_BINARY
set -euo pipefail

# shellcheck source=tests/hardening/xor_chain_scratch.sh
source "$(dirname "${BASH_SOURCE[0]}")/../hardening/xor_chain_scratch.sh" "$1"

status=0
(
    ulimit -c 0
    ulimit -v 1048576
    timeout 120 "$binary" xors.vhd -d and-or-not -o out.pla >stdout.txt 2>stderr.txt
) || status=$?

fail() {
    echo "FAIL: $1"
    echo "--- standard output"; head -c 2000 stdout.txt
    echo "--- standard error"; cat stderr.txt
    exit 1
}
[ "$status" -eq 2 ] || fail "exit status $status, expected 2"
[ "$(cat stderr.txt)" = "Memory depleted - terminating" ] || fail "standard error is not the memory stop"
[ ! -s stdout.txt ] || fail "something was written to standard output"
if compgen -G "out.pla*" >/dev/null; then fail "an output file was left"; fi
echo "1 passed, 0 failed"
