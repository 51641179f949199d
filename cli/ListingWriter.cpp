#include "cli/ListingWriter.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <stop_token>
#include <system_error>
#include <thread>
#include <utility>

#include "cli/ListingText.h"
#include "engine/EventWalkSteps.h"
#include "engine/MemoryBlock.h"
#include "memory/LargePageMemory.h"

namespace tracklens {

template class BasicEventWalk<ListingWriter>;

namespace {

// The helper is busy when this many batches wait for it; the walk's thread then makes the text
// of its batches itself. No more than this many batches are held at once.
constexpr std::size_t kHelperBacklog = 2;
constexpr std::size_t kMostBatchesHeld = 6;
// Waking a thread that sleeps takes about as long as making a batch on a virtual machine, whose
// idle core the host has put to rest: the helper stays awake this long for the next batch.
constexpr auto kHelperStaysAwake = std::chrono::microseconds(500);
// Enough for a typical cell of a note's line, so that a batch's text is rarely reallocated:
// about 70 characters with every column.
constexpr std::size_t kTypicalCellText = 7;
constexpr auto kRowsPerBatch = static_cast<std::size_t>(ListingWriter::kBatchRows);
// The texts of the batches after the first begin in rooms of large pages, enough for a full
// batch of typical lines in the columns chosen; the rare longer text moves out of its room.
constexpr std::size_t kTextRoomStep = std::size_t{1} << 16;
constexpr std::size_t TextRoomFor(std::size_t columns)
{
    const std::size_t room = kRowsPerBatch * kTypicalCellText * columns + kTextRoomStep;
    return (room + kTextRoomStep - 1) / kTextRoomStep * kTextRoomStep;
}
static_assert(kSmallBatches || TextRoomFor(kListingColumns.size()) == std::size_t{1} << 18);
constexpr std::size_t kTextRooms = 2 * (kMostBatchesHeld + 1);
// What one thread writes often is kept off the cache lines that the other uses.
constexpr std::size_t kCacheLine = 64;

} // namespace

// The batches sent and not yet written, the helper thread that makes the text of some of them,
// and the memory they use again.
class ListingWriter::Batches {
public:
    Batches(ListingFormat format, std::span<const Column> columns, ByteSpan file,
            const CellContext& context, std::ostream& out);
    ~Batches() = default;
    Batches(const Batches&) = delete;
    Batches& operator=(const Batches&) = delete;

    void write(const ListingText& text);
    // Sends the batch being filled, with the given counts and, unless it is listed again, rows.
    void send(const Filling& filling, std::vector<Row>& rowsHere);
    // Begins the next batch at a point; tells whether the helper lists its rows again.
    bool begin(const WalkPoint& point);
    // Sends a row too large to be held as text, written in pieces in its turn, then begins a
    // batch that keeps its rows.
    void sendLargeRow(const Row& row);
    // Writes the batches made, in order, up to the first not yet made.
    void writeMadeBatches();
    // Makes and writes every batch sent, then the listing's end.
    void finish(const RunOutcome& outcome, std::int32_t rows, std::vector<Row>& rowsHere);
    // Every part of a plan as a batch, then the listing's end.
    void writePlanned(const RelistPlan& plan, std::vector<Row>& rowsHere);

    ListingFormat format() const { return format_; }
    std::span<const Column> columns() const { return columns_; }

private:
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
        std::optional<Row> largeRow;         // a row written in pieces, alone in its batch
        std::vector<Row> keptRows;           // the rows of a text that could not be made
        std::int32_t rowCount = 0;
        std::size_t fileBytes = 0;
        bool holdsFirstRow = false;
        bool forHelper = false; // made by the helper, unless it has too much to do
        bool inPieces = false;  // listed again and written directly: it holds a large row
        ListingText text;
        BatchState state = BatchState::Filling;
        std::exception_ptr failure; // what making the text threw
    };
    using Spares = std::vector<std::unique_ptr<Batch>>;

