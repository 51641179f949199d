#include "engine/EventTable.h"

#include <algorithm>
#include <utility>

#include "engine/CellText.h"
#include "engine/EventWalk.h"

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
        lastChunk_ = other.lastChunk_;
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
    if (IsHeaderRow(row.kind)) {
        headerRows_.push_back(row);
    } else {
        if (IsChunkRow(row.kind) && BeginsAWalk(row.kind)) {
            lastChunk_ = {before, index};
        }
        if (blocks_.empty() || index % kRowsPerBlock == 0) {
            // A chunk's length row cannot begin a walk: its block begins at the chunk's tag.
            blocks_.push_back(BeginsAWalk(row.kind) ? BlockStart{before, index} : lastChunk_);
        }
    }
    size_ = index + 1;
}

void EventTable::ClearRows()
{
    content_.release();
    std::vector<Row>().swap(headerRows_);
    std::vector<BlockStart>().swap(blocks_);
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
    return CellText(content(), listedRow(index), column);
}

std::string EventTable::storedCellText(std::size_t index, Column column) const
{
    return StoredCellText(content(), listedRow(index), column);
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
    const BlockStart& start = blocks_[block];
    const std::size_t end = std::min(size_, (block + 1) * std::size_t{kRowsPerBlock});
    listedRows_.clear();
    RowCollector collector(listedRows_);
    BasicEventWalk<RowCollector> walk(content(), collector);
    walk.relist(start.point, static_cast<std::int32_t>(end - start.firstRow));
    listedBlock_ = block;
}

} // namespace tracklens
