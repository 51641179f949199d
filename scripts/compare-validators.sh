#!/usr/bin/env bash
# Compares the findings of `tracklens-dump --check` with those of another validator, the npm
# package jzz-midi-smf's validate(), on the same files. The package is installed with npm into a
# temporary folder, used there and removed. For each file it prints both lists of findings by
# offset, side by side, and a summary of which kinds each reported, as Markdown.
# Usage: scripts/compare-validators.sh [FILE...]
#   (by default data/TestRead.mid and the MIDI files of fuzz/corpus)
# DUMP=path/to/tracklens-dump uses that build instead of build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
dump="${DUMP:-build/release/cli/tracklens-dump}"
if [ ! -x "$dump" ]; then
    cmake --preset release >/dev/null
    cmake --build build/release --target tracklens-dump >/dev/null
fi
command -v node >/dev/null && command -v npm >/dev/null || {
    echo "compare-validators: node and npm are needed (apt-get install nodejs npm)" >&2
    exit 2
}
if [ "$#" -eq 0 ]; then
    set -- data/TestRead.mid fuzz/corpus/*.mid
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
npm install --prefix "$work" --no-audit --no-fund --silent jzz jzz-midi-smf >/dev/null

cat >"$work/validate.js" <<'JS'
// Prints the other validator's findings of one file as JSON lines: offset, track, tick, message.
const fs = require('fs');
const JZZ = require('jzz');
require('jzz-midi-smf')(JZZ);
const data = fs.readFileSync(process.argv[2]).toString('binary');
let findings = [];
try {
    const smf = new JZZ.MIDI.SMF(data);
    findings = smf.validate() || [];
} catch (e) {
    findings = [{ off: 0, msg: 'not loaded: ' + e.message }];
}
for (const f of findings) {
    console.log(JSON.stringify({ offset: f.off, track: f.track, tick: f.tick, message: f.msg }));
}
JS

cat >"$work/compare.js" <<'JS'
// Side by side by offset: this program's findings (JSON of --check) and the other's (JSON lines).
const fs = require('fs');
const ours = JSON.parse(fs.readFileSync(process.argv[2], 'utf8')).findings;
const theirs = fs.readFileSync(process.argv[3], 'utf8').split('\n').filter(Boolean).map(JSON.parse);
const offsets = [...new Set([...ours.map(f => f.offset), ...theirs.map(f => f.offset)])]
    .sort((a, b) => a - b);
const hex = n => (n === undefined || n === null) ? '' : n.toString(16).toUpperCase().padStart(8, '0');
console.log('| offset | tracklens-dump --check | jzz-midi-smf validate() |');
console.log('|---|---|---|');
let shown = 0;
for (const offset of offsets) {
    const a = ours.filter(f => f.offset === offset).map(f => f.code).join(', ');
    const b = theirs.filter(f => f.offset === offset).map(f => f.message).join(', ');
    if (++shown <= 40) console.log(`| ${hex(offset)} | ${a} | ${b} |`);
}
if (shown > 40) console.log(`| ... | ${shown - 40} more offsets | |`);
const count = (list, key) => list.reduce((m, f) => (m[f[key]] = (m[f[key]] || 0) + 1, m), {});
console.log('');
console.log('- tracklens-dump: ' + JSON.stringify(count(ours, 'code')));
console.log('- jzz-midi-smf: ' + JSON.stringify(count(theirs, 'message')));
JS

for file in "$@"; do
    echo "## $file"
    echo
    set +e
    "$dump" --check --format json "$file" >"$work/ours.json" 2>/dev/null
    set -e
    node "$work/validate.js" "$file" >"$work/theirs.jsonl"
    node "$work/compare.js" "$work/ours.json" "$work/theirs.jsonl"
    echo
done
