#!/usr/bin/env bash
# Checks that every option a program lists in its --help is documented in its manual page
# source and, when one is given, offered by its bash completion. Prints each option missing
# and fails if there is one.
# Usage: tests/packaging/options-documented.sh PROGRAM MANPAGE [COMPLETION]
set -euo pipefail
program="$1"
manPage="$2"
completion="${3:-}"

# The options column of --help: lines that begin with blanks and a dash, up to the first run
# of two blanks; every -x and --name in it ("-o,--output OUT", "-h, --help").
options=$("$program" --help | grep -E '^[[:space:]]+-' | sed -E 's/^[[:space:]]+//; s/  .*//' |
    grep -oE -- '(^|[ ,])--?[A-Za-z0-9][A-Za-z0-9-]*' | sed -E 's/^[ ,]//' | sort -u)
if [ -z "$options" ]; then
    echo "$program --help lists no option" >&2
    exit 1
fi

missing=0
for option in $options; do
    # In the page's source a dash is written \-.
    manSpelling="${option//-/\\\\-}"
    if ! grep -qE -- "(^|[^-])${manSpelling}([^A-Za-z0-9-]|\$)" "$manPage"; then
        echo "$(basename "$manPage"): $option is not documented"
        missing=$((missing + 1))
    fi
    if [ -n "$completion" ] &&
        ! grep -qE -- "(^|[^-])${option}([^A-Za-z0-9-]|\$)" "$completion"; then
        echo "$(basename "$completion"): $option is not offered"
        missing=$((missing + 1))
    fi
done
echo "$(echo "$options" | wc -l) options of $(basename "$program"), $missing missing"
[ "$missing" -eq 0 ]
