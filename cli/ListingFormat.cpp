#include "cli/ListingFormat.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <type_traits>
#include <utility>

#include "engine/CellText.h"
#include "engine/Conversions.h"
#include "engine/EventWalkSteps.h"
#include "engine/TextCursor.h"

namespace tracklens {

namespace {

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

// The tests of a character are objects rather than functions, so that the searches that take
// them inline them.
constexpr auto NeedsTsvEscape = [](char c) {
    return kTsvEscapes[static_cast<unsigned char>(c)];
};

constexpr auto IsControl = [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
};

// A control character as TSV writes it: \t, \n, \r, or \x and two digits.
void AppendControlEscaped(std::string& out, char c)
{
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
    default:
        out += "\\x";
        out += HexByte(static_cast<std::uint8_t>(c));
        break;
    }
}

constexpr auto NeedsCsvQuotes = [](char c) {
    return c == ',' || c == '"';
};

constexpr auto NeedsCsvEscape = [](char c) {
    return NeedsCsvQuotes(c) || IsControl(c);
};

constexpr auto NeedsJsonEscape = [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\';
};

// Whether a CSV field made of these bytes' texts must be quoted: hexadecimal and every encoding
// of a text write a comma, a quote or a control character only for the byte itself (no byte
// below 0x40 is part of a longer character in UTF-8 or Shift-JIS).
bool CsvQuotesBytes(const ShownBytes& shown)
{
    return shown.form == ShownBytes::Form::Text &&
           std::any_of(shown.bytes.begin(), shown.bytes.end(),
                       [](std::uint8_t byte) { return NeedsCsvQuotes(static_cast<char>(byte)); });
}

// A cell's text as written in a line, before it is looked at for what must be escaped. Left
// uninitialised until written: clearing a line's worth of them for every row costs more than
// writing the row's numbers.
struct WrittenCell {
    const char* begin;
    const char* end;

    std::string_view text() const { return {begin, static_cast<std::size_t>(end - begin)}; }
};

// What tells the three formats' lines apart. Each says which lines may hold a cell to escape,
// and which cells must be written again with their escapes; the program's own words never need
// any in TSV and JSON, which look only at the lines that hold a text of the file.
struct TsvSyntax {
    static constexpr std::string_view kTitlesOpen = "";
    static constexpr std::string_view kTitlesEnd = "\n";
    static constexpr std::string_view kCellOpen = "";
    static constexpr std::string_view kCellClose = "";
    static constexpr std::string_view kSeparator = "\t";
    static constexpr std::string_view kLineEnd = "\n";

    static std::string_view lineStart(bool) { return {}; }
    static bool quotesShownBytes(const ShownBytes&) { return false; }
    static void appendPiece(std::string& out, std::string_view piece, bool)
    {
        AppendTsvEscaped(out, piece);
    }

    static bool mayNeedEscape(const Row&, const TextCursor& cursor)
    {
        return cursor.wroteFileText();
    }
    static bool needsEscape(std::string_view cell)
    {
        return std::any_of(cell.begin(), cell.end(), NeedsTsvEscape);
    }
    static void appendEscaped(std::string& out, std::string_view cell)
    {
        AppendTsvEscaped(out, cell);
    }
};

struct CsvSyntax {
    static constexpr std::string_view kTitlesOpen = "";
    static constexpr std::string_view kTitlesEnd = "\r\n";
    static constexpr std::string_view kCellOpen = "";
    static constexpr std::string_view kCellClose = "";
    static constexpr std::string_view kSeparator = ",";
    static constexpr std::string_view kLineEnd = "\r\n";

    static std::string_view lineStart(bool) { return {}; }
    static bool quotesShownBytes(const ShownBytes& shown) { return CsvQuotesBytes(shown); }
    // A piece of a field: its control bytes escaped, its quotes doubled where it is quoted.
    static void appendPiece(std::string& out, std::string_view piece, bool quoted)
    {
        for (const char c : piece) {
            if (IsControl(c)) {
                AppendControlEscaped(out, c);
            } else {
                out += c;
                out += quoted && c == '"' ? "\"" : "";
            }
        }
    }

