#include "engine/EventTable.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "engine/CellText.h"
#include "engine/EventWalkSteps.h"

namespace tracklens {

namespace {

bool IsHeaderRow(RowKind kind)
{
    return kind <= RowKind::HeaderDivision;
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
    if (IsHeaderRow(row.kind)) {
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
    std::vector<Row>().swap(listedRows_);
    rowsCleared_ += size_;
    size_ = 0;
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
    const RelistStart& start = blocks_[block];
    const std::size_t end = std::min(size_, (block + 1) * std::size_t{kRowsPerBlock});
    const auto rows = static_cast<std::int32_t>(end - start.firstRow);
    listedRows_.clear();
    RowCollector collector(listedRows_);
    BasicEventWalk<RowCollector> walk(content(), collector);
    std::int32_t listed = 0;
    try {
        listed = walk.relist(start.point, rows);
    } catch (...) {
        listedRows_.clear(); // no half of a block is taken for another
        throw;
    }
    if (listed != rows) {
        listedRows_.clear();
        throw std::logic_error("the rows of a block could not be listed again from its start");
    }
    listedBlock_ = block;
}

template class BasicEventWalk<EventTable>;

} // namespace tracklens
