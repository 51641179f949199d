// The TSV listing as tracklens-dump writes it: the walk with every row written at once, into a
// stream that throws the text away; and with every column, the maps and the plan gathered first
// and each part listed again by one of two threads.

#include <benchmark/benchmark.h>
#include <functional>
#include <ostream>
#include <streambuf>

#include "bench/BenchInputs.h"
#include "cli/ListingWriter.h"
#include "engine/EventWalk.h"
#include "engine/RelistPlan.h"
#include "engine/TimeMaps.h"

namespace {

using tracklens::bench::BenchInput;

// Counts what is written to it and keeps none of it.
class DiscardingBuffer final : public std::streambuf {
public:
    std::uint64_t written() const { return written_; }

protected:
    std::streamsize xsputn(const char*, std::streamsize count) override
    {
        written_ += static_cast<std::uint64_t>(count);
        return count;
    }
    int_type overflow(int_type c) override
    {
        ++written_;
        return traits_type::not_eof(c);
    }

private:
    std::uint64_t written_ = 0;
};

void WriteListing(benchmark::State& state, const BenchInput& input, tracklens::ListingFormat format)
{
    std::uint64_t written = 0;
    std::int64_t rows = 0;
    for (auto _ : state) {
        DiscardingBuffer buffer;
        std::ostream out(&buffer);
        const auto writer = tracklens::MakeListingWriter(format, input.bytes, out);
        writer->writeTitles();
        tracklens::EventWalk walk(input.bytes, *writer);
        tracklens::RunOutcome outcome = walk.readHeader();
        if (outcome.complete()) {
            outcome = walk.readChunks();
        }
        writer->finish(outcome);
        if (!outcome.complete()) {
            state.SkipWithError("the walk did not complete");
            break;
        }
        rows = walk.rowCount();
        written = buffer.written();
    }
    tracklens::bench::SetInputRates(state, input, rows);
    state.counters["out_MiB/s"] =
        benchmark::Counter(static_cast<double>(written) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate, benchmark::Counter::kIs1024);
}

void WriteEveryColumn(benchmark::State& state, const BenchInput& input)
{
    std::uint64_t written = 0;
    for (auto _ : state) {
        tracklens::RelistPlan plan(tracklens::ListingWriter::kPlanLimits);
        const tracklens::TimeMaps maps =
            tracklens::GatherTimeMaps(input.bytes, tracklens::WalkMode::StopAtProblem,
                                      tracklens::kSmallestFileGatheredInHalves, &plan);
        if (!plan.outcome().complete()) {
            state.SkipWithError("the walk did not complete");
            break;
        }
        DiscardingBuffer buffer;
        std::ostream out(&buffer);
        const auto writer =
            tracklens::MakeListingWriter(tracklens::ListingFormat::Tsv, input.bytes, out,
                                         tracklens::kAllColumns, tracklens::CellContext{&maps, {}});
        writer->writeTitles();
        writer->writePlanned(plan);
        written = buffer.written();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.bytes.size()));
    state.counters["out_MiB/s"] =
        benchmark::Counter(static_cast<double>(written) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate, benchmark::Counter::kIs1024);
}

void Register(const BenchInput& input)
{
    benchmark::RegisterBenchmark(("TsvWriter/" + input.name).c_str(), WriteListing,
                                 std::cref(input), tracklens::ListingFormat::Tsv)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("TsvWriterEveryColumn/" + input.name).c_str(), WriteEveryColumn,
                                 std::cref(input))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

} // namespace

int main(int argc, char** argv)
{
    return tracklens::bench::RunBenchmarks(argc, argv, Register);
}
