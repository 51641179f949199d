#include "bench/BenchInputs.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "engine/FileLoader.h"

namespace tracklens::bench {

void SetInputRates(benchmark::State& state, const BenchInput& input, std::int64_t rows)
{
    const auto iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.bytes.size()));
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["events/s"] =
        benchmark::Counter(static_cast<double>(rows) * iterations, benchmark::Counter::kIsRate);
}

std::vector<BenchInput> ReadInputs(int argc, char** argv)
{
    std::vector<BenchInput> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with("--")) {
            std::cerr << argv[0] << ": unknown flag " << argument << '\n';
            return {};
        }
        LoadedFile file = ReadWholeFile(argument);
        if (!file.ok()) {
            std::cerr << argv[0] << ": " << file.error << '\n';
            return {};
        }
        const auto bytes = file.bytes.room();
        inputs.push_back({std::filesystem::path(argument).stem().string(),
                          std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    }
    return inputs;
}

int RunBenchmarks(int argc, char** argv, void (*registerInput)(const BenchInput& input))
{
    benchmark::Initialize(&argc, argv);
    const std::vector<BenchInput> inputs = ReadInputs(argc, argv);
    if (inputs.empty()) {
        std::cerr << "usage: " << argv[0] << " [--benchmark_...] FILE.mid...\n"
                  << "  make the files with tools/make-large-midi, or run scripts/bench-run.sh\n";
        return 2;
    }
    for (const BenchInput& input : inputs) {
        registerInput(input);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace tracklens::bench
