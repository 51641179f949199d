#pragma once

#include <cstddef>
#include <deque>
#include <future>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ListingText.h"
#include "engine/Bytes.h"
#include "engine/RowSink.h"
#include "engine/RunOutcome.h"

namespace tracklens {

enum class ListingFormat {
    Tsv,
    Csv,
    Json
};

// How one format writes the listing's parts. It keeps no state, so that several batches of
// rows can be written at once on other threads.
class ListingFormatter {
public:
    virtual ~ListingFormatter() = default;

    virtual void appendTitles(ListingText& out) const = 0;
    // The lines of a batch of rows; startsListing tells whether its first row is the listing's.
    virtual void appendRows(ListingText& out, ByteSpan file, std::span<const Row> rows,
                            bool startsListing) const = 0;
    virtual void appendEnd(ListingText& out, const RunOutcome& outcome, std::int32_t rows) const;
};

// Writes the listing of one file as the walk finds its rows, so that nothing but the file's
// bytes and a few batches of rows is held. Titles first, rows next, finish() last.
//
// Full batches of rows are turned into text on worker threads while the walk goes on; the
// texts are written in the rows' order, by the thread that calls AddRow and finish.
class ListingWriter final : public RowSink {
public:
    ListingWriter(std::unique_ptr<const ListingFormatter> format, ByteSpan file, std::ostream& out);
    ~ListingWriter() override;

    void writeTitles();
    void AddRow(const Row& row) override;
    // Writes every row still held, then closes the listing.
    void finish(const RunOutcome& outcome);

private:
    // Rows and their text; batches are used again once written, with the memory they hold.
    struct Batch {
        std::vector<Row> rows;
        std::size_t fileBytes = 0; // bytes of the file the rows show
        bool holdsFirstRow = false;
        ListingText text;
    };
    struct BatchInFlight {
        std::shared_ptr<Batch> batch;
        std::future<void> textMade;
    };

    void sendBatch();
    void writeOldestBatch();
    void makeText(Batch& batch) const;
    std::shared_ptr<Batch> emptyBatch();
    void write(const ListingText& text);

    std::unique_ptr<const ListingFormatter> format_;
    ByteSpan file_;
    std::ostream& out_;
    std::vector<std::shared_ptr<Batch>> spareBatches_;
    std::shared_ptr<Batch> batch_; // after spareBatches_, which makes it
    std::int32_t rows_ = 0;
    // Last, so that it is destroyed first: a future of std::async waits for its thread.
    std::deque<BatchInFlight> batchesInFlight_;
};

std::unique_ptr<ListingWriter> MakeListingWriter(ListingFormat format, ByteSpan file,
                                                 std::ostream& out);

// Tab, line feed, carriage return and backslash as \t \n \r \\, other control bytes as \xHH.
void AppendTsvEscaped(std::string& out, std::string_view text);

// A field quoted, with its quotes doubled, when it holds a comma, a quote or a line break.
void AppendCsvField(std::string& out, std::string_view text);

} // namespace tracklens