    // Commas are among the program's own words ("25 fps, 40 ticks/frame"), though never in a
    // channel message's: the cells of every other row are looked at.
    static bool mayNeedEscape(const Row& row, const TextCursor& cursor)
    {
        return row.kind != RowKind::ChannelVoice || cursor.wroteFileText();
    }
    static bool needsEscape(std::string_view cell)
    {
        return std::any_of(cell.begin(), cell.end(), NeedsCsvEscape);
    }
    static void appendEscaped(std::string& out, std::string_view cell)
    {
        AppendCsvField(out, cell);
    }
};

// {"columns": [...], "rows": [[the cells], ...], then the outcome (AppendEnd)}
struct JsonSyntax {
    static constexpr std::string_view kTitlesOpen = "{\"columns\":[";
    static constexpr std::string_view kTitlesEnd = "],\"rows\":[";
    static constexpr std::string_view kCellOpen = "\"";
    static constexpr std::string_view kCellClose = "\"";
    static constexpr std::string_view kSeparator = ",";
    static constexpr std::string_view kLineEnd = "]";

    // Each line after a line break, the lines separated by commas.
    static std::string_view lineStart(bool firstOfListing)
    {
        return firstOfListing ? "\n[" : ",\n[";
    }
    static bool quotesShownBytes(const ShownBytes&) { return true; }
    // A piece of a string as the JSON library writes it, without the quotes around the string.
    static void appendPiece(std::string& out, std::string_view piece, bool)
    {
        const std::string escaped = nlohmann::json(piece).dump();
        out.append(escaped, 1, escaped.size() - 2);
    }

    static bool mayNeedEscape(const Row&, const TextCursor& cursor)
    {
        return cursor.wroteFileText();
    }
    static bool needsEscape(std::string_view cell)
    {
        return std::any_of(cell.begin(), cell.end(), NeedsJsonEscape);
    }
    // The whole string, quotes included, as the JSON library writes it.
    static void appendEscaped(std::string& out, std::string_view cell)
    {
        out += nlohmann::json(cell).dump();
    }
};

// Calls write with the syntax of the format.
template <typename Write>
void WithSyntax(ListingFormat format, Write write)
{
    switch (format) {
    case ListingFormat::Tsv:
        write(TsvSyntax{});
        break;
    case ListingFormat::Csv:
        write(CsvSyntax{});
        break;
    case ListingFormat::Json:
        write(JsonSyntax{});
        break;
    }
}

// No line is longer than this beside its cells: the syntax around each cell and the line's.
constexpr std::size_t kSyntaxRoomPerCell = 4;
constexpr std::size_t kSyntaxRoomPerLine = 8;

// A line written again cell by cell, each cell escaped where it needs it.
template <typename Syntax>
void AppendEscapedLine(ListingText& out, ByteSpan file, const CellContext& context, const Row& row,
                       std::span<const Column> columns, std::string_view lineStart)
{
    std::string line(lineStart);
    std::string cell;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i != 0) {
            line += Syntax::kSeparator;
        }
        cell = CellText(file, row, columns[i], context);
        if (Syntax::needsEscape(cell)) {
            Syntax::appendEscaped(line, cell);
        } else {
            line += Syntax::kCellOpen;
            line += cell;
            line += Syntax::kCellClose;
        }
    }
    line += Syntax::kLineEnd;
    out += line;
}

