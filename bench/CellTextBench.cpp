// Reading back the text of every cell of every row, as the grid and the exports read them.

#include <algorithm>
#include <benchmark/benchmark.h>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchInputs.h"
#include "engine/CellText.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"

namespace {

using tracklens::Column;
using tracklens::bench::BenchInput;

// The table is built once, before the timed loop.
tracklens::EventTable TableOf(const BenchInput& input)
{
    tracklens::EventTable table(input.bytes);
    tracklens::WalkFile(table.content(), table);
    return table;
}

void SetRates(benchmark::State& state, const BenchInput& input, const tracklens::EventTable& table,
              std::size_t textBytes)
{
    const auto iterations = static_cast<double>(state.iterations());
    const auto rows = static_cast<double>(table.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.bytes.size()));
    state.counters["rows"] = rows;
    state.counters["cells/s"] = benchmark::Counter(rows * tracklens::kColumnCount * iterations,
                                                   benchmark::Counter::kIsRate);
    state.counters["text_bytes"] = static_cast<double>(textBytes);
}

// One string per cell, as EventTable::cellText hands it to the grid.
void CellTexts(benchmark::State& state, const BenchInput& input)
{
    const tracklens::EventTable table = TableOf(input);
    std::size_t textBytes = 0;
    for (auto _ : state) {
        textBytes = 0;
        for (std::size_t row = 0; row < table.size(); ++row) {
            for (std::size_t column = 0; column < tracklens::kColumnCount; ++column) {
                const std::string text = table.cellText(row, static_cast<Column>(column));
                textBytes += text.size();
                benchmark::DoNotOptimize(text.data());
            }
        }
    }
    SetRates(state, input, table, textBytes);
}

// Every cell written through a cursor into one reused room, as the writers of the listing do.
void AppendCellTexts(benchmark::State& state, const BenchInput& input)
{
    const tracklens::EventTable table = TableOf(input);
    std::size_t textBytes = 0;
    std::string room;
    for (auto _ : state) {
        textBytes = 0;
        for (std::size_t row = 0; row < table.size(); ++row) {
            const tracklens::Row listed = table.row(row);
            room.resize(
                std::max(room.size(), tracklens::CellRoom(table.content(), listed, Column::Event)));
            for (std::size_t column = 0; column < tracklens::kColumnCount; ++column) {
                tracklens::TextCursor cursor(room.data(), room.data() + room.size());
                tracklens::AppendCell(cursor, table.content(), listed, static_cast<Column>(column),
                                      table.cellContext());
                textBytes += static_cast<std::size_t>(cursor.at() - room.data());
                benchmark::DoNotOptimize(room.data());
            }
        }
    }
    SetRates(state, input, table, textBytes);
}

// The Time and Bar cells of every row, in the walk's order, as a listing with those columns
// places them: with the hints of the rows placed before, one after the other into the text of a
// batch of rows.
void PlaceRows(benchmark::State& state, const BenchInput& input)
{
    constexpr std::size_t kRowsPerText = 4096;
    const tracklens::EventTable table = TableOf(input);
    std::vector<tracklens::Row> rows;
    table.listRows(0, table.size(), rows);
    const tracklens::CellContext context = table.cellContext();
    std::size_t textBytes = 0;
    std::string room(kRowsPerText * 2 * tracklens::TimeMaps::kLongestText, '\0');
    for (auto _ : state) {
        textBytes = 0;
        tracklens::TimeMaps::Hints hints;
        for (std::size_t first = 0; first < rows.size(); first += kRowsPerText) {
            tracklens::TextCursor cursor(room.data(), room.data() + room.size());
            const std::size_t end = std::min(rows.size(), first + kRowsPerText);
            for (std::size_t row = first; row < end; ++row) {
                context.timeMaps->appendTime(cursor, rows[row], &hints);
                context.timeMaps->appendBar(cursor, rows[row], &hints);
            }
            textBytes += static_cast<std::size_t>(cursor.at() - room.data());
            benchmark::DoNotOptimize(room.data());
        }
    }
    SetRates(state, input, table, textBytes);
}

void Register(const BenchInput& input)
{
    benchmark::RegisterBenchmark(("CellText/" + input.name).c_str(), CellTexts, std::cref(input))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("AppendCell/" + input.name).c_str(), AppendCellTexts,
                                 std::cref(input))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("PlaceRows/" + input.name).c_str(), PlaceRows, std::cref(input))
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    return tracklens::bench::RunBenchmarks(argc, argv, Register);
}
