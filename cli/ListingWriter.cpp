#include "cli/ListingWriter.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <nlohmann/json.hpp>
#include <system_error>
#include <utility>

#include "engine/CellText.h"
#include "engine/Conversions.h"
#include "engine/EventWalk.h"
#include "engine/TextCursor.h"

namespace tracklens {

namespace {

// A batch is sent once it holds this many rows or covers this many bytes of the file: small
// enough that its rows and text stay in the processor's cache.
constexpr std::size_t kBatchRows = 1 << 12;
constexpr std::size_t kBatchFileBytes = 1 << 16;
// The helper is busy when this many batches wait for it; the walk's thread then makes the text
// of its batches itself. No more than this many batches are held at once.
constexpr std::size_t kHelperBacklog = 2;
constexpr std::size_t kMostBatchesHeld = 6;
// Waking a thread that sleeps takes about as long as making a batch on a virtual machine, whose
// idle core the host has put to rest: the helper stays awake this long for the next batch.
constexpr auto kHelperStaysAwake = std::chrono::microseconds(500);
// Enough for the line of a typical note, so that a batch's text is rarely reallocated.
constexpr std::size_t kTypicalRowText = 48;
// The texts of the batches after the first begin in rooms of one block of large pages, enough
// for a full batch of typical lines; the rare longer text moves out of its room.
constexpr std::size_t kTextRoom = std::size_t{1} << 18;
static_assert(kTextRoom > kBatchRows * kTypicalRowText + kBatchFileBytes / 2);
constexpr std::size_t kTextRooms = 2 * (kMostBatchesHeld + 1);

constexpr std::array<bool, 256> BuildTsvEscapes()
{
    std::array<bool, 256> escapes{};
    for (std::size_t byte = 0; byte < 0x20; ++byte) {
        escapes[byte] = true;
    }
    escapes[0x7F] = true;
    escapes['\\'] = true;
    return escapes;
}

constexpr std::array<bool, 256> kTsvEscapes = BuildTsvEscapes();

bool NeedsTsvEscape(char c)
{
    return kTsvEscapes[static_cast<unsigned char>(c)];
}

// Rows of these kinds show only digits, hexadecimal and the program's own words, none of which
// is ever escaped; the others may show text bytes of the file.
bool ShowsOnlyOwnWords(RowKind kind)
{
    return kind == RowKind::ChannelVoice || kind == RowKind::SystemExclusive ||
           kind == RowKind::SysExEscape || kind == RowKind::SystemMessage;
}

// Escapes, in place, what was appended to out from start on.
void EscapeTsvFrom(std::string& out, std::size_t start, std::string& scratch)
{
    const auto first =
        std::find_if(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), NeedsTsvEscape);
    if (first == out.end()) {
        return;
    }
    scratch.assign(first, out.end());
    out.erase(first, out.end());
    AppendTsvEscaped(out, scratch);
}

// The text of a cell, in scratch.
const std::string& CellTextIn(std::string& scratch, ByteSpan file, const Row& row,
                              std::size_t column)
{
    scratch.clear();
    AppendCellText(scratch, file, row, static_cast<Column>(column));
    return scratch;
}

// A channel message's line, written through a cursor into room for the longest one.
void AppendChannelVoiceLine(ListingText& out, ByteSpan file, const Row& row)
{
    TextCursor cursor(out.room(kLongestChannelVoiceLine + kPieceWidth));
    AppendChannelVoiceCellText(cursor, file, row, Column::AbsTick);
    cursor += '\t';
    AppendChannelVoiceCellText(cursor, file, row, Column::DTime);
    cursor += '\t';
    AppendChannelVoiceCellText(cursor, file, row, Column::Event);
    cursor += '\t';
    AppendChannelVoiceCellText(cursor, file, row, Column::Ch);
    cursor += '\t';
    AppendChannelVoiceCellText(cursor, file, row, Column::Description);
    cursor += '\t';
    AppendChannelVoiceCellText(cursor, file, row, Column::Value);
    cursor += '\n';
    out.wrote(cursor.at());
}

// Any other row's line, its cells escaped where they may show text bytes of the file.
void AppendEscapedLine(std::string& line, std::string& scratch, ByteSpan file, const Row& row)
{
    line.clear();
    const bool ownWordsOnly = ShowsOnlyOwnWords(row.kind);
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        const std::size_t start = line.size();
        AppendCellText(line, file, row, static_cast<Column>(i));
        if (!ownWordsOnly) {
            EscapeTsvFrom(line, start, scratch);
        }
        line += i + 1 < kColumnCount ? '\t' : '\n';
    }
}

