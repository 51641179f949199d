#include "tests/reliability/ListingChecks.h"

#include <algorithm>
#include <sstream>

#include "cli/ListingWriter.h"
#include "engine/CellText.h"
#include "engine/Conversions.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"
#include "tests/support/Listing.h"

namespace tracklens::testing {

namespace {

constexpr std::string_view kNotMidiText =
    "Il file non \xC3\xA8 un Midifile standard !\r\nMThd mancante";

bool StartsWithHeaderTag(ByteSpan file)
{
    return file.size() >= 4 && file[0] == 'M' && file[1] == 'T' && file[2] == 'h' && file[3] == 'd';
}

std::uint32_t HeaderLength(ByteSpan file)
{
    return std::uint32_t{file[4]} << 24 | std::uint32_t{file[5]} << 16 |
           std::uint32_t{file[6]} << 8 | std::uint32_t{file[7]};
}

bool IsKnownCode(FailureCode code)
{
    switch (code) {
    case FailureCode::MissingByte:
    case FailureCode::OutOfRange:
    case FailureCode::OutOfMemory:
    case FailureCode::NotInTable:
    case FailureCode::ZeroTempo:
        return true;
    }
    return false;
}

bool IsUnknownStatus(std::uint8_t status)
{
    return status == 0x00 || status == 0xF4 || status == 0xF5 || status == 0xF9 || status == 0xFD;
}

std::string Padded(std::string text, Column column)
{
    const std::size_t width = FixedWidth(column);
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

class Problems {
public:
    template <typename... Parts>
    void add(const Parts&... parts)
    {
        if (count_++ < kShown) {
            ((out_ << parts), ...);
            out_ << '\n';
        }
    }

    std::string text() const
    {
        std::string all = out_.str();
        if (count_ > kShown) {
            all += "... and " + std::to_string(count_ - kShown) + " more\n";
        }
        return all;
    }

private:
    static constexpr int kShown = 8;
    std::ostringstream out_;
    int count_ = 0;
};

void CheckCells(Problems& problems, ByteSpan file, const CellContext& context, const Row& row,
                std::size_t index)
{
    const bool chunkRow = IsChunkRow(row.kind);
    std::string texts[kAllColumnCount];
    for (std::size_t column = 0; column < kAllColumnCount; ++column) {
        texts[column] = CellText(file, row, static_cast<Column>(column), context);
        if (!IsValidUtf8(texts[column])) {
            problems.add("row ", index, " column ", column, ": not UTF-8");
        }
        const std::string stored = StoredCellText(file, row, static_cast<Column>(column), context);
        if (stored != Padded(texts[column], static_cast<Column>(column))) {
            problems.add("row ", index, " column ", column, ": stored text '", stored,
                         "' is not the text filled to its width");
        }
    }

    std::string tick;
    std::string delta;
    if (!chunkRow) {
        tick = std::to_string(row.absTick);
        delta = HexBytes(file.subspan(row.offset - row.deltaLength, row.deltaLength));
    }
    const std::string event = (row.running ? HexByte(row.status) : std::string()) +
                              HexBytes(file.subspan(row.offset, row.length));
    const std::string channel =
        row.kind == RowKind::ChannelVoice ? std::to_string((row.status & 0x0F) + 1) : "";

    if (texts[0] != tick) {
        problems.add("row ", index, ": Abs Tick '", texts[0], "', expected '", tick, "'");
    }
    if (texts[1] != delta) {
        problems.add("row ", index, ": DTime '", texts[1], "', expected '", delta, "'");
    }
    if (texts[2] != event || event.empty()) {
        problems.add("row ", index, ": Event '", texts[2], "', expected '", event, "'");
    }
    if (texts[3] != channel) {
        problems.add("row ", index, ": Ch '", texts[3], "', expected '", channel, "'");
    }
    if (texts[4].empty()) {
        problems.add("row ", index, ": empty Description");
    }
    const std::string track = row.track == 0 ? "" : std::to_string(row.track);
    if (texts[static_cast<std::size_t>(Column::Track)] != track) {
        problems.add("row ", index, ": Track '", texts[6], "', expected '", track, "'");
    }
    const bool placedInTime = !texts[static_cast<std::size_t>(Column::Time)].empty() ||
                              !texts[static_cast<std::size_t>(Column::Bar)].empty();
    if (chunkRow && placedInTime) {
        problems.add("row ", index, ": a time or bar on a chunk's row");
    }
}

} // namespace

ExactBuffer::ExactBuffer(const std::vector<std::uint8_t>& bytes)
    : data_(new std::uint8_t[bytes.size()])
    , size_(bytes.size())
{
    std::copy(bytes.begin(), bytes.end(), data_.get());
}

bool IsValidUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t follow = 0;
        if (lead < 0x80) {
            follow = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
        } else {
            return false; // the listing never needs four-byte sequences
        }
        for (std::size_t k = 1; k <= follow; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += follow + 1;
    }
    return true;
}

bool SameOutcome(const RunOutcome& a, const RunOutcome& b)
{
    return a.kind == b.kind && a.position == b.position && a.status == b.status &&
           (a.kind != RunOutcome::Kind::Failure || a.code == b.code);
}

std::string Describe(const RunOutcome& outcome)
{
    switch (outcome.kind) {
    case RunOutcome::Kind::Complete:
        return "complete";
    case RunOutcome::Kind::NotMidi:
        return "not MIDI";
    case RunOutcome::Kind::UnknownStatus:
        return "unknown status " + HexByte(outcome.status) + " at " +
               std::to_string(outcome.position);
    case RunOutcome::Kind::Failure:
        return "failure " + std::to_string(static_cast<int>(outcome.code)) + " at " +
               std::to_string(outcome.position);
    }
    return "an outcome of no known kind";
}

std::string OutcomeProblems(ByteSpan file, const RunOutcome& outcome)
{
    Problems problems;
    const OutcomeMessage message = MessageFor(outcome);
    const bool midi = StartsWithHeaderTag(file);
    const std::uint64_t position = outcome.position;
    switch (outcome.kind) {
    case RunOutcome::Kind::Complete:
        if (!midi) {
            problems.add("a file without MThd listed as complete");
        }
        if (!message.text.empty()) {
            problems.add("a message for a complete listing: ", message.text);
        }
        break;
    case RunOutcome::Kind::NotMidi:
        if (midi) {
            problems.add("a file beginning with MThd taken for not MIDI");
        }
        if (message.text != kNotMidiText || message.icon != MessageIcon::Exclamation) {
            problems.add("not-MIDI message '", message.text, "'");
        }
        break;
    case RunOutcome::Kind::UnknownStatus: {
        if (!IsUnknownStatus(outcome.status)) {
            problems.add("status ", HexByte(outcome.status), " reported as unknown");
        }
        if (position < 1 || position > file.size()) {
            problems.add("unknown status at position ", position, " outside the file");
            break;
        }
        const std::uint8_t byte = file[position - 1];
        if (byte != outcome.status && !(outcome.status == 0 && byte < 0x80)) {
            problems.add("unknown status ", HexByte(outcome.status), " but the byte at ", position,
                         " is ", HexByte(byte));
        }
        std::string expected = "Pos." + std::to_string(position) + "\r\nStatus " +
                               std::to_string(outcome.status) + " (" + HexByte(outcome.status) +
                               ") - Valore sconosciuto";
        if (message.text != expected || message.icon != MessageIcon::Exclamation) {
            problems.add("unknown-status message '", message.text, "', expected '", expected, "'");
        }
        break;
    }
    case RunOutcome::Kind::Failure: {
        if (!IsKnownCode(outcome.code)) {
            problems.add("failure code ", static_cast<int>(outcome.code));
            break;
        }
        const std::string description = FailureDescription(outcome.code, position);
        const std::string expected =
            "Errore " + std::to_string(static_cast<int>(outcome.code)) + "\r\n" + description;
        if (message.text != expected || message.icon != MessageIcon::Critical ||
            description.empty() || description[0] == ' ') {
            problems.add("failure message '", message.text, "'");
        }
        if (position < 1 || position > file.size() + 1) {
            problems.add("failure at position ", position, " beyond the byte after the file");
            break;
        }
        if (outcome.code == FailureCode::NotInTable &&
            (position > file.size() || file[position - 1] < 0x80)) {
            problems.add("failure 9 at position ", position, " not on a byte of 128 or more");
        }
        if (outcome.code == FailureCode::ZeroTempo &&
            (position > file.size() || file[position - 1] != 0xFF)) {
            problems.add("failure 11 at position ", position, " not on a meta event");
        }
        if (!midi) {
            problems.add("a file without MThd failed instead of being refused");
        }
        break;
    }
    default:
        problems.add("an outcome of no known kind");
        break;
    }
    return problems.text();
}

std::string RowProblems(ByteSpan file, const CellContext& context, const std::vector<Row>& rows)
{
    Problems problems;
    std::uint32_t tracks = 0;
    const bool listsHeader =
        StartsWithHeaderTag(file) && file.size() >= 14 && HeaderLength(file) >= 6;
    if (!listsHeader && !rows.empty()) {
        problems.add(rows.size(), " rows from a file whose header cannot be listed");
    }
    if (listsHeader) {
        constexpr RowKind kinds[] = {RowKind::HeaderTag, RowKind::HeaderLength,
                                     RowKind::HeaderFormat, RowKind::HeaderTracks,
                                     RowKind::HeaderDivision};
        constexpr std::uint32_t offsets[] = {0, 4, 8, 10, 12};
        for (std::size_t i = 0; i < 5; ++i) {
            if (i >= rows.size() || rows[i].kind != kinds[i] || rows[i].offset != offsets[i]) {
                problems.add("header row ", i, " missing or out of place");
            }
        }
    }
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const Row& row = rows[index];
        if (row.kind > RowKind::Meta) {
            problems.add("row ", index, ": no known kind");
            continue;
        }
        if (std::uint64_t{row.offset} + row.length > file.size()) {
            problems.add("row ", index, ": bytes ", row.offset, " to ", row.offset + row.length,
                         " reach beyond the file's ", file.size());
            continue;
        }
        const bool chunkRow = IsChunkRow(row.kind);
        if (!chunkRow &&
            (row.deltaLength < 1 || row.deltaLength > 4 || row.offset < row.deltaLength)) {
            problems.add("row ", index, ": delta time of ", int{row.deltaLength}, " bytes");
            continue;
        }
        if (row.running && (row.kind != RowKind::ChannelVoice || row.status < 0x80)) {
            problems.add("row ", index, ": running status on a row that cannot have it");
        }
        if (row.kind == RowKind::ChannelVoice && (row.status < 0x80 || row.status >= 0xF0)) {
            problems.add("row ", index, ": channel row with status ", HexByte(row.status));
        }
        if (index > 0) {
            const Row& previous = rows[index - 1];
            const std::uint64_t start = row.offset - (chunkRow ? 0u : row.deltaLength);
            if (start < std::uint64_t{previous.offset} + previous.length) {
                problems.add("row ", index, " begins at ", start, ", inside the row before it");
            }
        }
        tracks += row.kind == RowKind::TrackTag ? 1 : 0;
        const bool inTrack =
            row.kind == RowKind::TrackTag || row.kind == RowKind::TrackLength || !chunkRow;
        if (row.track != (inTrack ? tracks : 0)) {
            problems.add("row ", index, ": track ", row.track, " after ", tracks, " MTrk tags");
        }
        CheckCells(problems, file, context, row, index);
    }
    return problems.text();
}

