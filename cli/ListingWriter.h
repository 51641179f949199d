#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <span>
#include <vector>

#include "cli/ListingFormat.h"
#include "engine/Bytes.h"
#include "engine/EventWalk.h"
#include "engine/RelistPlan.h"
#include "engine/RowSink.h"
#include "engine/RunOutcome.h"
#include "engine/WalkPoint.h"

namespace tracklens {

// Writes the listing of one file as the walk finds its rows, so that nothing but the file's
// bytes and a few batches of rows is held. Titles first, rows next, finish() last; or titles,
// then writePlanned() from the plan of a walk made before, with no walk of the writer's own.
//
// Rows go in small batches, whose rows and text stay in the processor's cache. While the walk
// goes on, a helper thread makes the text of every other batch or so: it does not take the
// walk's rows, whose passing from one core to the other would cost more than finding them, but
// lists them again itself from where that batch began, each line written as its row is listed.
// The walk's thread makes the text of the other batches as soon as they are full, and writes
// every text in the rows' order. From a plan, every batch is listed again, by the helper while
// fewer than two wait for it, otherwise by the thread that writes.
class ListingWriter final : public RowSink {
public:
    static constexpr bool kHasItsOwnWalk = true;

    ListingWriter(ListingFormat format, std::span<const Column> columns, ByteSpan file,
                  const CellContext& context, std::ostream& out);
    ~ListingWriter() override;
    ListingWriter(const ListingWriter&) = delete;
    ListingWriter& operator=(const ListingWriter&) = delete;

    // A batch is full at this many rows, or at rows that show this many bytes of the file.
    static constexpr std::int32_t kBatchRows = kSmallBatches ? 6 : 1 << 12;
    static constexpr std::size_t kBatchFileBytes = kSmallBatches ? 64 : std::size_t{1} << 16;
    // The parts of a plan that writePlanned() takes: batches of the walk's own sizes.
    static constexpr RelistPlan::Limits kPlanLimits{kBatchRows, kBatchFileBytes,
                                                    DirectLines::kLargestHeldRow};

    void writeTitles();

    void AddRow(const Row& row, std::size_t, const WalkPoint& before) override
    {
        if (DirectLines::isLarge(row)) {
            addLargeRow(row);
            return;
        }
        // A batch begins where a walk can be taken up again, so a full one may take a row more.
        if (filling_.isFull() && BeginsAWalk(row.kind)) {
            beginBatch(before);
        }
        // Kept before it is counted: should memory run out, the row is not in the listing.
        if (!filling_.relisted) {
            rowsHere_.push_back(row);
        }
        ++rows_;
        ++filling_.rows;
        filling_.fileBytes += row.length;
    }

    // Writes every row still held, then closes the listing.
    void finish(const RunOutcome& outcome);

    // Instead of a walk and finish(): the rows of a walk that the plan was made from, each part
    // listed again by one of two threads, then the listing's end, as the walk ended.
    void writePlanned(const RelistPlan& plan);

private:
    class Batches;

    // The counts of the batch being filled on the walk's thread.
    struct Filling {
        std::int32_t rows = 0;
        std::size_t fileBytes = 0; // bytes of the file the rows show
        bool relisted = false;     // its rows are listed again from its start, not kept

        bool isFull() const { return rows >= kBatchRows || fileBytes >= kBatchFileBytes; }
    };

    void beginBatch(const WalkPoint& point);
    void addLargeRow(const Row& row);

    std::unique_ptr<Batches> batches_;
    Filling filling_;
    std::vector<Row> rowsHere_; // the rows of the batch being filled, when kept
    std::int32_t rows_ = 0;
};

// The context must outlive the writer.
std::unique_ptr<ListingWriter> MakeListingWriter(ListingFormat format, ByteSpan file,
                                                 std::ostream& out,
                                                 std::span<const Column> columns = kListingColumns,
                                                 const CellContext& context = {});

} // namespace tracklens
