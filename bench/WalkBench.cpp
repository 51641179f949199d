// The walk over a file's bytes, into the event table and into a sink that only counts.

#include <benchmark/benchmark.h>
#include <functional>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string>

#include "bench/BenchInputs.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"
#include "ui/platform/LargePageMemory.h"

namespace {

using tracklens::bench::BenchInput;

class CountingSink final : public tracklens::RowSink {
public:
    void AddRow(const tracklens::Row& row) override { ticks_ += row.absTick; }
    std::uint64_t ticks() const { return ticks_; }

private:
    std::uint64_t ticks_ = 0;
};

// Every row stored in the table, its memory from the given resource: the default one, huge
// pages as the desktop program asks for, or memory already in place (see Prefaulted). The
// table is destroyed outside the timed part.
void WalkIntoTable(benchmark::State& state, const BenchInput& input,
                   std::pmr::memory_resource* rowMemory,
                   void (*release)(std::pmr::memory_resource*))
{
    std::int64_t rows = 0;
    for (auto _ : state) {
        auto table =
            std::make_unique<tracklens::EventTable>(std::vector<std::uint8_t>{}, rowMemory);
        const tracklens::RunOutcome outcome = tracklens::WalkFile(input.bytes, *table);
        if (!outcome.complete()) {
            state.SkipWithError("the walk did not complete");
            break;
        }
        rows = table->RowCount();
        benchmark::DoNotOptimize(table->size());
        state.PauseTiming();
        table.reset();
        release(rowMemory);
        state.ResumeTiming();
    }
    tracklens::bench::SetInputRates(state, input, rows);
}

// Memory for the rows of the input, written once before the timed loop so that no page is
// faulted in while the walk runs: what the engine costs, without what the kernel costs. The
// table's blocks double in size, so twice the rows is always enough.
class Prefaulted {
public:
    explicit Prefaulted(const BenchInput& input)
    {
        CountingSink sink;
        tracklens::EventWalk walk(input.bytes, sink);
        walk.readHeader();
        walk.readChunks();
        const std::size_t bytes =
            (2 * static_cast<std::size_t>(walk.rowCount()) + 8192) * sizeof(tracklens::Row) +
            (1 << 20);
        buffer_ = std::make_unique<std::byte[]>(bytes); // value-initialised: every page written
        resource_.emplace(buffer_.get(), bytes, std::pmr::null_memory_resource());
    }

    std::pmr::memory_resource* resource() { return &*resource_; }
    static void Release(std::pmr::memory_resource* resource)
    {
        static_cast<std::pmr::monotonic_buffer_resource*>(resource)->release();
    }

private:
    std::unique_ptr<std::byte[]> buffer_;
    std::optional<std::pmr::monotonic_buffer_resource> resource_;
};

void WalkIntoPrefaulted(benchmark::State& state, const BenchInput& input)
{
    Prefaulted memory(input);
    WalkIntoTable(state, input, memory.resource(), Prefaulted::Release);
}

void KeepMemory(std::pmr::memory_resource*) {}

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

void Register(const BenchInput& input)
{
    const auto name = [&input](const char* benchmark, const char* variant) {
        return std::string(benchmark) + "/" + input.name + variant;
    };
    benchmark::RegisterBenchmark(name("WalkIntoTable", "").c_str(), WalkIntoTable, std::cref(input),
                                 std::pmr::get_default_resource(), KeepMemory)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("WalkIntoTable", "/large_pages").c_str(), WalkIntoTable,
                                 std::cref(input), &tracklens::ui::LargePageMemory::instance(),
                                 KeepMemory)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("WalkIntoTable", "/prefaulted").c_str(), WalkIntoPrefaulted,
                                 std::cref(input))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name("WalkOnly", "").c_str(), WalkOnly, std::cref(input))
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    return tracklens::bench::RunBenchmarks(argc, argv, Register);
}
