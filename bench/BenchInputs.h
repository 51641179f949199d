#pragma once

// The input files of a benchmark program: every argument left after Google Benchmark has taken
// its own flags is a file, read whole before any benchmark runs.

#include <cstdint>
#include <string>
#include <vector>

namespace benchmark {
class State;
}

namespace tracklens::bench {

struct BenchInput {
    std::string name; // the file's name without its folder and extension: "10MB"
    std::vector<std::uint8_t> bytes;
};

// The input's bytes per second, and its rows and rows per second, of the benchmark's run.
void SetInputRates(benchmark::State& state, const BenchInput& input, std::int64_t rows);

// Reads the files named in argv[1..argc). On a missing or unreadable file, or an argument that
// looks like a flag, prints why and returns nothing.
std::vector<BenchInput> ReadInputs(int argc, char** argv);

// The benchmarks of a program, one per input file, run with the flags of Google Benchmark.
// registerInput is called once for each input. Returns the exit status of the program.
int RunBenchmarks(int argc, char** argv, void (*registerInput)(const BenchInput& input));

} // namespace tracklens::bench
