#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/Row.h"
#include "engine/RunOutcome.h"
#include "engine/WalkPoint.h"

namespace tracklens {

// A run of a walk's rows that a walk of its own lists again: from a point, or, for the rows of
// the header, where no walk can be taken up, from the start of the file.
struct RelistPart {
    std::optional<WalkPoint> point; // none for the header's rows
    std::int32_t rows = 0;
    std::size_t fileBytes = 0;  // the bytes of the file its rows show
    bool holdsLargeRow = false; // a row of more than the plan's largest held row
};

// The rows of a walk cut into parts that walks of their own list again, several at once, and
// what ended the walk. Made during a walk that reads the whole file for something else (the time
// maps of a listing), it spares the listing a walk of its own.
class RelistPlan {
public:
    struct Limits {
        std::int32_t rows;          // a part is full at this many rows
        std::size_t fileBytes;      // or at rows that show this many bytes of the file
        std::size_t largestHeldRow; // a row that shows more begins a part, where it can
    };

    explicit RelistPlan(const Limits& limits)
        : limits_(limits)
    {
    }

    // A part begins where a walk can be taken up again (BeginsAWalk), so a full one may take a
    // few rows more; it holds the header's rows alone, and a large row alone where it can.
    [[gnu::always_inline]] void noteRow(const Row& row, const WalkPoint& before)
    {
        const bool large = row.length > limits_.largestHeldRow;
        if (beginsAPart(row, large)) {
            parts_.push_back({});
            if (BeginsAWalk(row.kind)) {
                parts_.back().point = before;
            }
        }
        RelistPart& part = parts_.back();
        ++part.rows;
        part.fileBytes += row.length;
        part.holdsLargeRow = part.holdsLargeRow || large;
    }

    // The parts of a walk that took up where the walk of this plan ended.
    void addPartsOf(const RelistPlan& later)
    {
        parts_.insert(parts_.end(), later.parts_.begin(), later.parts_.end());
    }

    void endWith(const RunOutcome& outcome, const std::vector<RunOutcome>& problems)
    {
        outcome_ = outcome;
        problems_ = problems;
    }

    const Limits& limits() const { return limits_; }
    std::span<const RelistPart> parts() const { return parts_; }
    // What ended the walk, and the problems of a walk that kept going.
    const RunOutcome& outcome() const { return outcome_; }
    const std::vector<RunOutcome>& problems() const { return problems_; }

private:
    bool beginsAPart(const Row& row, bool large) const
    {
        if (parts_.empty()) {
            return true;
        }
        if (!BeginsAWalk(row.kind)) {
            return false;
        }
        const RelistPart& part = parts_.back();
        return !part.point || large || part.holdsLargeRow || part.rows >= limits_.rows ||
               part.fileBytes >= limits_.fileBytes;
    }

    Limits limits_;
    std::vector<RelistPart> parts_;
    RunOutcome outcome_;
    std::vector<RunOutcome> problems_;
};

} // namespace tracklens
