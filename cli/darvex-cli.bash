# bash completion for darvex-cli                              -*- shell-script -*-
# Commands as the first word, each command's options, the values they take,
# and *.EVT files (any case) and directories for FILE. Needs nothing from the
# bash-completion package, though its loader finds this file by the name.

_darvex_cli_commands="list show check stats find follow export"

# The options of each command; darvex-cli COMMAND --help lists the same.
_darvex_cli_options() {
    local order="--order -r --dedupe"
    local filter="--from --through --since --until --types --component --module --saved"
    local text="--codepage --raw"
    case $1 in
    list) echo "--no-header --format -n $order $filter $text" ;;
    show) echo "--dump $order $filter $text" ;;
    check) ;;
    stats) echo "$text" ;;
    find) echo "--find-types --find-component --find-module --text --up --from-row --wrap --all $order $filter $text" ;;
    follow) echo "--lines --format --interval $filter $text" ;;
    export) echo "--format -n --no-data --bom --output -o --append $order $filter --codepage" ;;
    *) echo "--version -V" ;;
    esac
    echo "--help -h"
}

_darvex_cli_takes_value() {
    case $1 in
    --order | --codepage | --dump | --from | --through | --since | --until | --types | --component | --module | \
        --find-types | --find-component | --find-module | --text | --from-row | --lines | --format | --interval | -n | \
        --output | -o)
        return 0 ;;
    esac
    return 1
}

# Candidates in $1 (one a line) that begin with $cur, quoted for the command line.
_darvex_cli_reply() {
    local IFS=$'\n' c
    for c in $1; do
        [[ $c == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$c")")
    done
}

# error,warning,information: the part after the last comma, the earlier ones kept.
_darvex_cli_types() {
    local head="" part=$cur t
    if [[ $cur == *,* ]]; then
        head=${cur%,*},
        part=${cur##*,}
    fi
    for t in error warning information; do
        [[ ,${head,,} == *,$t,* ]] && continue
        [[ $t == "${part,,}"* ]] && COMPREPLY+=("$head$t")
    done
    [[ ${#COMPREPLY[@]} -eq 1 ]] && compopt -o nospace 2>/dev/null
}

_darvex_cli_value() {
    local option=$1 command=$2
    case $option in
    --order) _darvex_cli_reply $'newest\noldest\nmodule' ;;
    --format)
        case $command in
        list) _darvex_cli_reply $'list\nline' ;;
        follow) _darvex_cli_reply $'list\nline\nndjson' ;;
        *) _darvex_cli_reply $'csv\njson\nndjson\nsqlite' ;;
        esac ;;
    --types | --find-types) _darvex_cli_types ;;
    --component | --find-component)
        _darvex_cli_reply $'all\n1\n2\n3\n4\n5\nHALDOR/PERN\nHALDOR/TOLVA\nHALDOR/BORAXLIN\nSetup Tool\nunknown' ;;
    # The other module names belong to two codes each; the tool asks for the number.
    --module | --find-module) _darvex_cli_reply $'all\n0\n1\n2\n3\n4\n5\n6\n7\nHALKESTR\nunknown' ;;
    --dump) _darvex_cli_reply $'byte\nword' ;;
    --codepage) _darvex_cli_reply $'932\n1252' ;;
    --since | --until) _darvex_cli_reply $'now\ntoday\nyesterday' ;;
    --output | -o) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- "$cur")) ;;
    esac
}

# *.EVT in any case, and directories to go on into.
_darvex_cli_files() {
    local f
    compopt -o filenames 2>/dev/null
    while IFS= read -r f; do
        [[ -d $f || ${f,,} == *.evt ]] && COMPREPLY+=("$f")
    done < <(compgen -f -- "$cur")
}

_darvex_cli() {
    COMPREPLY=()
    local cur=${COMP_WORDS[COMP_CWORD]} prev="" valueOf=""
    local i=1 end=$COMP_CWORD word command="" positional=0 ended=""
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}

    # "--format=cs" arrives as "--format" "=" "cs" where = breaks words.
    if [[ $cur == = ]]; then
        cur="" end=$((COMP_CWORD - 1)) valueOf=$prev
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        end=$((COMP_CWORD - 2)) valueOf=${COMP_WORDS[end]}
    fi

    # The command, and how many files and rows come before the word completed.
    while ((i < end)); do
        word=${COMP_WORDS[i]}
        if [[ -z $ended && $word == -- ]]; then
            ended=1
        elif [[ -z $ended && $word == -?* ]]; then
            if _darvex_cli_takes_value "$word"; then
                i=$((i + 1))
                [[ ${COMP_WORDS[i]} == = ]] && i=$((i + 1))
            fi
        elif [[ -z $command ]]; then
            command=$word
        else
            positional=$((positional + 1))
        fi
        i=$((i + 1))
    done
    # The loop stepped over the word completed: it is the last option's value.
    ((i > end)) && [[ -z $valueOf ]] && valueOf=$prev

    if [[ -n $valueOf ]]; then
        _darvex_cli_value "$valueOf" "$command"
    elif [[ -z $ended && $cur == -* ]]; then
        _darvex_cli_reply "$(_darvex_cli_options "$command" | tr ' ' '\n')"
    elif [[ -z $command ]]; then
        _darvex_cli_reply "${_darvex_cli_commands// /$'\n'}"
    elif ((positional == 0)) || [[ $command != follow ]]; then
        _darvex_cli_files   # every command but follow takes several files
    fi
    return 0
}
complete -F _darvex_cli darvex-cli
