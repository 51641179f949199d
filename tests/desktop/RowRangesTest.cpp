// The grid's selection: row ranges kept sorted, apart and merged.

#include <gtest/gtest.h>
#include <limits>

#include "ui/RowRanges.h"

namespace tracklens::desktop_testing {
namespace {

using Ranges = std::vector<ui::RowRanges::Range>;

enum class Step {
    Add,
    Remove,
    Toggle,
    DropFrom
};

TEST(RowRanges, StepsLeaveSortedRangesApartFromEachOther)
{
    constexpr int kMost = std::numeric_limits<int>::max();
    const struct {
        const char* what;
        std::vector<std::tuple<Step, int, int>> steps;
        Ranges ranges;
        std::int64_t count;
    } cases[] = {
        {"nothing", {}, {}, 0},
        {"one row", {{Step::Add, 4, 4}}, {{4, 4}}, 1},
        {"reversed", {{Step::Add, 9, 2}}, {{2, 9}}, 8},
        {"apart", {{Step::Add, 10, 12}, {Step::Add, 1, 3}}, {{1, 3}, {10, 12}}, 6},
        {"touching merge", {{Step::Add, 1, 3}, {Step::Add, 4, 6}}, {{1, 6}}, 6},
        {"bridging", {{Step::Add, 1, 2}, {Step::Add, 8, 9}, {Step::Add, 3, 7}}, {{1, 9}}, 9},
        {"overlapping", {{Step::Add, 5, 9}, {Step::Add, 1, 6}}, {{1, 9}}, 9},
        {"hole", {{Step::Add, 0, 9}, {Step::Remove, 4, 5}}, {{0, 3}, {6, 9}}, 8},
        {"toggle off and on", {{Step::Add, 0, 2}, {Step::Toggle, 1, 1}}, {{0, 0}, {2, 2}}, 2},
        {"toggle back",
         {{Step::Add, 0, 2}, {Step::Toggle, 1, 1}, {Step::Toggle, 1, 1}},
         {{0, 2}},
         3},
        {"drop from",
         {{Step::Add, 0, 2}, {Step::Add, 5, 9}, {Step::DropFrom, 7, 0}},
         {{0, 2}, {5, 6}},
         5},
        {"drop all", {{Step::Add, 0, 2}, {Step::DropFrom, 0, 0}}, {}, 0},
        {"every row there can be", {{Step::Add, 0, kMost}}, {{0, kMost}}, std::int64_t{kMost} + 1},
        {"to the last row",
         {{Step::Add, kMost, kMost}, {Step::Add, 0, kMost - 1}},
         {{0, kMost}},
         std::int64_t{kMost} + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui::RowRanges rows;
        for (const auto& [step, from, to] : c.steps) {
            switch (step) {
            case Step::Add:
                rows.add(from, to);
                break;
            case Step::Remove:
                rows.remove(from, to);
                break;
            case Step::Toggle:
                rows.toggle(from);
                break;
            case Step::DropFrom:
                rows.dropFrom(from);
                break;
            }
        }
        EXPECT_EQ(rows.ranges(), c.ranges);
        EXPECT_EQ(rows.count(), c.count);
        for (const auto& range : c.ranges) {
            EXPECT_TRUE(rows.contains(range.first));
            EXPECT_TRUE(rows.contains(range.last));
            if (range.first > 0) {
                EXPECT_EQ(rows.contains(range.first - 1), false);
            }
        }
    }
}

} // namespace
} // namespace tracklens::desktop_testing
