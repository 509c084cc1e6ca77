#!/usr/bin/env bash
# Fails when a source of the program includes a header of a layer above its own.
#
# The folders are the layers, from the bottom: base (the console, the action watch,
# stops), expr (the expression model and the function table), then normal (the
# engine) and formats (the notations) side by side, actions (the menu's actions
# applied to the table, shared by both programs), and on top the two front ends
# side by side: driver (the menu program's entry and menus) and run (the
# command-line program for scripts). A file may include its own folder and the layers below it;
# normal and formats may not include each other. Tests, benchmarks and fuzz targets
# stand outside the stack and may include anything.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# What each layer may include besides itself.
declare -A allowed=(
    [base]=""
    [expr]="base"
    [normal]="base expr"
    [formats]="base expr"
    [actions]="base expr normal formats"
    [driver]="base expr normal formats actions"
    [run]="base expr normal formats actions"
)

status=0
for layer in "${!allowed[@]}"; do
    [ -d "$layer" ] || continue
    while IFS= read -r line; do
        file="${line%%:*}"
        target="$(sed -n 's/.*#include "\([a-z_]*\)\/.*/\1/p' <<<"$line")"
        [ -z "$target" ] || [ "$target" = "$layer" ] && continue
        if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
            echo "layer violation: $file includes $target/ (${layer}/ may include: ${allowed[$layer]:-nothing else})"
            status=1
        fi
    done < <(grep -rn --include='*.h' --include='*.cpp' '#include "' "$layer" || true)
done
if [ "$status" -eq 0 ]; then echo "layers: every include points down"; fi
exit "$status"
