// What Automatic text encoding costs beside the listing: the walk that notes where the texts are,
// and the detector reading them all in one piece.

#include <benchmark/benchmark.h>
#include <cstdint>
#include <functional>
#include <string>

#include "bench/BenchInputs.h"
#include "engine/EventWalk.h"
#include "engine/FileTexts.h"
#include "text/SystemTextDecoders.h"

namespace {

using tracklens::bench::BenchInput;

// The walk of ChooseTexts: every event decoded, the texts' places noted, then the texts joined
// in one piece for the detector.
void NoteTexts(benchmark::State& state, const BenchInput& input)
{
    std::int64_t rows = 0;
    for (auto _ : state) {
        tracklens::TextCollector collector(input.bytes);
        tracklens::BasicEventWalk<tracklens::TextCollector> walk(input.bytes, collector);
        if (!walk.readHeader().complete() || !walk.readChunks().complete()) {
            state.SkipWithError("the walk did not complete");
            break;
        }
        rows = walk.rowCount();
        benchmark::DoNotOptimize(collector.texts().joined(input.bytes).size());
    }
    tracklens::bench::SetInputRates(state, input, rows);
}

// uchardet over every text of the file, each followed by a line feed, in one piece.
void DetectEncoding(benchmark::State& state, const BenchInput& input)
{
    tracklens::TextCollector collector(input.bytes);
    if (!tracklens::WalkFile(input.bytes, collector).complete()) {
        state.SkipWithError("the walk did not complete");
        return;
    }
    const std::string texts = collector.texts().joined(input.bytes);
    const tracklens::TextDecoders& decoders = tracklens::SystemTextDecoders();
    for (auto _ : state) {
        benchmark::DoNotOptimize(decoders.detect(texts));
    }
    state.counters["text_bytes"] = static_cast<double>(texts.size());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

void Register(const BenchInput& input)
{
    const auto name = [&input](const char* benchmark) {
        return std::string(benchmark) + "/" + input.name;
    };
    benchmark::RegisterBenchmark(name("NoteTexts").c_str(), NoteTexts, std::cref(input))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("DetectEncoding").c_str(), DetectEncoding, std::cref(input))
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    return tracklens::bench::RunBenchmarks(argc, argv, Register);
}