    bool helperIsBusy();
    void startHelper();
    void helpWithTexts(const std::stop_token& stop);
    void stayAwakeForABatch(const std::stop_token& stop) const;
    Batch* takeWaitingBatch();
    void makeHereOrWaitForOldest(std::vector<Row>& rowsHere);
    void makeText(Batch& batch, std::vector<Row>& rows) const;
    void makeAndMark(Batch& batch, std::vector<Row>& rows);
    void markMade(Batch& batch);
    void writeDirectly(Batch& batch);
    void listHeaderHere(std::int32_t rows, std::vector<Row>& rowsHere) const;
    std::unique_ptr<Batch> emptyBatch(Spares& spares);

    ListingFormat format_;
    std::vector<Column> columns_;
    ByteSpan file_;
    CellContext context_;
    std::ostream& out_;
    // Before the batches, whose texts it may hold; in huge pages, not cleared.
    MemoryBlock<char> textRooms_{&LargePageMemory::instance()};
    std::size_t textRoom_; // for each text
    std::size_t textRoomsGiven_ = 0;
    Spares ownSpares_;
    Spares helpersSpares_;
    std::unique_ptr<Batch> filling_;
    DirectLines direct_;
    std::vector<Row> directRows_; // made once, for the rows of a batch written directly

    alignas(kCacheLine) std::mutex mutex_;
    std::condition_variable_any batchesChanged_;
    // Batches sent and not yet written, oldest first, and how many of them wait for the helper
    // (changed under the lock, read without it by the helper while it stays awake). The walk's
    // thread alone adds and removes batches; both threads change their states.
    std::deque<std::unique_ptr<Batch>> sent_;
    std::atomic<std::size_t> waitingForHelper_ = 0;

    // Last, so that it is stopped and joined before anything it uses goes.
    std::jthread helper_;
};

ListingWriter::Batches::Batches(ListingFormat format, std::span<const Column> columns,
                                ByteSpan file, const CellContext& context, std::ostream& out)
    : format_(format)
    , columns_(columns.begin(), columns.end())
    , file_(file)
    , context_(context)
    , out_(out)
    , textRoom_(TextRoomFor(columns.size()))
    , filling_(std::make_unique<Batch>())
    , direct_(format, columns, context, out)
{
    filling_->holdsFirstRow = true;
    directRows_.reserve(kRowsPerBatch + 1);
    ownSpares_.reserve(kMostBatchesHeld + 2);
    helpersSpares_.reserve(kMostBatchesHeld + 2);
}

void ListingWriter::Batches::write(const ListingText& text)
{
    out_.write(text.view().data(), static_cast<std::streamsize>(text.size()));
}

void ListingWriter::Batches::send(const Filling& filling, std::vector<Row>& rowsHere)
{
    // After a failure to make a text, the walk may have ended with no batch being filled.
    if (filling_ == nullptr) {
        rowsHere.clear();
        return;
    }
    Batch& batch = *filling_;
    batch.rowCount = filling.rows;
    batch.fileBytes = filling.fileBytes;
    const BatchState state = batch.inPieces    ? BatchState::Made
                             : batch.forHelper ? BatchState::WaitingForHelper
                                               : BatchState::Making;
    {
        // In the queue before it is counted as waiting: should the queue's growth fail, the
        // helper is not told of a batch it cannot find.
        const std::lock_guard lock(mutex_);
        sent_.push_back(std::move(filling_));
        batch.state = state;
        waitingForHelper_ += state == BatchState::WaitingForHelper ? 1 : 0;
    }
    if (state == BatchState::WaitingForHelper) {
        batchesChanged_.notify_all();
    } else if (state == BatchState::Making) {
        makeAndMark(batch, rowsHere);
    }
    writeMadeBatches();
    while (sent_.size() >= kMostBatchesHeld) {
        makeHereOrWaitForOldest(rowsHere);
        writeMadeBatches();
    }
}

