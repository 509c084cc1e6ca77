# Sourced by the memory-stop tests of both programs: takes the binary path as given
# on the command line, moves into a scratch folder removed at exit, and writes
# xors.vhd, one statement whose And-Or-Not form doubles at every one of its 40 xors.
#
# Usage: source xor_chain_scratch.sh BINARY   (sets $binary)

binary="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

{
    printf 'f <= a0'
    for i in $(seq 1 40); do printf ' xor a%d' "$i"; done
    printf ';\n'
} >xors.vhd
