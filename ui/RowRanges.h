#pragma once

#include <cstdint>
#include <vector>

namespace tracklens::ui {

// A set of rows kept as ranges of rows, so that selecting every row of a listing of any size
// costs one range. The ranges are kept sorted, apart from each other and not touching.
class RowRanges {
public:
    struct Range {
        int first;
        int last; // included
        bool operator==(const Range&) const = default;
    };

    void clear() { ranges_.clear(); }
    bool empty() const { return ranges_.empty(); }
    const std::vector<Range>& ranges() const { return ranges_; }

    // The rows from one to the other, in either order.
    void add(int from, int to);
    void remove(int from, int to);
    void toggle(int row);
    bool contains(int row) const;
    std::int64_t count() const;
    // Drops the rows from this one on.
    void dropFrom(int row);

private:
    std::vector<Range> ranges_;
};

} // namespace tracklens::ui