// The helper lists the batch again when it has little to do; otherwise it is made here.
bool ListingWriter::Batches::begin(const WalkPoint& point)
{
    if (!helper_.joinable()) {
        startHelper();
    }
    if (helperIsBusy()) {
        filling_ = emptyBatch(ownSpares_);
        return false;
    }
    filling_ = emptyBatch(helpersSpares_);
    filling_->relistFrom = point;
    filling_->forHelper = true;
    return true;
}

void ListingWriter::Batches::sendLargeRow(const Row& row)
{
    // Both batches are made before the row is sent, so that nothing fails once it is.
    std::unique_ptr<Batch> large = emptyBatch(ownSpares_);
    std::unique_ptr<Batch> next = emptyBatch(ownSpares_);
    large->largeRow = row;
    large->state = BatchState::Made;
    {
        const std::lock_guard lock(mutex_);
        sent_.push_back(std::move(large));
    }
    filling_ = std::move(next);
}

void ListingWriter::Batches::finish(const RunOutcome& outcome, std::int32_t rows,
                                    std::vector<Row>& rowsHere)
{
    while (!sent_.empty()) {
        makeHereOrWaitForOldest(rowsHere);
        writeMadeBatches();
    }
    ListingText end;
    AppendEnd(end, format_, outcome, rows);
    write(end);
    out_.flush();
}

// The helper lists a part again when it has little to do; otherwise it is listed again here, as
// are the header's rows, from the start of the file, and a part of a large row, in its turn.
void ListingWriter::Batches::writePlanned(const RelistPlan& plan, std::vector<Row>& rowsHere)
{
    std::int32_t rows = 0;
    bool helperTried = false;
    for (const RelistPart& part : plan.parts()) {
        if (part.point && !helperTried) {
            startHelper();
            helperTried = true;
        }
        const bool inPieces = part.point && part.holdsLargeRow;
        const bool forHelper = part.point && !inPieces && !helperIsBusy();
        filling_ = emptyBatch(forHelper ? helpersSpares_ : ownSpares_);
        filling_->relistFrom = part.point;
        filling_->holdsFirstRow = rows == 0;
        filling_->forHelper = forHelper;
        filling_->inPieces = inPieces;
        if (!part.point) {
            listHeaderHere(part.rows, rowsHere);
        }
        send(Filling{part.rows, part.fileBytes, part.point.has_value()}, rowsHere);
        rows += part.rows;
    }
    finish(plan.outcome(), rows, rowsHere);
}

void ListingWriter::Batches::listHeaderHere(std::int32_t rows, std::vector<Row>& rowsHere) const
{
    RowCollector sink(rowsHere);
    BasicEventWalk<RowCollector> walk(file_, sink);
    if (walk.readHeader().ranOutOfMemory()) {
        throw std::bad_alloc();
    }
    if (walk.rowCount() != rows) {
        throw std::logic_error("the rows of the header could not be listed again");
    }
}

// Without a helper, every batch is made here.
bool ListingWriter::Batches::helperIsBusy()
{
    const std::lock_guard lock(mutex_);
    return !helper_.joinable() || waitingForHelper_ >= kHelperBacklog;
}

void ListingWriter::Batches::startHelper()
{
    try {
        helper_ = std::jthread([this](const std::stop_token& stop) { helpWithTexts(stop); });
    } catch (const std::system_error&) {
        // No thread to be had: the walk's thread makes every text itself.
    }
}

void ListingWriter::Batches::helpWithTexts(const std::stop_token& stop)
{
    // The helper's batches are listed again and written as they are listed: they keep no rows.
    std::vector<Row> noRows;
    while (true) {
        stayAwakeForABatch(stop);
        Batch* batch = nullptr;
        {
            std::unique_lock lock(mutex_);
            if (!batchesChanged_.wait(lock, stop, [this] { return waitingForHelper_ > 0; })) {
                return;
            }
            batch = takeWaitingBatch();
        }
        if (batch != nullptr) {
            makeAndMark(*batch, noRows);
        }
    }
}

