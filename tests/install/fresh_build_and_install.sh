#!/usr/bin/env bash
# What a new user does first, in a build folder of its own: the quick start's
# build-and-run script must leave both programs built, and an install into a
# prefix must give both programs, both manual pages and the bash completion,
# with every option of boolfn-run's help described in its manual page.
set -euo pipefail
repoRoot="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/boolfn-install.XXXXXX")"
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

BOOLFN_BUILD_DIR="$work/build" "$repoRoot/scripts/build-and-run.sh" >"$work/quick-start.log" 2>&1 ||
    { cat "$work/quick-start.log" >&2; fail "scripts/build-and-run.sh failed"; }
for program in boolfn boolfn-run; do
    [ -x "$work/build/$program" ] || fail "the quick start did not build $program"
done

cmake --install "$work/build" --prefix "$work/prefix" >"$work/install.log" ||
    { cat "$work/install.log" >&2; fail "cmake --install failed"; }
for program in boolfn boolfn-run; do
    [ -x "$work/prefix/bin/$program" ] || fail "no $program in the prefix's bin/"
    page="$work/prefix/share/man/man1/$program.1"
    [ -f "$page" ] || fail "no manual page $program.1"
    # Rendered as man(1) shows it; a roff warning is a broken page.
    LC_ALL=C MANWIDTH=80 man --warnings -l "$page" >"$work/$program.txt" 2>"$work/$program.warnings" ||
        fail "man -l $program.1 failed"
    if [ -s "$work/$program.warnings" ]; then
        cat "$work/$program.warnings" >&2
        fail "man -l $program.1 warned"
    fi
    grep -q "^NAME" "$work/$program.txt" || fail "$program.1 has no NAME section"
done

completion="$work/prefix/share/bash-completion/completions/boolfn-run"
[ -f "$completion" ] || fail "no bash completion for boolfn-run in the prefix"
bash -c "source '$completion' && complete -p boolfn-run" >/dev/null ||
    fail "the installed completion does not register for boolfn-run"

"$work/prefix/bin/boolfn-run" --version | grep -q '^boolfn-run ' || fail "the installed boolfn-run does not run"
"$work/prefix/bin/boolfn-run" "$repoRoot/examples/full_adder.pla" -d dnf -t pseudo-vhdl |
    grep -q '^sum <= ' || fail "the installed boolfn-run gives no result"

# Every long option the help lists is described in the manual page.
missing=""
for option in $("$work/prefix/bin/boolfn-run" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    # In the C locale man renders \- as the ASCII hyphen.
    grep -q -- "$option" "$work/boolfn-run.txt" || missing="$missing $option"
done
[ -z "$missing" ] || fail "boolfn-run.1 does not describe:$missing"
echo "quick start built both programs; the install holds both programs and both manual pages"
