# Shared by the bench-*.sh scripts: the build they measure and the files they measure it on.
# The build has the flags of the release preset (RelWithDebInfo), without the desktop program.

bench_build=build/bench
bench_data=build/bench-data

bench_configure_and_build() {
    cmake -S . -B "$bench_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTRACKLENS_BUILD_UI=OFF -DTRACKLENS_BUILD_TESTS=OFF -DTRACKLENS_BUILD_BENCHMARKS=ON \
        >/dev/null
    cmake --build "$bench_build" -j "$(nproc)" \
        --target tracklens-dump make-large-midi make-huge-events bench-walk bench-cells bench-tsv \
        >/dev/null
}

# bench_make_file MB: build/bench-data/<MB>MB.mid, seed 1, made anew so it is never stale.
bench_make_file() {
    mkdir -p "$bench_data"
    "$bench_build/tools/make-large-midi" --size-mb "$1" --seed 1 "$bench_data/$1MB.mid"
}

bench_machine() {
    echo "- CPU: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores"
    echo "- Memory: $(free -h | awk '/^Mem:/ {print $2}')"
    echo "- Kernel: $(uname -sr)"
    echo "- Compiler: $(c++ --version | head -n 1)"
    echo "- Load average before: $(cut -d ' ' -f 1-3 /proc/loadavg)"
}

# bench_pick FILE COLUMN WHAT: the median, min or max of a column of numbers in FILE.
bench_pick() {
    sort -g -k "$2" "$1" | awk -v column="$2" -v what="$3" '
        { v[NR] = $column }
        END {
            if (what == "min") print v[1];
            else if (what == "max") print v[NR];
            else print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2);
        }'
}

# bench_timed_run WORK MOST NAME COMMAND...: one timed run of COMMAND, its output thrown away;
# appends "seconds kilobytes" to WORK/NAME. An exit status above MOST ends the script.
bench_timed_run() {
    local work="$1" most="$2" name="$3"
    shift 3
    local start end status
    start=$EPOCHREALTIME
    set +e
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt"
    status=$?
    set -e
    end=$EPOCHREALTIME
    if [ "$status" -gt "$most" ]; then
        echo "$(basename "$0"): $* exited with $status:" >&2
        cat "$work/stderr.txt" "$work/time.txt" >&2
        exit 1
    fi
    local kilobytes
    kilobytes=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$work/time.txt")
    awk -v start="$start" -v end="$end" -v kb="$kilobytes" 'BEGIN { print end - start, kb }' \
        >>"$work/$name"
}
