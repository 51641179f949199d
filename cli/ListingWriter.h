#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "cli/ListingText.h"
#include "engine/Bytes.h"
#include "engine/MemoryBlock.h"
#include "engine/RowSink.h"
#include "engine/RunOutcome.h"
#include "engine/WalkPoint.h"
#include "ui/platform/LargePageMemory.h"

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
// Rows go in small batches, whose rows and text stay in the processor's cache. While the walk
// goes on, a helper thread makes the text of every other batch or so: it does not take the
// walk's rows, whose passing from one core to the other would cost more than finding them, but
// lists them again itself from where that batch began. The walk's thread makes the text of the
// other batches as soon as they are full, and writes every text in the rows' order.
class ListingWriter final : public RowSink {
public:
    ListingWriter(std::unique_ptr<const ListingFormatter> format, ByteSpan file, std::ostream& out);
    ~ListingWriter() override;
    ListingWriter(const ListingWriter&) = delete;
    ListingWriter& operator=(const ListingWriter&) = delete;

    void writeTitles();
    void AddRow(const Row& row, std::size_t index, const WalkPoint& before) override;
    // Writes every row still held, then closes the listing.
    void finish(const RunOutcome& outcome);

private:
    // What one thread writes often is kept off the cache lines that the other uses.
    static constexpr std::size_t kCacheLine = 64;

    enum class BatchState {
        Filling,
        WaitingForHelper,
        Making,
        Made,
    };
    // A run of rows and its text. Batches are used again once written, with the memory they
    // hold: those for the helper again for the helper, so that their text stays in its cache.
    struct alignas(kCacheLine) Batch {
        std::optional<WalkPoint> relistFrom; // the rows are listed again from here, not kept
        std::int32_t rowCount = 0;
        std::size_t fileBytes = 0; // bytes of the file the rows show
        bool holdsFirstRow = false;
        ListingText text;
        BatchState state = BatchState::Filling;
        std::exception_ptr failure; // what making the text threw
    };
    using Batches = std::vector<std::unique_ptr<Batch>>;

    bool batchIsFull() const;
    void beginBatch(const WalkPoint& point);
    void sendBatch();
    bool helperIsBusy();
    void startHelper();
    void helpWithTexts(const std::stop_token& stop);
    void stayAwakeForABatch(const std::stop_token& stop) const;
    Batch* takeWaitingBatch();
    void makeHereOrWaitForOldest();
    void makeText(Batch& batch, std::vector<Row>& rows) const;
    void makeAndMark(Batch& batch, std::vector<Row>& rows);
    void markMade(Batch& batch);
    void writeMadeBatches();
    std::unique_ptr<Batch> emptyBatch(Batches& spares);
    void write(const ListingText& text);

    std::unique_ptr<const ListingFormatter> format_;
    ByteSpan file_;
    std::ostream& out_;
    // Before the batches, whose texts it may hold; in huge pages, not cleared.
    MemoryBlock<char> textRooms_{&ui::LargePageMemory::instance()};
    std::size_t textRoomsGiven_ = 0;
    Batches ownSpares_;
    Batches helpersSpares_;
    std::unique_ptr<Batch> batch_;
    // The rows of the batch being filled here, or of a batch listed again here.
    std::vector<Row> rowsHere_;
    std::int32_t rows_ = 0;

    alignas(kCacheLine) std::mutex mutex_;
    std::condition_variable_any batchesChanged_;
    // Batches sent and not yet written, oldest first, and how many of them wait for the helper
    // (changed under the lock, read without it by the helper while it stays awake). The walk's
    // thread alone adds and removes batches; both threads change their states.
    std::deque<std::unique_ptr<Batch>> sent_;
    std::atomic<std::size_t> waitingForHelper_ = 0;

    alignas(kCacheLine) std::vector<Row> helpersRows_;
    // Last, so that it is stopped and joined before anything it uses goes.
    std::jthread helper_;
};

std::unique_ptr<ListingWriter> MakeListingWriter(ListingFormat format, ByteSpan file,
                                                 std::ostream& out);

// Tab, line feed, carriage return and backslash as \t \n \r \\, other control bytes as \xHH.
void AppendTsvEscaped(std::string& out, std::string_view text);

// A field quoted, with its quotes doubled, when it holds a comma, a quote or a line break.
void AppendCsvField(std::string& out, std::string_view text);

} // namespace tracklens
