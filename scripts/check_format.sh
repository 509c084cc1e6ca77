#!/usr/bin/env bash
# Fails when a C++ source tracked by git differs from what the checked-in
# .clang-format makes of it, and names the files. Run `clang-format -i FILE` on them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
unformatted=()
for source in "${sources[@]}"; do
    if ! clang-format --dry-run --Werror "$source" >/dev/null 2>&1; then
        unformatted+=("$source")
    fi
done
if [ "${#unformatted[@]}" -ne 0 ]; then
    echo "not formatted by .clang-format: ${unformatted[*]}"
    exit 1
fi
echo "format: ${#sources[@]} sources as .clang-format makes them"
