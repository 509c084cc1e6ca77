# shellcheck shell=bash
# Helpers shared by the build and test scripts; sourced, never run on its own.
#
# The scripts must behave the same from any working directory, on a fresh Debian
# machine and on one where everything is already installed, as root (where they
# install what is missing) and as a user (where they say what to install and stop).
# So the repository root is found from the script's own path, packages are checked
# with dpkg before apt-get is touched, and a build folder left over from another
# checkout is configured afresh instead of failing.

# The repository root, found from this file's own path.
repoRoot="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Parallel jobs for builds and test runs; the reference machine has two cores.
# shellcheck disable=SC2034  # read by the scripts that source this file
jobs="${JOBS:-2}"

# Prints the packages of the arguments that dpkg does not report as installed.
# Without dpkg (not a Debian system) nothing is reported and the build itself
# will say what is missing.
missingPackages() {
    command -v dpkg-query >/dev/null 2>&1 || return 0
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$package"
        fi
    done
}

# Makes sure the packages of the arguments are installed. As root the missing ones
# are installed without questions; otherwise the one command line that would
# install them is printed and the script ends with status 1.
ensurePackages() {
    local missing
    missing="$(missingPackages "$@" | tr '\n' ' ')"
    missing="${missing% }"
    if [ -z "$missing" ]; then
        return 0
    fi
    if [ "$(id -u)" -eq 0 ]; then
        echo "== Installing missing packages: $missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update
        # shellcheck disable=SC2086  # the list is meant to split into words
        apt-get install -y $missing
    else
        echo "Missing packages: $missing" >&2
        echo "Install them with this command, then run this script again:" >&2
        echo "  sudo apt-get update && sudo apt-get install -y $*" >&2
        exit 1
    fi
}

# Configures the CMake build folder $1 from the repository root with the extra
# arguments that follow. A cache written for another source folder (a copied or
# moved checkout) would make CMake refuse, so such a folder is emptied first.
configureBuild() {
    local buildDir="$1"
    shift
    local cache="$buildDir/CMakeCache.txt"
    if [ -f "$cache" ]; then
        local sourceDir
        sourceDir="$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")"
        if [ -z "$sourceDir" ] ||
            [ "$(cd "$sourceDir" 2>/dev/null && pwd -P)" != "$(cd "$repoRoot" && pwd -P)" ]; then
            echo "== $buildDir was configured for another checkout; starting it afresh"
            rm -rf "$buildDir"
        fi
    fi
    cmake -S "$repoRoot" -B "$buildDir" "$@"
}

# Builds Espresso, which Debian does not package, from the original C sources that
# the npm package espresso-logic-minimizer carries (into build-bench/, never into
# the repository), unless it is there already; prints the binary's path. Progress
# goes to standard error.
ensureEspresso() {
    local espressoDir="$repoRoot/build-bench"
    local espresso="$espressoDir/espresso"
    if [ ! -x "$espresso" ]; then
        echo "== Building Espresso from the npm package espresso-logic-minimizer" >&2
        mkdir -p "$espressoDir/npm"
        (cd "$espressoDir/npm" && npm pack --silent espresso-logic-minimizer >/dev/null)
        tar -xzf "$(ls -t "$espressoDir"/npm/espresso-logic-minimizer-*.tgz | head -n 1)" \
            -C "$espressoDir/npm"
        # The sources are pre-ANSI C: gnu99 accepts them, and their many old-style
        # warnings are silenced since they are not ours to mend.
        gcc -std=gnu99 -O2 -w -o "$espresso" "$espressoDir"/npm/package/espresso-src/*.c -lm
    fi
    echo "$espresso"
}
