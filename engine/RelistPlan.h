#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
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
        if (BeginsAWalk(row.kind) && (large || isFull(filling_))) {
            beginPart(before);
        }
        ++filling_.rows;
        filling_.fileBytes += row.length;
        filling_.holdsLargeRow = filling_.holdsLargeRow || large;
    }

    // The parts of a walk that took up where the walk of this plan ended, at a chunk's tag.
    void addPartsOf(RelistPlan&& later)
    {
        closePart();
        later.closePart();
        parts_.insert(parts_.end(), later.parts_.begin(), later.parts_.end());
    }

    // Closes the plan once its walk has ended.
    void endWith(const RunOutcome& outcome, std::vector<RunOutcome> problems)
    {
        closePart();
        outcome_ = outcome;
        problems_ = std::move(problems);
    }

    const Limits& limits() const { return limits_; }
    std::span<const RelistPart> parts() const { return parts_; }
    // What ended the walk, and the problems of a walk that kept going.
    const RunOutcome& outcome() const { return outcome_; }
    const std::vector<RunOutcome>& problems() const { return problems_; }

private:
    // The header's part, which has no point, is full at once: the first row where a walk can
    // begin begins the next part.
    bool isFull(const RelistPart& part) const
    {
        return !part.point || part.holdsLargeRow || part.rows >= limits_.rows ||
               part.fileBytes >= limits_.fileBytes;
    }

    [[gnu::noinline]] void beginPart(const WalkPoint& point)
    {
        closePart();
        filling_ = {point, 0, 0, false};
    }

    void closePart()
    {
        if (filling_.rows > 0) {
            parts_.push_back(filling_);
            filling_ = {};
        }
    }

    Limits limits_;
    std::vector<RelistPart> parts_;
    RelistPart filling_; // not yet in parts_
    RunOutcome outcome_;
    std::vector<RunOutcome> problems_;
};

} // namespace tracklens
