#include "cli/ListingWriter.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "engine/CellText.h"
#include "engine/Conversions.h"

namespace tracklens {

namespace {

constexpr std::size_t kFlushSize = 1 << 16;

bool NeedsTsvEscape(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '\\';
}

class TsvWriter final : public ListingWriter {
public:
    using ListingWriter::ListingWriter;

    void writeTitles() override
    {
        for (std::size_t i = 0; i < kColumnTitles.size(); ++i) {
            buffer() += kColumnTitles[i];
            buffer() += i + 1 < kColumnTitles.size() ? '\t' : '\n';
        }
    }

protected:
    void appendRow() override
    {
        std::string& out = buffer();
        for (std::size_t i = 0; i < kColumnCount; ++i) {
            AppendTsvEscaped(out, cell(i));
            out += i + 1 < kColumnCount ? '\t' : '\n';
        }
    }
};

class CsvWriter final : public ListingWriter {
public:
    using ListingWriter::ListingWriter;

    void writeTitles() override
    {
        for (std::size_t i = 0; i < kColumnTitles.size(); ++i) {
            AppendCsvField(buffer(), kColumnTitles[i]);
            buffer() += i + 1 < kColumnTitles.size() ? "," : "\r\n";
        }
    }

protected:
    void appendRow() override
    {
        std::string& out = buffer();
        for (std::size_t i = 0; i < kColumnCount; ++i) {
            AppendCsvField(out, cell(i));
            out += i + 1 < kColumnCount ? "," : "\r\n";
        }
    }
};

// {"columns": [...], "rows": [[six texts], ...], "outcome": {...}}
class JsonWriter final : public ListingWriter {
public:
    using ListingWriter::ListingWriter;

    void writeTitles() override
    {
        buffer() += "{\"columns\":";
        buffer() += nlohmann::json(kColumnTitles).dump();
        buffer() += ",\"rows\":[";
    }

protected:
    void appendRow() override
    {
        nlohmann::json row = nlohmann::json::array();
        for (std::size_t i = 0; i < kColumnCount; ++i) {
            row.push_back(cell(i));
        }
        buffer() += first_ ? "\n" : ",\n";
        buffer() += row.dump();
        first_ = false;
    }

    void appendEnd(const RunOutcome& outcome, std::int32_t rows) override
    {
        nlohmann::json end = {{"rows", rows}};
        switch (outcome.kind) {
        case RunOutcome::Kind::Complete:
            end["status"] = "complete";
            break;
        case RunOutcome::Kind::NotMidi:
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
        buffer() += "\n],\"outcome\":";
        buffer() += end.dump();
        buffer() += "}\n";
    }

private:
    bool first_ = true;
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

void ListingWriter::AddRow(const Row& row)
{
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        cells_[i].clear();
        AppendCellText(cells_[i], file_, row, static_cast<Column>(i));
    }
    appendRow();
    ++rows_;
    flushIfFull();
}

void ListingWriter::appendEnd(const RunOutcome&, std::int32_t) {}

void ListingWriter::finish(const RunOutcome& outcome)
{
    appendEnd(outcome, rows_);
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
    out_.flush();
}

void ListingWriter::flushIfFull()
{
    if (buffer_.size() >= kFlushSize) {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
}

std::unique_ptr<ListingWriter> MakeListingWriter(ListingFormat format, ByteSpan file,
                                                 std::ostream& out)
{
    switch (format) {
    case ListingFormat::Csv:
        return std::make_unique<CsvWriter>(file, out);
    case ListingFormat::Json:
        return std::make_unique<JsonWriter>(file, out);
    case ListingFormat::Tsv:
        break;
    }
    return std::make_unique<TsvWriter>(file, out);
}

} // namespace tracklens
