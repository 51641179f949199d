#include "cli/ListingWriter.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <system_error>
#include <utility>

#include "engine/CellText.h"
#include "engine/Conversions.h"
#include "engine/TextCursor.h"

namespace tracklens {

namespace {

// A batch of rows is made text on a worker thread once it holds this many rows or covers this
// many bytes of the file; a few batches are in flight at most, so memory stays small.
constexpr std::size_t kBatchRows = 1 << 15;
constexpr std::size_t kBatchFileBytes = 1 << 19;
constexpr std::size_t kBatchesInFlight = 2;
// Enough for the line of a typical note, so that a batch's text is rarely reallocated.
constexpr std::size_t kTypicalRowText = 48;

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
    TextCursor cursor(out.room(kLongestChannelVoiceLine));
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
    , batch_(emptyBatch())
{
    batch_->holdsFirstRow = true;
}

ListingWriter::~ListingWriter() = default;

void ListingWriter::writeTitles()
{
    ListingText titles;
    format_->appendTitles(titles);
    write(titles);
}

void ListingWriter::AddRow(const Row& row)
{
    batch_->rows.push_back(row);
    batch_->fileBytes += row.length;
    ++rows_;
    if (batch_->rows.size() >= kBatchRows || batch_->fileBytes >= kBatchFileBytes) {
        sendBatch();
    }
}

void ListingWriter::finish(const RunOutcome& outcome)
{
    while (!batchesInFlight_.empty()) {
        writeOldestBatch();
    }
    makeText(*batch_);
    format_->appendEnd(batch_->text, outcome, rows_);
    write(batch_->text);
    batch_ = emptyBatch();
    out_.flush();
}

void ListingWriter::sendBatch()
{
    if (batchesInFlight_.size() >= kBatchesInFlight) {
        writeOldestBatch();
    }
    const std::shared_ptr<Batch> batch = std::exchange(batch_, emptyBatch());
    try {
        batchesInFlight_.push_back(
            {batch, std::async(std::launch::async, [this, batch] { makeText(*batch); })});
    } catch (const std::system_error&) {
        // No thread to be had: this batch is written here, after the ones before it.
        while (!batchesInFlight_.empty()) {
            writeOldestBatch();
        }
        makeText(*batch);
        write(batch->text);
    }
}

void ListingWriter::writeOldestBatch()
{
    BatchInFlight oldest = std::move(batchesInFlight_.front());
    batchesInFlight_.pop_front();
    oldest.textMade.get();
    write(oldest.batch->text);
    spareBatches_.push_back(std::move(oldest.batch));
}

void ListingWriter::makeText(Batch& batch) const
{
    batch.text.reserve(batch.rows.size() * kTypicalRowText + 2 * batch.fileBytes);
    format_->appendRows(batch.text, file_, batch.rows, batch.holdsFirstRow);
}

std::shared_ptr<ListingWriter::Batch> ListingWriter::emptyBatch()
{
    if (spareBatches_.empty()) {
        auto batch = std::make_shared<Batch>();
        batch->rows.reserve(kBatchRows);
        return batch;
    }
    std::shared_ptr<Batch> batch = std::move(spareBatches_.back());
    spareBatches_.pop_back();
    batch->rows.clear();
    batch->fileBytes = 0;
    batch->holdsFirstRow = false;
    batch->text.clear();
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
