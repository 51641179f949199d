#include "engine/EventTable.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "engine/CellText.h"
#include "engine/EventWalkSteps.h"

namespace tracklens {

namespace {

// The rows before the first chunk, among which no walk can be taken up: a file's header chunk,
// or the three rows of an RMID container (whose file's header rows come later, after a chunk).
bool IsHeaderRow(RowKind kind, bool afterAChunk)
{
    return !afterAChunk && (kind <= RowKind::HeaderDivision || kind == RowKind::RiffTag ||
                            kind == RowKind::RiffLength || kind == RowKind::RiffForm);
}

} // namespace

EventTable::EventTable(FileBytes content)
    : content_(std::move(content))
{
}

// The table moved from keeps its row count, as after ClearRows().
EventTable::EventTable(EventTable&& other) noexcept
{
    *this = std::move(other);
}

EventTable& EventTable::operator=(EventTable&& other) noexcept
{
    if (this != &other) {
        content_ = std::move(other.content_);
        headerRows_ = std::move(other.headerRows_);
        blocks_ = std::move(other.blocks_);
        relistPoints_ = other.relistPoints_;
        timeMaps_ = std::move(other.timeMaps_);
        lastTick_ = other.lastTick_;
        tracks_ = other.tracks_;
        fileTexts_ = std::move(other.fileTexts_);
        texts_ = other.texts_;
        detected_ = other.detected_;
        size_ = other.size_;
        rowsCleared_ = other.rowsCleared_;
        listedBlock_ = other.listedBlock_;
        listedRows_ = std::move(other.listedRows_);
        other.ClearRows();
    }
    return *this;
}

// The row is counted only once what it needs is kept: should memory run out, the table holds
// the rows before it.
void EventTable::addRowAtBlockOrChunk(const Row& row, std::size_t index, const WalkPoint& before)
{
    timeMaps_.noteRow(content(), row);
    tracks_ = std::max(tracks_, row.track);
    if (row.kind == RowKind::Meta) {
        fileTexts_.note(content(), row);
    }
    if (IsHeaderRow(row.kind, !blocks_.empty())) {
        headerRows_.push_back(row);
    } else {
        if (IsChunkRow(row.kind)) {
            relistPoints_.noteChunkRow(row, index, before);
        }
        if (blocks_.empty() || index % kRowsPerBlock == 0) {
            blocks_.push_back(relistPoints_.startFor(row, index, before));
        }
    }
    size_ = index + 1;
}

void EventTable::ClearRows()
{
    content_.release();
    std::vector<Row>().swap(headerRows_);
    std::vector<RelistStart>().swap(blocks_);
    timeMaps_ = TimeMaps();
    lastTick_ = 0;
    tracks_ = 0;
    fileTexts_ = FileTexts();
    detected_.reset();
    std::vector<Row>().swap(listedRows_);
    rowsCleared_ += size_;
    size_ = 0;
}

void EventTable::setTextEncoding(TextEncoding encoding, const TextDecoders* decoders)
{
    if (encoding == TextEncoding::Automatic && !detected_) {
        detected_ = fileTexts_.detect(content(), decoders);
    }
    texts_ = {encoding, detected_.value_or(TextEncoding::Windows1252), decoders};
}

Row EventTable::row(std::size_t index) const
{
    return listedRow(index);
}

std::string EventTable::cellText(std::size_t index, Column column) const
{
    return CellText(content(), listedRow(index), column, cellContext());
}

std::string EventTable::storedCellText(std::size_t index, Column column) const
{
    return StoredCellText(content(), listedRow(index), column, cellContext());
}

std::string EventTable::cellTextStart(std::size_t index, Column column, std::size_t mostBytes,
                                      bool& cut) const
{
    return CellTextStart(content(), listedRow(index), column, cellContext(), mostBytes, cut);
}

std::string EventTable::longestPlacingText(Column column) const
{
    switch (column) {
    case Column::Track:
        return DecimalText(tracks_);
    case Column::Offset:
        return WrittenText(kLongestOffset, [this](TextCursor& out) {
            AppendHexNumber(out, content().empty() ? 0 : content().size() - 1, 8);
        });
    case Column::Time:
        return timeMaps_.longestTime(lastTick_);
    case Column::Bar:
        return timeMaps_.longestBar(lastTick_);
    default:
        return {};
    }
}

const Row& EventTable::listedRow(std::size_t index) const
{
    if (index < headerRows_.size()) {
        return headerRows_[index];
    }
    const std::size_t block = index / kRowsPerBlock;
    if (listedRows_.empty() || block != listedBlock_) {
        listBlock(block);
    }
    return listedRows_[index - blocks_[block].firstRow];
}

void EventTable::listBlock(std::size_t block) const
{
    listedRows_.clear();
    try {
        relistBlock(block, listedRows_);
    } catch (...) {
        listedRows_.clear(); // no half of a block is taken for another
        throw;
    }
    listedBlock_ = block;
}

// Appends the block's rows to rows.
void EventTable::relistBlock(std::size_t block, std::vector<Row>& rows) const
{
    const RelistStart& start = blocks_[block];
    const std::size_t end = std::min(size_, (block + 1) * std::size_t{kRowsPerBlock});
    const auto count = static_cast<std::int32_t>(end - start.firstRow);
    RowCollector collector(rows);
    BasicEventWalk<RowCollector> walk(content(), collector);
    if (walk.relist(start.point, count) != count) {
        throw std::logic_error("the rows of a block could not be listed again from its start");
    }
}

void EventTable::listRows(std::size_t first, std::size_t count, std::vector<Row>& rows) const
{
    const std::size_t end = first >= size_ ? first : first + std::min(count, size_ - first);
    const std::size_t given = rows.size();
    try {
        appendRows(first, end, rows);
    } catch (...) {
        rows.resize(given); // no part of a block is taken for the rows asked
        throw;
    }
}

void EventTable::appendRows(std::size_t first, std::size_t end, std::vector<Row>& rows) const
{
    for (; first < end && first < headerRows_.size(); ++first) {
        rows.push_back(headerRows_[first]);
    }
    while (first < end) {
        const std::size_t block = first / kRowsPerBlock;
        const std::size_t blockStart = blocks_[block].firstRow;
        const std::size_t before = rows.size();
        relistBlock(block, rows);
        // Only the rows asked for: those before first at the front, those past end at the back.
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(before),
                   rows.begin() + static_cast<std::ptrdiff_t>(before + (first - blockStart)));
        const std::size_t blockEnd = std::min(size_, (block + 1) * std::size_t{kRowsPerBlock});
        if (blockEnd > end) {
            rows.resize(rows.size() - (blockEnd - end));
        }
        first = std::min(blockEnd, end);
    }
}

template class BasicEventWalk<EventTable>;

} // namespace tracklens
