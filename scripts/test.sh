#!/usr/bin/env bash
# Installs what the tests need and runs every test in two configurations.
#
# The tests run twice because each configuration catches what the other cannot:
# the Release build (build/) is the program as users get it, optimised; the
# sanitizer build (build-asan/) runs the same unit and end-to-end tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, which turn a memory fault or an
# undefined operation into a failed test. Any failure ends the script with a
# non-zero status, and a passing run ends with CTest's summary. CI runs exactly
# this script (.ci/run).
#
# As root, missing packages are installed with apt-get; otherwise the apt-get line
# to run is printed and the script stops. Running it again reuses both build
# folders and rebuilds only what changed.
set -euo pipefail

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repoRoot"
# Nothing here is interactive; CI may even start the script with no standard input.
exec </dev/null

# The build tools, GoogleTest, Python for the end-to-end runner, the equivalence
# oracles some tests check results with (ABC and PicoSAT), clang-format for the
# formatting check, man for the check of the installed manual pages, strace, which
# delays one system call in the test of a race on the recovery file, and GNU time,
# which reads the peak memory in the benchmarks' own tests.
ensurePackages cmake g++ make libcadical-dev libedit-dev libgtest-dev python3 python3-pexpect berkeley-abc picosat clang-format man-db strace time

# The house rules that need no build: every include points down a layer, and every
# source is formatted by the checked-in .clang-format.
echo "== Checking layers and formatting"
scripts/check_layers.sh
scripts/check_format.sh

# An undefined-behaviour report names the faulty line with its call stack, and
# stops the test at the first finding (AddressSanitizer, and its leak check, need
# no options: their defaults already fail the test).
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

runConfiguration() {
    local title="$1" buildDir="$2"
    shift 2
    echo
    echo "== $title: configuring $buildDir"
    configureBuild "$buildDir" -DBOOLFN_TESTS=ON "$@"
    echo "== $title: building"
    cmake --build "$buildDir" -j"$jobs"
    echo "== $title: testing"
    # A test tree that registered nothing is a broken build, not a pass.
    ctest --test-dir "$buildDir" --output-on-failure --no-tests=error -j"$jobs"
}

runConfiguration "Release" build -DCMAKE_BUILD_TYPE=Release -DBOOLFN_SANITIZE=OFF
runConfiguration "Sanitizers" build-asan -DCMAKE_BUILD_TYPE=Debug -DBOOLFN_SANITIZE=ON
