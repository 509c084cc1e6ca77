#!/usr/bin/env bash
# Builds the libFuzzer targets (Clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# into build-fuzz/ and runs each for a set time on its corpus.
#
#   scripts/fuzz.sh [seconds [target...]]   run each target for `seconds` (default 60)
#   scripts/fuzz.sh --merge [target...]     minimise the corpora (keep what adds coverage)
#
# Targets: pla_reader_fuzz vhdl_file_fuzz vhdl_command_fuzz dimacs_reader_fuzz
# session_fuzz (default: all). Two run at a time (FUZZ_PARALLEL to change it); each
# is one libFuzzer worker, so the machine's two cores stay the limit.
#
# New corpus entries go to fuzz/corpus/<target>/, crash, leak, timeout and
# out-of-memory inputs to fuzz/crashes/<target>/, the log to build-fuzz/logs/. The
# runs use libFuzzer's fork mode with faults, time-outs and running out of memory
# recorded but not fatal, so that one finding does not end a long run (and an input
# that really asks for gigabytes, such as a chain of xors in a normal form, is the
# program working as designed). Every input that found a real fault belongs in
# fuzz/regressions/<target>/, where CI replays it (tests/fuzz_replay).
#
# As root, missing packages are installed with apt-get; otherwise the apt-get line
# to run is printed and the script stops.
set -euo pipefail

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repoRoot"

allTargets=(pla_reader_fuzz vhdl_file_fuzz vhdl_command_fuzz dimacs_reader_fuzz session_fuzz)
buildDir=build-fuzz
parallel="${FUZZ_PARALLEL:-2}"

# The longest input each target is given: enough for every construct of its
# notation, short enough that no single input runs for long.
maxLength() {
    case "$1" in
        vhdl_command_fuzz) echo 512 ;;
        session_fuzz) echo 1024 ;;
        *) echo 4096 ;;
    esac
}

mode=run
seconds=60
if [ "${1:-}" = "--merge" ]; then
    mode=merge
    shift
elif [ $# -gt 0 ]; then
    seconds="$1"
    shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${allTargets[@]}")

ensurePackages cmake make clang libclang-rt-14-dev libcadical-dev libedit-dev

echo "== Configuring $buildDir"
CC=clang CXX=clang++ configureBuild "$buildDir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBOOLFN_SANITIZE=ON -DBOOLFN_FUZZ=ON -DBOOLFN_TESTS=OFF >/dev/null
echo "== Building the targets"
cmake --build "$buildDir" -j"$jobs" --target "${targets[@]}"

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$buildDir/logs"

runTarget() {
    local target="$1"
    # Absolute paths: the session target works inside a scratch folder of its own.
    local corpus="$repoRoot/fuzz/corpus/$target" crashes="$repoRoot/fuzz/crashes/$target"
    mkdir -p "$corpus" "$crashes"
    local extra=()
    [ -d "fuzz/regressions/$target" ] && extra+=("$repoRoot/fuzz/regressions/$target")
    "$buildDir/fuzz/$target" -max_total_time="$seconds" -max_len="$(maxLength "$target")" \
        -timeout=10 -rss_limit_mb=2048 -fork=1 -ignore_ooms=1 -ignore_timeouts=1 -ignore_crashes=1 \
        -artifact_prefix="$crashes/" "$corpus" "${extra[@]}" \
        >"$buildDir/logs/$target.log" 2>&1
    echo "== $target: $(grep -E '^#[0-9]+:? ' "$buildDir/logs/$target.log" | tail -1)"
}

mergeTarget() {
    local target="$1"
    local corpus="$repoRoot/fuzz/corpus/$target" merged="$repoRoot/$buildDir/merged/$target"
    rm -rf "$merged"
    mkdir -p "$merged"
    "$buildDir/fuzz/$target" -merge=1 -max_len="$(maxLength "$target")" -timeout=10 \
        "$merged" "$corpus" >"$buildDir/logs/$target.merge.log" 2>&1
    rm -rf "$corpus"
    mv "$merged" "$corpus"
    echo "== $target: $(find "$corpus" -type f | wc -l) inputs after merging"
}

status=0
running=0
for target in "${targets[@]}"; do
    if [ "$mode" = merge ]; then
        mergeTarget "$target"
        continue
    fi
    echo "== Fuzzing $target for $seconds s (log: $buildDir/logs/$target.log)"
    runTarget "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$parallel" ]; then
        wait -n || status=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
done
if [ "$mode" = run ] && find fuzz/crashes -type f -name 'crash-*' | grep -q .; then
    echo "== Crash inputs were found: see fuzz/crashes/"
    status=1
fi
exit "$status"