class TsvFormatter final : public ListingFormatter {
public:
    void appendTitles(ListingText& out) const override
    {
        for (std::size_t i = 0; i < kColumnTitles.size(); ++i) {
            out += kColumnTitles[i];
            out += i + 1 < kColumnTitles.size() ? '\t' : '\n';
        }
    }

    // The hot path of the program: channel messages, most of the rows, are written straight
    // into out.
    void appendRows(ListingText& out, ByteSpan file, std::span<const Row> rows, bool) const override
    {
        std::string line;
        std::string scratch;
        for (const Row& row : rows) {
            if (row.kind == RowKind::ChannelVoice && row.deltaLength <= kLongestDeltaTime &&
                row.length <= kLongestChannelVoice) {
                AppendChannelVoiceLine(out, file, row);
            } else {
                AppendEscapedLine(line, scratch, file, row);
                out += line;
            }
        }
    }
};

class CsvFormatter final : public ListingFormatter {
public:
    void appendTitles(ListingText& out) const override
    {
        std::string titles;
        for (std::size_t i = 0; i < kColumnTitles.size(); ++i) {
            AppendCsvField(titles, kColumnTitles[i]);
            titles += i + 1 < kColumnTitles.size() ? "," : "\r\n";
        }
        out += titles;
    }

    void appendRows(ListingText& out, ByteSpan file, std::span<const Row> rows, bool) const override
    {
        std::string line;
        std::string cell;
        for (const Row& row : rows) {
            line.clear();
            for (std::size_t i = 0; i < kColumnCount; ++i) {
                AppendCsvField(line, CellTextIn(cell, file, row, i));
                line += i + 1 < kColumnCount ? "," : "\r\n";
            }
            out += line;
        }
    }
};

// {"columns": [...], "rows": [[six texts], ...], "outcome": {...}}
class JsonFormatter final : public ListingFormatter {
public:
    void appendTitles(ListingText& out) const override
    {
        out += "{\"columns\":";
        out += nlohmann::json(kColumnTitles).dump();
        out += ",\"rows\":[";
    }

    void appendRows(ListingText& out, ByteSpan file, std::span<const Row> rows,
                    bool startsListing) const override
    {
        std::string cell;
        bool firstRow = startsListing;
        for (const Row& row : rows) {
            nlohmann::json cells = nlohmann::json::array();
            for (std::size_t i = 0; i < kColumnCount; ++i) {
                cells.push_back(CellTextIn(cell, file, row, i));
            }
            out += firstRow ? "\n" : ",\n";
            out += cells.dump();
            firstRow = false;
        }
    }

    void appendEnd(ListingText& out, const RunOutcome& outcome, std::int32_t rows) const override
    {
        nlohmann::json end = {{"rows", rows}};
        switch (outcome.kind) {
        case RunOutcome::Kind::Complete:
            end["status"] = "complete";
            break;
        case RunOutcome::Kind::NotMidi:
            end["status"] = "stopped";
            break;
        case RunOutcome::Kind::UnknownStatus:
            end["status"] = "stopped";
            end["position"] = outcome.position;
            break;
        case RunOutcome::Kind::Failure:
            end["status"] = "failure";
            end["code"] = static_cast<int>(outcome.code);
            end["position"] = outcome.position;
            break;
        }
        if (!outcome.complete()) {
            end["message"] = MessageFor(outcome).text;
        }
        out += "\n],\"outcome\":";
        out += end.dump();
        out += "}\n";
    }
};

} // namespace

