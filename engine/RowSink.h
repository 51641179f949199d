#pragma once

#include <cstddef>
#include <vector>

#include "engine/Row.h"
#include "engine/WalkPoint.h"

namespace tracklens {

// Receives each row of the listing as the walk finds it, with its index in the walk and the
// place right before it where a walk can be taken up again (where BeginsAWalk(row.kind)).
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void AddRow(const Row& row, std::size_t index, const WalkPoint& before) = 0;
    // Called once a walk of the whole file has handed over its last row, whatever ended it.
    virtual void EndWalk() {}

protected:
    RowSink() = default;
    RowSink(const RowSink&) = default;
    RowSink& operator=(const RowSink&) = default;
};

// Keeps every row it is given.
class RowCollector final : public RowSink {
public:
    static constexpr bool kHasItsOwnWalk = true;

    explicit RowCollector(std::vector<Row>& rows)
        : rows_(rows)
    {
    }
    void AddRow(const Row& row, std::size_t, const WalkPoint&) override { rows_.push_back(row); }

private:
    std::vector<Row>& rows_;
};

} // namespace tracklens
