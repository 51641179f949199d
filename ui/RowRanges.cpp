#include "ui/RowRanges.h"

#include <algorithm>
#include <utility>

namespace tracklens::ui {

void RowRanges::add(int from, int to)
{
    if (from > to) {
        std::swap(from, to);
    }
    std::vector<Range> merged;
    merged.reserve(ranges_.size() + 1);
    Range added{from, to};
    for (const Range& range : ranges_) {
        // Apart when there is at least one row between them.
        if (static_cast<long long>(range.last) + 1 < added.first) {
            merged.push_back(range);
        } else if (static_cast<long long>(added.last) + 1 < range.first) {
            merged.push_back(added);
            added = range;
        } else {
            added = {std::min(added.first, range.first), std::max(added.last, range.last)};
        }
    }
    merged.push_back(added);
    ranges_ = std::move(merged);
}

void RowRanges::remove(int from, int to)
{
    if (from > to) {
        std::swap(from, to);
    }
    std::vector<Range> kept;
    kept.reserve(ranges_.size() + 1);
    for (const Range& range : ranges_) {
        if (range.last < from || range.first > to) {
            kept.push_back(range);
            continue;
        }
        if (range.first < from) {
            kept.push_back({range.first, from - 1});
        }
        if (range.last > to) {
            kept.push_back({to + 1, range.last});
        }
    }
    ranges_ = std::move(kept);
}

void RowRanges::toggle(int row)
{
    if (contains(row)) {
        remove(row, row);
    } else {
        add(row, row);
    }
}

bool RowRanges::contains(int row) const
{
    const auto after =
        std::upper_bound(ranges_.begin(), ranges_.end(), row,
                         [](int value, const Range& range) { return value < range.first; });
    return after != ranges_.begin() && std::prev(after)->last >= row;
}

std::int64_t RowRanges::count() const
{
    std::int64_t rows = 0;
    for (const Range& range : ranges_) {
        rows += std::int64_t{range.last} - range.first + 1;
    }
    return rows;
}

void RowRanges::dropFrom(int row)
{
    if (row <= 0) {
        ranges_.clear();
        return;
    }
    remove(row, ranges_.empty() ? row : std::max(row, ranges_.back().last));
}

} // namespace tracklens::ui
