# Bash completion for boolfn-run: options, the notations of --from and --to, the
# actions of --do (after a comma as well), the names of the loaded file's functions
# and inputs in a cofactor action, and file names elsewhere.
#
# The long options are read from the program's own --help, so that the list cannot
# drift from what the program accepts; the value lists are the program's words.

_boolfn_run_options() {
    # One --help per shell: the program does not change under a running shell often
    # enough to pay for a run on every Tab.
    if [ -z "${_boolfn_run_option_cache:-}" ]; then
        _boolfn_run_option_cache="$("$1" --help 2>/dev/null |
            grep -o -- '^ *\(-[a-zA-Z], \)\?--[a-z][a-z-]*\(\[\?=\)\?' |
            sed -e 's/^ *//' -e 's/^-[a-zA-Z], //' -e 's/\[=$//' | sort -u)"
    fi
    printf '%s\n' "$_boolfn_run_option_cache"
}

# Words of a PLA file's .ilb or .ob line, or of a VHDL-like file's assignments: the
# names a cofactor action takes. Nothing for a file that cannot be read.
_boolfn_run_names() {
    local file="$1" kind="$2"
    [ -r "$file" ] || return 0
    case "$file" in
    *.pla)
        if [ "$kind" = functions ]; then
            sed -n 's/^\.ob[[:space:]]\+//p' "$file" | head -n 1
        else
            sed -n 's/^\.ilb[[:space:]]\+//p' "$file" | head -n 1
        fi
        ;;
    *.vhd | *.vhdl)
        if [ "$kind" = functions ]; then
            sed -n 's/^[[:space:]]*\([A-Za-z_][A-Za-z0-9_]*\)[[:space:]]*<=.*/\1/p' "$file"
        fi
        ;;
    esac
}

_boolfn_run() {
    # The words are taken from the line itself: bash splits words at ":" and "=" as
    # well, and both occur inside one argument here (cofactor:f:a=1).
    local line="${COMP_LINE:0:COMP_POINT}"
    local -a words
    read -r -a words <<<"$line"
    [[ "$line" == *[[:space:]] ]] && words+=("")
    local current="${words[${#words[@]} - 1]}"
    local previous=""
    [ "${#words[@]}" -gt 1 ] && previous="${words[${#words[@]} - 2]}"
    COMPREPLY=()
    local -a before=()
    [ "${#words[@]}" -gt 2 ] && before=("${words[@]:1:${#words[@]}-2}")
    _boolfn_run_reply "${words[0]}" "$current" "$previous" "${before[@]}"
    # Readline replaces only the text after the last ":" or "=".
    local broken="${current%"${current##*[:=]}"}"
    if [ -n "$broken" ]; then
        local i
        for i in "${!COMPREPLY[@]}"; do
            COMPREPLY[i]="${COMPREPLY[i]#"$broken"}"
        done
    fi
}

# Fills COMPREPLY for the word CURRENT after the word PREVIOUS on the line of
# PROGRAM; the rest are the words before them, from which the input file is taken.
_boolfn_run_reply() {
    local program="$1" current="$2" previous="$3"
    shift 3
    case "$previous" in
    -f | --from)
        mapfile -t COMPREPLY < <(compgen -W "pla vhdl dimacs blif" -- "$current")
        return
        ;;
    -t | --to)
        mapfile -t COMPREPLY < <(compgen -W "pla pseudo-vhdl vhdl blif sop-blif dimacs" -- "$current")
        return
        ;;
    -d | --do)
        _boolfn_run_actions "$current" "$@"
        return
        ;;
    --workers | --exact-limit | --exact-branches | --max-memory | -a | --add)
        return
        ;;
    -o | --output | -s | --script | --equiv)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$current")
        return
        ;;
    esac

    case "$current" in
    --stats=*)
        mapfile -t COMPREPLY < <(compgen -W "--stats=tsv" -- "$current")
        return
        ;;
    --*=*) return ;;
    -*)
        mapfile -t COMPREPLY < <(compgen -W "$(_boolfn_run_options "$program")" -- "$current")
        return
        ;;
    esac
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$current")
}

# The word after --do is a comma-separated list; only its last action is completed,
# and the cofactor action's FUNCTION and INPUT from the file named on the line.
_boolfn_run_actions() {
    local current="$1"
    shift
    local input
    input="$(_boolfn_run_input "$@")"
    local done="" last="$current"
    if [[ "$current" == *,* ]]; then
        done="${current%,*},"
        last="${current##*,}"
    fi
    local candidates
    if [[ "$last" == cofactor:*:* ]]; then
        local function="${last#cofactor:}"
        function="${function%%:*}"
        candidates=""
        local name
        for name in $(_boolfn_run_names "$input" inputs); do
            candidates="$candidates cofactor:$function:$name=0 cofactor:$function:$name=1"
        done
    elif [[ "$last" == cofactor:* ]]; then
        candidates=""
        local name
        for name in $(_boolfn_run_names "$input" functions); do
            candidates="$candidates cofactor:$name:"
        done
    else
        candidates="negate and-or-not cnf dnf nand nor cofactor: absorption=off absorption=on minimize minimize=exact"
    fi
    compopt -o nospace 2>/dev/null
    local word
    while IFS= read -r word; do
        [ -n "$word" ] && COMPREPLY+=("$done$word")
    done < <(compgen -W "$candidates" -- "$last")
}

# The input file among the words given: the first that is neither an option nor
# an option's value.
_boolfn_run_input() {
    while [ "$#" -gt 0 ]; do
        case "$1" in
        -f | --from | -t | --to | -d | --do | -o | --output | -s | --script | --equiv | -a | --add | --workers | --exact-limit | --exact-branches | --max-memory)
            shift
            ;;
        -?*) ;;
        *)
            printf '%s\n' "$1"
            return
            ;;
        esac
        [ "$#" -gt 0 ] && shift
    done
}

complete -F _boolfn_run boolfn-run
