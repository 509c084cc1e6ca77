#!/usr/bin/env bash
# Measures boolfn-run's minimal covers against Espresso and writes
# docs/minimize_benchmark.md.
#
# Usage: scripts/minimize_benchmark.sh [pla-folder] [-- minimize_benchmark.py options]
#
# For example `scripts/minimize_benchmark.sh -- --only pdc cordic` measures those two
# files alone. Without a folder the PLA files of ../shared/bench/pla (beside the
# repository) are used.
#
# Everything the run needs is set up first: the packages (ABC for the equivalence
# checks, GNU time for the peak memory, npm), Espresso built from the C sources of
# the npm package espresso-logic-minimizer (as scripts/benchmark.sh builds it, into
# build-bench/), and a Release build of boolfn-run in build/. Every run has 60 s;
# the whole corpus takes about 15 minutes on two cores.
set -euo pipefail

# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repoRoot"
exec </dev/null

ensurePackages cmake g++ gcc make libcadical-dev libedit-dev python3 time berkeley-abc
if ! command -v npm >/dev/null 2>&1; then
    ensurePackages npm
fi
espresso="$(ensureEspresso)"

echo "== Configuring build/ (Release)"
configureBuild build -DCMAKE_BUILD_TYPE=Release -DBOOLFN_SANITIZE=OFF
echo "== Building boolfn-run"
cmake --build build -j"$jobs" --target boolfn-run

arguments=(--run build/boolfn-run --espresso "$espresso")
if [ $# -ge 1 ] && [ "$1" != "--" ]; then arguments+=(--pla-dir "$1"); shift; fi
if [ $# -ge 1 ] && [ "$1" = "--" ]; then shift; arguments+=("$@"); fi
echo "== Running the benchmark (progress below; the table goes to docs/minimize_benchmark.md)"
python3 bench/minimize_benchmark.py "${arguments[@]}"