// A cell written straight into a line, its place kept for a look at what it holds.
template <typename Syntax>
[[gnu::always_inline]] inline void
WriteCell(TextCursor& cursor, ByteSpan file, const CellContext& context, const Row& row,
          Column column, std::size_t index, std::span<WrittenCell> cells)
{
    if (index != 0) {
        cursor += Syntax::kSeparator;
    }
    cursor += Syntax::kCellOpen;
    cells[index].begin = cursor.at();
    AppendCell(cursor, file, row, column, context);
    cells[index].end = cursor.at();
    cursor += Syntax::kCellClose;
}

// The columns of a listing as the caller chose them.
struct ChosenColumns {
    std::span<const Column> columns;

    std::size_t size() const { return columns.size(); }
    std::size_t room(ByteSpan file, const Row& row) const
    {
        std::size_t room = 0;
        for (const Column column : columns) {
            room += CellRoom(file, row, column);
        }
        return room;
    }
    template <typename Syntax>
    void write(TextCursor& cursor, ByteSpan file, const CellContext& context, const Row& row,
               std::span<WrittenCell> cells) const
    {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            WriteCell<Syntax>(cursor, file, context, row, columns[i], i, cells);
        }
    }
};

// Columns known when compiled, so that each cell's writer is chosen then: the six of every
// listing but those that choose others, and all of them.
template <const auto& kColumns>
struct KnownColumns {
    static constexpr std::size_t size() { return kColumns.size(); }
    [[gnu::always_inline]] static std::size_t room(ByteSpan file, const Row& row)
    {
        return roomOfEach(file, row, std::make_index_sequence<size()>());
    }
    template <std::size_t... I>
    [[gnu::always_inline]] static std::size_t roomOfEach(ByteSpan file, const Row& row,
                                                         std::index_sequence<I...>)
    {
        return (CellRoom(file, row, kColumns[I]) + ...);
    }
    template <typename Syntax>
    [[gnu::always_inline]] void write(TextCursor& cursor, ByteSpan file, const CellContext& context,
                                      const Row& row, std::span<WrittenCell> cells) const
    {
        writeEach<Syntax>(cursor, file, context, row, cells, std::make_index_sequence<size()>());
    }
    template <typename Syntax, std::size_t... I>
    [[gnu::always_inline]] void
    writeEach(TextCursor& cursor, ByteSpan file, const CellContext& context, const Row& row,
              std::span<WrittenCell> cells, std::index_sequence<I...>) const
    {
        (WriteCell<Syntax>(cursor, file, context, row, kColumns[I], I, cells), ...);
    }
};

// The line of a row, its cells written straight into the text; only a line with a cell that must
// be escaped, which is rare, is written again.
template <typename Syntax, typename Columns>
[[gnu::always_inline]] inline void
AppendLine(ListingText& out, ByteSpan file, const CellContext& context, const Row& row,
           const Columns& columns, std::span<const Column> chosen, std::string_view lineStart)
{
    const std::size_t room = kSyntaxRoomPerLine + lineStart.size() + columns.room(file, row) +
                             columns.size() * kSyntaxRoomPerCell;
    char* const begin = out.room(room);
    TextCursor cursor(begin, begin + room);
    std::array<WrittenCell, kAllColumnCount> cells;
    cursor += lineStart;
    columns.template write<Syntax>(cursor, file, context, row, cells);
    cursor += Syntax::kLineEnd;
    if (!Syntax::mayNeedEscape(row, cursor)) {
        out.wrote(cursor.at());
        return;
    }
    const bool escape =
        std::any_of(cells.begin(), cells.begin() + columns.size(),
                    [](const auto& cell) { return Syntax::needsEscape(cell.text()); });
    if (escape) {
        AppendEscapedLine<Syntax>(out, file, context, row, chosen, lineStart);
    } else {
        out.wrote(cursor.at());
    }
}

template <std::size_t N>
bool AreThese(std::span<const Column> columns, const std::array<Column, N>& these)
{
    return std::equal(columns.begin(), columns.end(), these.begin(), these.end());
}

