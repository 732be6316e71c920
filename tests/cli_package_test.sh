#!/usr/bin/env bash
# darvex-cli as installed: the man page and the completion say what --help
# says (docs), and the Debian package installs and removes cleanly (deb).
# Usage: cli_package_test.sh docs|deb SOURCE_DIR BUILD_DIR DARVEX_CLI
# Exit 77 (skipped) when the system cannot run a part, with the reason.
set -u
mode=$1 src=$2 build=$3 cli=$4
page=$src/cli/darvex-cli.1
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
skip() { echo "SKIP: $*" >&2; exit 77; }
version=$("$cli" --version) || { echo "FAIL: $cli --version" >&2; exit 1; }
commands=$("$cli" --help | awk '/^Commands:/ { on = 1; next } on && /^$/ { exit } on { print $1 }')
[ -n "$commands" ] || { echo "FAIL: no commands in darvex-cli --help" >&2; exit 1; }

# The options in the first column of a help text: "  --from DATE, --through DATE   ...".
help_options() {
    "$cli" "$@" --help | awk '/^  -/ { t = substr($0, 3); sub(/  .*/, "", t); n = split(t, w, /[ ,]+/)
        for (i = 1; i <= n; ++i) if (w[i] ~ /^-/) print w[i] }'
}

docs() {
    command -v man >/dev/null || skip "man (man-db) is not installed"
    local warnings text man_options c o checked=0
    warnings=$(MANWIDTH=80 man -l --warnings "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man -l --warnings: $warnings"
    text=$(LC_ALL=C MANWIDTH=80 man -l "$page" 2>/dev/null | col -bx)
    grep -q "^\.TH .*\"$version\"" "$page" || fail "the man page's .TH names another version than $version"
    # "command option" for every option tag under OPTIONS, for each command its heading names.
    man_options=$(awk -v cmds=" $(echo $commands) " '
        /^[A-Z]/ { section = $0; next }
        section != "OPTIONS" { next }
        /^   [^ ]/ { heading = $0; next }
        /^       -/ { t = substr($0, 8); sub(/  .*/, "", t); n = split(t, w, /[ ,]+/); m = split(heading, h, /[^a-z]+/)
            for (j = 1; j <= m; ++j) if (h[j] != "" && index(cmds, " " h[j] " "))
                for (i = 1; i <= n; ++i) if (w[i] ~ /^-/) print h[j], w[i] }' <<<"$text")
    for c in $commands; do
        grep -q "^       $c " <<<"$text" || fail "COMMANDS does not describe $c"
        for o in $(help_options "$c"); do
            grep -qxF -- "$c $o" <<<"$man_options" || fail "$c --help prints $o; the man page's OPTIONS do not list it for $c"
            checked=$((checked + 1))
        done
    done
    for o in $(help_options); do
        grep -q -- " $o\$" <<<"$man_options" || fail "darvex-cli --help prints $o; the man page does not"
    done
    [ "$checked" -gt 40 ] || fail "only $checked options read from the commands' --help"

    # The completion, called as bash calls it.
    source "$src/cli/darvex-cli.bash"
    complete_words() {
        COMP_WORDS=("$@") COMP_CWORD=$(($# - 1))
        _darvex_cli
        printf '%s\n' "${COMPREPLY[@]}" | sort
    }
    [ "$(complete_words darvex-cli '')" = "$(sort <<<"$commands")" ] || fail "the completion's commands are not --help's"
    local values option offered v
    for c in $commands; do
        offered=$(complete_words darvex-cli "$c" LOG.EVT -)
        for o in $(help_options "$c"); do
            grep -qxF -- "$o" <<<"$offered" || fail "completion of '$c -' lacks $o"
        done
        # Options whose help names their values (--order newest|oldest|module, --types a,b,c).
        while read -r option values; do
            offered=$(complete_words darvex-cli "$c" "$option" '')
            for v in $(tr '|,' '  ' <<<"$values"); do
                grep -qxF -- "$v" <<<"$offered" || fail "completion of '$c $option' lacks $v"
            done
        done < <("$cli" "$c" --help | sed -nE 's/^  (-[-a-z]+) ([a-z0-9]+([|,][a-z0-9]+)+)( .*)?$/\1 \2/p')
    done
    local dir
    dir=$(mktemp -d) && mkdir "$dir/logs" && touch "$dir/a.EVT" "$dir/b.evt" "$dir/c.txt"
    [ "$(cd "$dir" && complete_words darvex-cli show '')" = $'a.EVT\nb.evt\nlogs' ] ||
        fail "the completion of FILE is not the *.EVT files (any case) and directories"
    rm -rf "$dir"
}

deb() {
    [ "$(id -u)" -eq 0 ] || skip "not root: dpkg -i needs root"
    local t
    for t in dpkg dpkg-deb cpack man; do command -v "$t" >/dev/null || skip "$t is not installed"; done
    # RESOURCE_LOCK keeps one ctest from running two at once; this lock, two build trees.
    exec 9>"${TMPDIR:-/tmp}/darvex-cli-package-test.lock" && flock -w 250 9 || skip "no lock on the package test within 250 s"
    dpkg-query -W -f='${Status}' darvex-cli 2>/dev/null | grep -q 'install ok installed' &&
        skip "a darvex-cli package is installed already; the test leaves it alone"
    tmp=$(mktemp -d) installed=0
    trap '[ "$installed" -eq 0 ] || dpkg -r darvex-cli >/dev/null; rm -rf "$tmp"' EXIT
    trap 'exit 1' INT TERM HUP   # a ctest timeout removes the package too
    (cd "$build" && cpack -G DEB -B "$tmp") >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log" >&2; fail "cpack -G DEB"; return; }
    local deb=$tmp/darvex-cli_${version#darvex-cli }_$(dpkg --print-architecture).deb
    [ -f "$deb" ] || { fail "no $deb"; return; }
    [ "$(dpkg-deb -c "$deb" | awk '$6 !~ /\/$/ { print $6 }' | sort)" = "./usr/bin/darvex-cli
./usr/share/bash-completion/completions/darvex-cli
./usr/share/man/man1/darvex-cli.1.gz" ] || fail "the package holds more or less than the program, its page and its completion"
    dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "the package depends on no libc6"
    dpkg -i "$deb" >/dev/null || { fail "dpkg -i"; return; }
    installed=1
    [ "$(/usr/bin/darvex-cli --version)" = "$version" ] || fail "/usr/bin/darvex-cli --version"
    [ "$(man -w darvex-cli)" = /usr/share/man/man1/darvex-cli.1.gz ] || fail "man -w darvex-cli"
    cmp -s /usr/share/bash-completion/completions/darvex-cli "$src/cli/darvex-cli.bash" || fail "the completion is not installed"
    dpkg -r darvex-cli >/dev/null && installed=0 || fail "dpkg -r"
    [ ! -e /usr/bin/darvex-cli ] && [ ! -e /usr/share/man/man1/darvex-cli.1.gz ] || fail "dpkg -r left files behind"
}

"$mode"
exit "$status"
