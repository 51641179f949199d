#!/usr/bin/env bash
# Checks that two builds of tracklens-dump write the same bytes, standard error and exit status
# for the same files: TestRead.mid, generated large files of several seeds, every truncation of
# TestRead.mid and fixed-seed byte changes of a generated file, in the three formats. Used to
# show that a change made for speed changed nothing a user sees.
# Usage: scripts/bench-same-output.sh OLD-TRACKLENS-DUMP NEW-TRACKLENS-DUMP [MAKE-LARGE-MIDI]
set -euo pipefail
cd "$(dirname "$0")/.."
old="$1"
new="$2"
generator="${3:-build/bench/tools/make-large-midi}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in"

cp data/TestRead.mid "$work/in/TestRead.mid"
size=$(stat -c %s data/TestRead.mid)
for ((cut = 0; cut < size; ++cut)); do
    head -c "$cut" data/TestRead.mid >"$work/in/TestRead-cut-$cut.mid"
done
for seed in 1 2 3; do
    "$generator" --size-kb 256 --seed "$seed" "$work/in/large-256KB-$seed.mid"
done
"$generator" --size-mb 4 --seed 7 "$work/in/large-4MB-7.mid"

# Byte changes at fixed positions of a generated file: each copy has one byte replaced.
source="$work/in/large-256KB-1.mid"
sourceSize=$(stat -c %s "$source")
for ((i = 0; i < 60; ++i)); do
    at=$(((i * 7919 * 104729 + 13) % sourceSize))
    value=$(((i * 37 + 11) % 256))
    cp "$source" "$work/in/changed-$i.mid"
    printf "\\x$(printf %02x "$value")" |
        dd of="$work/in/changed-$i.mid" bs=1 seek="$at" conv=notrunc status=none
done

checked=0
differ=0
for file in "$work"/in/*.mid; do
    for format in tsv csv json; do
        set +e
        "$old" --format "$format" "$file" >"$work/old.out" 2>"$work/old.err"
        oldStatus=$?
        "$new" --format "$format" "$file" >"$work/new.out" 2>"$work/new.err"
        newStatus=$?
        set -e
        checked=$((checked + 1))
        if [ "$oldStatus" != "$newStatus" ] || ! cmp -s "$work/old.out" "$work/new.out" ||
            ! cmp -s "$work/old.err" "$work/new.err"; then
            echo "differs: $(basename "$file") --format $format (exit $oldStatus, $newStatus)"
            differ=$((differ + 1))
        fi
    done
done
echo "$checked runs compared, $differ differ"
[ "$differ" -eq 0 ]