void ListingWriter::Batches::stayAwakeForABatch(const std::stop_token& stop) const
{
    const auto until = std::chrono::steady_clock::now() + kHelperStaysAwake;
    while (waitingForHelper_.load(std::memory_order_relaxed) == 0 && !stop.stop_requested() &&
           std::chrono::steady_clock::now() < until) {
    }
}

// The oldest batch that waits for the helper, now being made; the caller holds the lock.
ListingWriter::Batches::Batch* ListingWriter::Batches::takeWaitingBatch()
{
    const auto waiting = std::find_if(sent_.begin(), sent_.end(), [](const auto& batch) {
        return batch->state == BatchState::WaitingForHelper;
    });
    if (waiting == sent_.end()) {
        return nullptr;
    }
    --waitingForHelper_;
    (*waiting)->state = BatchState::Making;
    return waiting->get();
}

// Rather than wait for the helper, make a batch that it has not begun.
void ListingWriter::Batches::makeHereOrWaitForOldest(std::vector<Row>& rowsHere)
{
    Batch* batch = nullptr;
    {
        std::unique_lock lock(mutex_);
        batch = takeWaitingBatch();
        if (batch == nullptr) {
            batchesChanged_.wait(lock, [this] { return sent_.front()->state == BatchState::Made; });
            return;
        }
    }
    makeAndMark(*batch, rowsHere);
}

// The batch's rows are in rows, or are written as they are listed again from its start; they are
// not needed afterwards.
void ListingWriter::Batches::makeText(Batch& batch, std::vector<Row>& rows) const
{
    const auto rowCount = static_cast<std::size_t>(batch.rowCount);
    batch.text.reserve(rowCount * kTypicalCellText * columns_.size() + 2 * batch.fileBytes);
    if (batch.relistFrom) {
        // Written as they are listed again: held, they would leave the cache before their lines.
        if (AppendRowsListedAgain(batch.text, format_, file_, context_, *batch.relistFrom,
                                  batch.rowCount, columns_,
                                  batch.holdsFirstRow) != batch.rowCount) {
            throw std::logic_error("the rows of a batch could not be listed again from its start");
        }
        return;
    }
    AppendRows(batch.text, format_, file_, context_, rows, columns_, batch.holdsFirstRow);
    rows.clear();
}

// What making the text throws is kept with the batch and thrown when it is written, in order,
// so that no batch is left unmade for the others to wait on.
void ListingWriter::Batches::makeAndMark(Batch& batch, std::vector<Row>& rows)
{
    try {
        makeText(batch, rows);
    } catch (const std::bad_alloc&) {
        // Its lines are written directly in their turn: from the walk's rows, which are whole,
        // or listed again then, since a listing again may have stopped short here.
        if (batch.relistFrom) {
            rows.clear();
        } else {
            batch.keptRows.swap(rows);
        }
        batch.text.clear();
        batch.failure = std::current_exception();
    } catch (...) {
        rows.clear();
        batch.failure = std::current_exception();
    }
    markMade(batch);
}

void ListingWriter::Batches::markMade(Batch& batch)
{
    {
        const std::lock_guard lock(mutex_);
        batch.state = BatchState::Made;
    }
    batchesChanged_.notify_all();
}

// The made batches at the front, in order; a batch made early waits for those before it.
void ListingWriter::Batches::writeMadeBatches()
{
    while (true) {
        std::unique_ptr<Batch> oldest;
        {
            const std::lock_guard lock(mutex_);
            if (sent_.empty() || sent_.front()->state != BatchState::Made) {
                return;
            }
            oldest = std::move(sent_.front());
            sent_.pop_front();
        }
        if (oldest->largeRow || oldest->failure || oldest->inPieces) {
            writeDirectly(*oldest);
        } else {
            write(oldest->text);
        }
        // Back where it came from, so that neither kind of batch is made anew while spares of
        // the other pile up.
        (oldest->forHelper ? helpersSpares_ : ownSpares_).push_back(std::move(oldest));
    }
}