template <typename Syntax, typename Columns>
void AppendLinesOf(ListingText& out, ByteSpan file, const CellContext& context,
                   std::span<const Row> rows, const Columns& columns,
                   std::span<const Column> chosen, bool startsListing)
{
    bool first = startsListing;
    for (const Row& row : rows) {
        AppendLine<Syntax>(out, file, context, row, columns, chosen, Syntax::lineStart(first));
        first = false;
    }
}

// Calls write with the syntax of the format and the columns, known when compiled where they can be.
template <typename Write>
void WithSyntaxAndColumns(ListingFormat format, std::span<const Column> columns, Write write)
{
    WithSyntax(format, [&](auto syntax) {
        if (AreThese(columns, kListingColumns)) {
            write(syntax, KnownColumns<kListingColumns>{});
        } else if (AreThese(columns, kAllColumns)) {
            write(syntax, KnownColumns<kAllColumns>{});
        } else {
            write(syntax, ChosenColumns{columns});
        }
    });
}

// Writes the line of each row as a walk lists it.
template <typename Syntax, typename Columns>
class LineWriter final : public RowSink {
public:
    static constexpr bool kHasItsOwnWalk = true;

    LineWriter(ListingText& out, ByteSpan file, const CellContext& context, const Columns& columns,
               std::span<const Column> chosen, bool startsListing)
        : out_(out)
        , file_(file)
        , context_(context)
        , columns_(columns)
        , chosen_(chosen)
        , first_(startsListing)
    {
    }

    void AddRow(const Row& row, std::size_t, const WalkPoint&) override
    {
        AppendLine<Syntax>(out_, file_, context_, row, columns_, chosen_,
                           Syntax::lineStart(first_));
        first_ = false;
    }

private:
    ListingText& out_;
    ByteSpan file_;
    const CellContext& context_;
    Columns columns_;
    std::span<const Column> chosen_;
    bool first_;
};

// The context of a batch's lines: rows that come in order are placed with hints of their own.
CellContext PlacingInOrder(const CellContext& context, TimeMaps::Hints& hints)
{
    CellContext placing = context;
    placing.placingHints = &hints;
    return placing;
}

} // namespace

void AppendTitles(ListingText& out, ListingFormat format, std::span<const Column> columns)
{
    WithSyntax(format, [&](auto syntax) {
        using Syntax = decltype(syntax);
        std::string titles(Syntax::kTitlesOpen);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            titles += i != 0 ? Syntax::kSeparator : "";
            Syntax::appendEscaped(titles, kColumnTitles[static_cast<std::size_t>(columns[i])]);
        }
        titles += Syntax::kTitlesEnd;
        out += titles;
    });
}

void AppendRows(ListingText& out, ListingFormat format, ByteSpan file, const CellContext& context,
                std::span<const Row> rows, std::span<const Column> columns, bool startsListing)
{
    TimeMaps::Hints hints;
    const CellContext placing = PlacingInOrder(context, hints);
    WithSyntaxAndColumns(format, columns, [&](auto syntax, const auto& known) {
        AppendLinesOf<decltype(syntax)>(out, file, placing, rows, known, columns, startsListing);
    });
}

std::int32_t AppendRowsListedAgain(ListingText& out, ListingFormat format, ByteSpan file,
                                   const CellContext& context, const WalkPoint& from,
                                   std::int32_t rows, std::span<const Column> columns,
                                   bool startsListing)
{
    TimeMaps::Hints hints;
    const CellContext placing = PlacingInOrder(context, hints);
    std::int32_t listed = 0;
    WithSyntaxAndColumns(format, columns, [&](auto syntax, const auto& known) {
        using Writer = LineWriter<decltype(syntax), std::remove_cvref_t<decltype(known)>>;
        Writer writer(out, file, placing, known, columns, startsListing);
        BasicEventWalk<Writer> walk(file, writer);
        listed = walk.relist(from, rows);
    });
    return listed;
}

