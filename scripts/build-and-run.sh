#!/usr/bin/env bash
# Builds both programs, boolfn and boolfn-run, and shows boolfn at work on a
# shipped example.
#
# The example is a batch run: the full adder of examples/full_adder.pla is loaded,
# the statements of examples/script.vhd add new functions built from its outputs,
# everything is brought into disjunctive normal form and the added functions are
# saved as PLA. The run needs no answers, so the script is safe to run unattended;
# it prints the program's console conversation and then the saved file.
#
# As root, a missing compiler, CMake or the SAT solver library is installed with
# apt-get; otherwise the apt-get line to run is printed and the script stops. Running it again rebuilds
# only what changed. The build folder is build/ unless BOOLFN_BUILD_DIR names
# another.
set -euo pipefail

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repoRoot"

ensurePackages cmake g++ make libcadical-dev libedit-dev

buildDir="${BOOLFN_BUILD_DIR:-build}"
# Only the programs are built here: the tests need GoogleTest, which
# scripts/test.sh installs.
echo "== Configuring $buildDir/ (Release)"
configureBuild "$buildDir" -DCMAKE_BUILD_TYPE=Release -DBOOLFN_SANITIZE=OFF -DBOOLFN_TESTS=OFF
echo "== Building"
cmake --build "$buildDir" -j"$jobs" --target boolfn boolfn-run

outputDir="$(mktemp -d "${TMPDIR:-/tmp}/boolfn-example.XXXXXX")"
outputFile="$outputDir/out.pla"
echo
echo "== Running: $buildDir/boolfn examples/full_adder.pla $outputFile examples/script.vhd"
# A batch run reads nothing from the console and ends its action loop normally,
# which the program reports with status 1; status 2 would be a fatal stop.
status=0
"$buildDir/boolfn" examples/full_adder.pla "$outputFile" examples/script.vhd </dev/null || status=$?
if [ "$status" -ne 1 ]; then
    echo "boolfn ended with status $status; a batch run that saves its file ends with 1" >&2
    exit 1
fi
if [ ! -s "$outputFile" ]; then
    echo "boolfn wrote nothing to $outputFile" >&2
    exit 1
fi

echo
echo "== Saved file $outputFile:"
cat "$outputFile"
cat <<EOF

== Done. To work with the tool interactively, start it on an input file and an
== output file for the first save, then choose actions by number, for example:
==   $buildDir/boolfn examples/full_adder.pla /tmp/adder.vhd
== (choose 4 for DNF, then 10 to save as VHDL, then 15 to exit).
== $buildDir/boolfn-run does the same jobs from its command line, for scripts:
==   $buildDir/boolfn-run examples/full_adder.pla -d dnf -t pseudo-vhdl
== README.md describes the menus, the options and the file notations;
== cmake --install $buildDir installs both programs and their manual pages.
EOF