void AppendTsvEscaped(std::string& out, std::string_view text)
{
    if (std::none_of(text.begin(), text.end(), NeedsTsvEscape)) {
        out += text;
        return;
    }
    for (const char c : text) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (NeedsTsvEscape(c)) {
                out += "\\x";
                AppendHexByte(out, static_cast<std::uint8_t>(c));
            } else {
                out += c;
            }
        }
    }
}

void AppendCsvField(std::string& out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

void ListingFormatter::appendEnd(ListingText&, const RunOutcome&, std::int32_t) const {}

ListingWriter::ListingWriter(std::unique_ptr<const ListingFormatter> format, ByteSpan file,
                             std::ostream& out)
    : format_(std::move(format))
    , file_(file)
    , out_(out)
    , batch_(std::make_unique<Batch>())
{
    batch_->holdsFirstRow = true;
    // A full batch takes a chunk's length row more at most.
    rowsHere_.reserve(kBatchRows + 1);
    helpersRows_.reserve(kBatchRows + 1);
}

ListingWriter::~ListingWriter() = default;

void ListingWriter::writeTitles()
{
    ListingText titles;
    format_->appendTitles(titles);
    write(titles);
}

void ListingWriter::AddRow(const Row& row, std::size_t, const WalkPoint& before)
{
    // A batch begins where a walk can be taken up again, so a full one may take a row more.
    if (batchIsFull() && BeginsAWalk(row.kind)) {
        sendBatch();
        beginBatch(before);
    }
    ++rows_;
    Batch& batch = *batch_;
    ++batch.rowCount;
    batch.fileBytes += row.length;
    if (!batch.relistFrom) {
        rowsHere_.push_back(row);
    }
}

void ListingWriter::finish(const RunOutcome& outcome)
{
    // After a failure to make a text, the walk may have ended with no batch being filled.
    if (batch_ != nullptr) {
        sendBatch();
    }
    while (!sent_.empty()) {
        makeHereOrWaitForOldest();
        writeMadeBatches();
    }
    ListingText end;
    format_->appendEnd(end, outcome, rows_);
    write(end);
    batch_ = emptyBatch(ownSpares_);
    out_.flush();
}

bool ListingWriter::batchIsFull() const
{
    return static_cast<std::size_t>(batch_->rowCount) >= kBatchRows ||
           batch_->fileBytes >= kBatchFileBytes;
}

// The helper lists the batch again when it has little to do; otherwise it is made here.
void ListingWriter::beginBatch(const WalkPoint& point)
{
    if (!helper_.joinable()) {
        startHelper();
    }
    if (helperIsBusy()) {
        batch_ = emptyBatch(ownSpares_);
    } else {
        batch_ = emptyBatch(helpersSpares_);
        batch_->relistFrom = point;
    }
}

void ListingWriter::sendBatch()
{
    Batch& batch = *batch_;
    const bool forHelper = batch.relistFrom.has_value();
    {
        const std::lock_guard lock(mutex_);
        batch.state = forHelper ? BatchState::WaitingForHelper : BatchState::Making;
        waitingForHelper_ += forHelper ? 1 : 0;
        sent_.push_back(std::move(batch_));
    }
    if (forHelper) {
        batchesChanged_.notify_all();
    } else {
        makeAndMark(batch, rowsHere_);
    }
    writeMadeBatches();
    while (sent_.size() >= kMostBatchesHeld) {
        makeHereOrWaitForOldest();
        writeMadeBatches();
    }
}

// Without a helper, every batch is made here.
bool ListingWriter::helperIsBusy()
{
    const std::lock_guard lock(mutex_);
    return !helper_.joinable() || waitingForHelper_ >= kHelperBacklog;
}

void ListingWriter::startHelper()
{
    try {
        helper_ = std::jthread([this](const std::stop_token& stop) { helpWithTexts(stop); });
    } catch (const std::system_error&) {
        // No thread to be had: the walk's thread makes every text itself.
    }
}

void ListingWriter::helpWithTexts(const std::stop_token& stop)
{
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
        makeAndMark(*batch, helpersRows_);
    }
}