CheckedRun RunChecked(const std::vector<std::uint8_t>& bytes)
{
    CheckedRun run;
    const ExactBuffer buffer(bytes);
    const ByteSpan file = buffer.bytes();
    try {
        RowsOf sink;
        run.outcome = WalkFile(file, sink);
        run.rows = std::move(sink.rows);
        const TimeMaps maps = GatherTimeMaps(file);
        const CellContext context{&maps};
        run.problems = OutcomeProblems(file, run.outcome) + RowProblems(file, context, run.rows);

        std::ostringstream tsv;
        const auto writer = MakeListingWriter(ListingFormat::Tsv, file, tsv);
        writer->writeTitles();
        const RunOutcome written = WalkFile(file, *writer);
        writer->finish(written);
        if (!SameOutcome(written, run.outcome) ||
            tsv.str() != ListingOfCells(ListingFormat::Tsv, file)) {
            run.problems += "the TSV listing is not the event table's cells\n";
        }

        EventTable table(bytes);
        const RunOutcome listed = WalkFile(table.content(), table);
        bool sameRows = static_cast<std::size_t>(table.rowCount()) == run.rows.size() &&
                        table.size() == run.rows.size() && SameOutcome(listed, run.outcome);
        for (std::size_t i = 0; sameRows && i < table.size(); ++i) {
            sameRows = table.row(i) == run.rows[i];
            for (std::size_t column = 0; sameRows && column < kAllColumnCount; ++column) {
                const auto c = static_cast<Column>(column);
                sameRows =
                    table.storedCellText(i, c) == StoredCellText(file, run.rows[i], c, context);
            }
        }
        if (!sameRows) {
            run.problems += "the event table does not hold the rows of the walk\n";
        }
        table.ClearRows();
        if (!table.empty()) {
            run.problems += "the event table keeps rows after ClearRows\n";
        }
    } catch (const std::exception& error) {
        run.problems += std::string("an exception escaped: ") + error.what() + "\n";
    } catch (...) {
        run.problems += "an exception escaped\n";
    }
    return run;
}

} // namespace tracklens::testing
