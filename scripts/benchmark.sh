#!/usr/bin/env bash
# Measures boolfn against Espresso, ABC and a SAT solver and writes docs/benchmark.md.
#
# Usage: scripts/benchmark.sh [pla-folder [cnf-folder]] [-- run_benchmark.py options]
#
# For example `scripts/benchmark.sh -- --only t481 hole6` measures those two files
# alone (the rest of the run's options are in bench/run_benchmark.py --help).
#
# Without arguments the PLA and CNF files of ../shared/bench/ (beside the
# repository) are used; without that folder, the PLA files that
# tests/oracle/gen_pla.py generates, and no CNF file but the generated one.
#
# Everything the run needs is set up first, so the one command works on a fresh
# Debian machine: the packages (ABC, GNU time for the peak memory, CaDiCaL and
# PicoSAT, Google Benchmark, npm), Espresso, which Debian does not package, built
# from the original C sources that the npm package espresso-logic-minimizer
# carries (into build-bench/, never into the repository), and a Release build of
# boolfn in build/ with the engine's Google Benchmark target. Then
# bench/run_benchmark.py runs every tool on every file with a time limit per run
# and writes the tables. Every run has 60 s, the product-of-sums side of the PLA
# files and the satisfiability test of the CNF files included, so the files that
# run out of time make up most of the whole run: about 40 to 60 minutes on two
# cores (docs/benchmark.md gives the last run's wall time).
#
# As root, missing packages are installed with apt-get; otherwise the apt-get line
# to run is printed and the script stops. Running it again reuses Espresso and the
# build.
set -euo pipefail

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repoRoot"
exec </dev/null

ensurePackages cmake g++ gcc make libcadical-dev libedit-dev python3 time berkeley-abc cadical picosat libbenchmark-dev
# npm may come with a Node.js from elsewhere (which conflicts with Debian's npm
# package), so the package is only asked for when no npm is found at all.
if ! command -v npm >/dev/null 2>&1; then
    ensurePackages npm
fi

espresso="$(ensureEspresso)"

echo "== Configuring build/ (Release)"
configureBuild build -DCMAKE_BUILD_TYPE=Release -DBOOLFN_SANITIZE=OFF -DBOOLFN_TESTS=OFF
echo "== Building boolfn and the engine benchmark"
cmake --build build -j"$jobs" --target boolfn engine_gbench

arguments=(--binary build/boolfn --espresso "$espresso" --gbench build/bench/engine_gbench)
if [ $# -ge 1 ] && [ "$1" != "--" ]; then arguments+=(--pla-dir "$1"); shift; fi
if [ $# -ge 1 ] && [ "$1" != "--" ]; then arguments+=(--cnf-dir "$1"); shift; fi
if [ $# -ge 1 ] && [ "$1" = "--" ]; then shift; arguments+=("$@"); fi
echo "== Running the benchmark (progress below; the tables go to docs/benchmark.md)"
python3 bench/run_benchmark.py "${arguments[@]}"
