// The walk over a file's bytes, into the event table and into a sink that only counts, and the
// walk that gathers the time maps, in one piece and in two halves at once.

#include <benchmark/benchmark.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "bench/BenchInputs.h"
#include "cli/ListingWriter.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"
#include "engine/RelistPlan.h"
#include "engine/TimeMaps.h"

namespace {

using tracklens::bench::BenchInput;

class CountingSink final : public tracklens::RowSink {
public:
    void AddRow(const tracklens::Row& row, std::size_t, const tracklens::WalkPoint&) override
    {
        ticks_ += row.absTick;
    }
    std::uint64_t ticks() const { return ticks_; }

private:
    std::uint64_t ticks_ = 0;
};

// Every row into the table, as the desktop program walks a file. The table is given its own
// copy of the bytes, made and destroyed outside the timed part.
void WalkIntoTable(benchmark::State& state, const BenchInput& input)
{
    std::int64_t rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto table = std::make_unique<tracklens::EventTable>(input.bytes);
        state.ResumeTiming();
        const tracklens::RunOutcome outcome = tracklens::WalkFile(table->content(), *table);
        if (!outcome.complete()) {
            state.SkipWithError("the walk did not complete");
            break;
        }
        rows = table->rowCount();
        benchmark::DoNotOptimize(table->size());
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    tracklens::bench::SetInputRates(state, input, rows);
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
    tracklens::bench::SetInputRates(state, input, rows);
}

// The tempo and signature maps, as tracklens-dump gathers them before a listing with Time or Bar,
// and the plan of that listing's parts when planned; smallestFileInHalves of
// SIZE_MAX walks every file in one piece.
void GatherMaps(benchmark::State& state, const BenchInput& input, std::size_t smallestFileInHalves,
                bool planned)
{
    for (auto _ : state) {
        std::optional<tracklens::RelistPlan> plan;
        if (planned) {
            plan.emplace(tracklens::ListingWriter::kPlanLimits);
        }
        const tracklens::TimeMaps maps =
            tracklens::GatherTimeMaps(input.bytes, tracklens::WalkMode::StopAtProblem,
                                      smallestFileInHalves, plan ? &*plan : nullptr);
        benchmark::DoNotOptimize(&maps);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.bytes.size()));
}

void Register(const BenchInput& input)
{
    const auto name = [&input](const char* benchmark, const char* variant) {
        return std::string(benchmark) + "/" + input.name + variant;
    };
    benchmark::RegisterBenchmark(name("WalkIntoTable", "").c_str(), WalkIntoTable, std::cref(input))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("WalkOnly", "").c_str(), WalkOnly, std::cref(input))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("GatherTimeMaps", "").c_str(), GatherMaps, std::cref(input),
                                 tracklens::kSmallestFileGatheredInHalves, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(name("GatherTimeMaps", "_and_plan").c_str(), GatherMaps,
                                 std::cref(input), tracklens::kSmallestFileGatheredInHalves, true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(name("GatherTimeMaps", "_in_one_piece").c_str(), GatherMaps,
                                 std::cref(input), SIZE_MAX, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

} // namespace

int main(int argc, char** argv)
{
    return tracklens::bench::RunBenchmarks(argc, argv, Register);
}