// {"rows": N, "status": ..., and for a run that did not end well its message}
void AppendEnd(ListingText& out, ListingFormat format, const RunOutcome& outcome, std::int32_t rows)
{
    if (format != ListingFormat::Json) {
        return;
    }
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

namespace {

constexpr std::size_t kDirectBuffer = std::size_t{1} << 16;
constexpr std::size_t kBytesPerPiece = kSmallBatches ? 16 : std::size_t{1} << 12;

} // namespace

DirectLines::DirectLines(ListingFormat format, std::span<const Column> columns,
                         const CellContext& context, std::ostream& out)
    : format_(format)
    , columns_(columns.begin(), columns.end())
    , context_(context)
    , out_(out)
    , piece_(ShownBytesRoom(kBytesPerPiece) + kPieceWidth, '\0')
{
    buffer_.reserve(kDirectBuffer + kDirectBuffer / 2);
}

void DirectLines::write(ByteSpan file, const Row& row, bool firstOfListing)
{
    WithSyntax(format_,
               [&](auto syntax) { writeLine<decltype(syntax)>(file, row, firstOfListing); });
}

template <typename Syntax>
void DirectLines::writeLine(ByteSpan file, const Row& row, bool firstOfListing)
{
    buffer_.assign(Syntax::lineStart(firstOfListing)); // nothing of a line that failed before
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        buffer_ += i != 0 ? Syntax::kSeparator : "";
        appendCell<Syntax>(file, row, columns_[i]);
    }
    buffer_ += Syntax::kLineEnd;
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
}

// A cell's text, its shown bytes a piece at a time, each escaped as a whole cell would be.
template <typename Syntax>
void DirectLines::appendCell(ByteSpan file, const Row& row, Column column)
{
    const std::optional<ShownBytes> shown = BytesShownBy(file, row, column, context_);
    if (!shown || shown->bytes.size() <= kBytesPerPiece) {
        Syntax::appendEscaped(buffer_, CellText(file, row, column, context_));
        return;
    }
    const bool quoted = Syntax::quotesShownBytes(*shown);
    buffer_ += quoted ? "\"" : "";
    if (shown->leadingStatus) {
        Syntax::appendPiece(buffer_, HexByte(*shown->leadingStatus), quoted);
    }
    // A piece that ends in the middle of a character leaves it to the next piece.
    for (std::size_t at = 0; at < shown->bytes.size();) {
        TextCursor cursor(piece_.data(), piece_.data() + piece_.size());
        const std::size_t size = std::min(kBytesPerPiece, shown->bytes.size() - at);
        at += AppendShownBytes(cursor, *shown, shown->bytes.subspan(at, size), context_,
                               at + size == shown->bytes.size());
        Syntax::appendPiece(
            buffer_,
            std::string_view(piece_.data(), static_cast<std::size_t>(cursor.at() - piece_.data())),
            quoted);
        flushIfFull();
    }
    buffer_ += quoted ? "\"" : "";
}

void DirectLines::flushIfFull()
{
    if (buffer_.size() >= kDirectBuffer) {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
}

void AppendTsvEscaped(std::string& out, std::string_view text)
{
    if (std::none_of(text.begin(), text.end(), NeedsTsvEscape)) {
        out += text;
        return;
    }
    for (const char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (IsControl(c)) {
            AppendControlEscaped(out, c);
        } else {
            out += c;
        }
    }
}

void AppendCsvField(std::string& out, std::string_view text)
{
    if (std::none_of(text.begin(), text.end(), NeedsCsvEscape)) {
        out += text;
        return;
    }
    const bool quoted = std::any_of(text.begin(), text.end(), NeedsCsvQuotes);
    if (quoted) {
        out += '"';
    }
    for (const char c : text) {
        if (IsControl(c)) {
            AppendControlEscaped(out, c);
            continue;
        }
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    if (quoted) {
        out += '"';
    }
}

} // namespace tracklens
