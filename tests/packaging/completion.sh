#!/usr/bin/env bash
# Runs the bash completion of tracklens-dump as bash would on a table of command lines and
# checks what it offers. Needs the bash-completion package.
# Usage: tests/packaging/completion.sh COMPLETION-FILE
set -uo pipefail
completionFile="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
touch "$work/song.mid" "$work/notes.txt" "$work/LOUD.MID"
mkdir "$work/folder"
cd "$work"

. /usr/share/bash-completion/bash_completion
. "$completionFile"

# offered LINE: what completing the end of LINE offers, sorted, on one line.
offered() {
    local line="$1"
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$line"
    COMP_POINT=${#line}
    COMPREPLY=()
    _tracklens_dump tracklens-dump "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

failed=0
passed=0
while IFS='|' read -r line expected; do
    actual="$(offered "$line")"
    if [ "$actual" = "$expected" ]; then
        passed=$((passed + 1))
    else
        echo "completing '$line': offered '$actual', expected '$expected'"
        failed=$((failed + 1))
    fi
done <<'CASES'
tracklens-dump --format |csv json tsv
tracklens-dump --format j|json
tracklens-dump --format=c|csv
tracklens-dump --fo|--force --format
tracklens-dump --form|--format
tracklens-dump --|--columns --force --format --help --output --version
tracklens-dump --columns t|tick time track
tracklens-dump --columns tick,ba|tick,bar
tracklens-dump -o |LOUD.MID folder notes.txt song.mid
tracklens-dump |LOUD.MID folder song.mid
tracklens-dump --format csv s|song.mid
CASES
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