// A batch whose text was not made, for want of memory, that holds a row too large for one, or
// whose one large event is written in pieces.
void ListingWriter::Batches::writeDirectly(Batch& batch)
{
    if (batch.largeRow) {
        direct_.write(file_, *batch.largeRow, false);
        return;
    }
    if (batch.failure) {
        try {
            std::rethrow_exception(batch.failure);
        } catch (const std::bad_alloc&) {
        }
    }
    std::vector<Row>& rows = batch.keptRows.empty() ? directRows_ : batch.keptRows;
    if (batch.relistFrom && batch.keptRows.empty()) {
        RowCollector sink(directRows_);
        BasicEventWalk<RowCollector> walk(file_, sink);
        if (walk.relist(*batch.relistFrom, batch.rowCount) != batch.rowCount) {
            throw std::logic_error("the rows of a batch could not be listed again from its start");
        }
    }
    bool first = batch.holdsFirstRow;
    for (const Row& row : rows) {
        direct_.write(file_, row, first);
        first = false;
    }
    rows.clear();
}

std::unique_ptr<ListingWriter::Batches::Batch> ListingWriter::Batches::emptyBatch(Spares& spares)
{
    if (spares.empty()) {
        auto batch = std::make_unique<Batch>();
        if (textRoomsGiven_ < kTextRooms) {
            if (textRooms_.room().empty()) {
                try {
                    textRooms_.makeRoom(kTextRooms * textRoom_);
                } catch (const std::bad_alloc&) {
                    // The texts then take memory of their own as they grow.
                    textRoomsGiven_ = kTextRooms;
                    return batch;
                }
            }
            batch->text =
                ListingText(textRooms_.room().subspan(textRoomsGiven_++ * textRoom_, textRoom_));
        }
        return batch;
    }
    std::unique_ptr<Batch> batch = std::move(spares.back());
    spares.pop_back();
    batch->relistFrom.reset();
    batch->largeRow.reset();
    batch->keptRows.clear();
    batch->rowCount = 0;
    batch->fileBytes = 0;
    batch->holdsFirstRow = false;
    batch->forHelper = false;
    batch->inPieces = false;
    batch->text.clear();
    batch->state = BatchState::Filling;
    batch->failure = nullptr;
    return batch;
}

ListingWriter::ListingWriter(ListingFormat format, std::span<const Column> columns, ByteSpan file,
                             const CellContext& context, std::ostream& out)
    : batches_(std::make_unique<Batches>(format, columns, file, context, out))
{
    if (columns.size() > kAllColumnCount) {
        throw std::invalid_argument("a listing has no more columns than kAllColumnCount");
    }
    // A full batch takes a chunk's length row more at most.
    rowsHere_.reserve(kRowsPerBatch + 1);
}

ListingWriter::~ListingWriter() = default;

void ListingWriter::writeTitles()
{
    ListingText titles;
    AppendTitles(titles, batches_->format(), batches_->columns());
    batches_->write(titles);
}

void ListingWriter::beginBatch(const WalkPoint& point)
{
    batches_->send(filling_, rowsHere_);
    filling_ = Filling{};
    filling_.relisted = batches_->begin(point);
}

void ListingWriter::addLargeRow(const Row& row)
{
    batches_->send(filling_, rowsHere_);
    filling_ = Filling{};
    batches_->sendLargeRow(row);
    ++rows_;
    batches_->writeMadeBatches();
}

void ListingWriter::finish(const RunOutcome& outcome)
{
    batches_->send(filling_, rowsHere_);
    filling_ = Filling{};
    batches_->finish(outcome, rows_, rowsHere_);
}

void ListingWriter::writePlanned(const RelistPlan& plan)
{
    batches_->writePlanned(plan, rowsHere_);
}

std::unique_ptr<ListingWriter> MakeListingWriter(ListingFormat format, ByteSpan file,
                                                 std::ostream& out, std::span<const Column> columns,
                                                 const CellContext& context)
{
    return std::make_unique<ListingWriter>(format, columns, file, context, out);
}

} // namespace tracklens
