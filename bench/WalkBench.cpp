// The walk over a file's bytes, into the event table and into a sink that only counts.

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

#include "bench/BenchInputs.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"

namespace {

using tracklens::bench::BenchInput;

class CountingSink final : public tracklens::RowSink {
public:
    void AddRow(const tracklens::Row& row) override { ticks_ += row.absTick; }
    std::uint64_t ticks() const { return ticks_; }

private:
    std::uint64_t ticks_ = 0;
};

void SetRates(benchmark::State& state, const BenchInput& input, std::int64_t rows)
{
    const auto iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.bytes.size()));
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["events/s"] =
        benchmark::Counter(static_cast<double>(rows) * iterations, benchmark::Counter::kIsRate);
}

// What the desktop program does with a file: every row stored in the table. The table is
// destroyed outside the timed part.
void WalkIntoTable(benchmark::State& state, const BenchInput& input)
{
    std::int64_t rows = 0;
    for (auto _ : state) {
        auto table = std::make_unique<tracklens::EventTable>();
        const tracklens::RunOutcome outcome = tracklens::WalkFile(input.bytes, *table);
        if (!outcome.complete()) {
            state.SkipWithError("the walk did not complete");
            break;
        }
        rows = table->RowCount();
        benchmark::DoNotOptimize(table->size());
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    SetRates(state, input, rows);
}

// The walk alone: decoding and checking every event, nothing stored.
void WalkOnly(benchmark::State& state, const BenchInput& input)
{
    std::int64_t rows = 0;
    for (auto _ : state) {
        CountingSink sink;
        tracklens::EventWalk walk(input.bytes, sink);
        if (!walk.readHeader().complete() || !walk.readChunks().complete()) {
            state.SkipWithError("the walk did not complete");
            break;
        }
        rows = walk.rowCount();
        benchmark::DoNotOptimize(sink.ticks());
    }
    SetRates(state, input, rows);
}

void Register(const BenchInput& input)
{
    benchmark::RegisterBenchmark(("WalkIntoTable/" + input.name).c_str(), WalkIntoTable, input)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("WalkOnly/" + input.name).c_str(), WalkOnly, input)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    return tracklens::bench::RunBenchmarks(argc, argv, Register);
}