void ListingWriter::stayAwakeForABatch(const std::stop_token& stop) const
{
    const auto until = std::chrono::steady_clock::now() + kHelperStaysAwake;
    while (waitingForHelper_.load(std::memory_order_relaxed) == 0 && !stop.stop_requested() &&
           std::chrono::steady_clock::now() < until) {
    }
}

// The oldest batch that waits for the helper, now being made; the caller holds the lock.
ListingWriter::Batch* ListingWriter::takeWaitingBatch()
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
void ListingWriter::makeHereOrWaitForOldest()
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
    makeAndMark(*batch, rowsHere_);
}

// The batch's rows are in rows, or are listed again into it; they are not needed afterwards.
void ListingWriter::makeText(Batch& batch, std::vector<Row>& rows) const
{
    if (batch.relistFrom) {
        RowCollector sink(rows);
        BasicEventWalk<RowCollector>(file_, sink).relist(*batch.relistFrom, batch.rowCount);
    }
    batch.text.reserve(rows.size() * kTypicalRowText + 2 * batch.fileBytes);
    format_->appendRows(batch.text, file_, rows, batch.holdsFirstRow);
    rows.clear();
}

// What making the text throws is kept with the batch and thrown when it is written, in order,
// so that no batch is left unmade for the others to wait on.
void ListingWriter::makeAndMark(Batch& batch, std::vector<Row>& rows)
{
    try {
        makeText(batch, rows);
    } catch (...) {
        rows.clear();
        batch.failure = std::current_exception();
    }
    markMade(batch);
}

void ListingWriter::markMade(Batch& batch)
{
    {
        const std::lock_guard lock(mutex_);
        batch.state = BatchState::Made;
    }
    batchesChanged_.notify_all();
}

// The made batches at the front, in order; a batch made early waits for those before it.
void ListingWriter::writeMadeBatches()
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
        if (oldest->failure) {
            std::rethrow_exception(oldest->failure);
        }
        write(oldest->text);
        // Back where it came from, so that neither kind of batch is made anew while spares of
        // the other pile up.
        (oldest->relistFrom ? helpersSpares_ : ownSpares_).push_back(std::move(oldest));
    }
}

std::unique_ptr<ListingWriter::Batch> ListingWriter::emptyBatch(Batches& spares)
{
    if (spares.empty()) {
        auto batch = std::make_unique<Batch>();
        if (textRoomsGiven_ < kTextRooms) {
            if (textRooms_.room().empty()) {
                textRooms_.makeRoom(kTextRooms * kTextRoom);
            }
            batch->text =
                ListingText(textRooms_.room().subspan(textRoomsGiven_++ * kTextRoom, kTextRoom));
        }
        return batch;
    }
    std::unique_ptr<Batch> batch = std::move(spares.back());
    spares.pop_back();
    batch->relistFrom.reset();
    batch->rowCount = 0;
    batch->fileBytes = 0;
    batch->holdsFirstRow = false;
    batch->text.clear();
    batch->state = BatchState::Filling;
    batch->failure = nullptr;
    return batch;
}

void ListingWriter::write(const ListingText& text)
{
    out_.write(text.view().data(), static_cast<std::streamsize>(text.size()));
}

std::unique_ptr<ListingWriter> MakeListingWriter(ListingFormat format, ByteSpan file,
                                                 std::ostream& out)
{
    switch (format) {
    case ListingFormat::Csv:
        return std::make_unique<ListingWriter>(std::make_unique<CsvFormatter>(), file, out);
    case ListingFormat::Json:
        return std::make_unique<ListingWriter>(std::make_unique<JsonFormatter>(), file, out);
    case ListingFormat::Tsv:
        break;
    }
    return std::make_unique<ListingWriter>(std::make_unique<TsvFormatter>(), file, out);
}

} // namespace tracklens
