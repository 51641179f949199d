#include "engine/EventTable.h"

#include <algorithm>
#include <utility>

#include "engine/CellText.h"
#include "engine/EventWalk.h"

namespace tracklens {

namespace {

class RowCollector final : public RowSink {
public:
    explicit RowCollector(std::vector<Row>& rows)
        : rows_(rows)
    {
    }
    void AddRow(const Row& row) override { rows_.push_back(row); }

private:
    std::vector<Row>& rows_;
};

bool IsHeaderRow(RowKind kind)
{
    return kind <= RowKind::HeaderDivision;
}

} // namespace

EventTable::EventTable(FileBytes content)
    : content_(std::move(content))
    , tracker_(content_.room())
{
}

// The bytes move with their buffer, so a tracker over them stays valid.
EventTable::EventTable(EventTable&& other) noexcept
    : content_(std::move(other.content_))
    , tracker_(std::exchange(other.tracker_, WalkPointTracker(ByteSpan{})))
    , headerRows_(std::move(other.headerRows_))
    , blocks_(std::move(other.blocks_))
    , lastChunk_(other.lastChunk_)
    , size_(std::exchange(other.size_, 0))
    , rowCount_(other.rowCount_)
    , listedBlock_(other.listedBlock_)
    , listedRows_(std::move(other.listedRows_))
{
    other.ClearRows();
}

EventTable& EventTable::operator=(EventTable&& other) noexcept
{
    if (this != &other) {
        content_ = std::move(other.content_);
        tracker_ = std::exchange(other.tracker_, WalkPointTracker(ByteSpan{}));
        headerRows_ = std::move(other.headerRows_);
        blocks_ = std::move(other.blocks_);
        lastChunk_ = other.lastChunk_;
        size_ = std::exchange(other.size_, 0);
        rowCount_ = other.rowCount_;
        listedBlock_ = other.listedBlock_;
        listedRows_ = std::move(other.listedRows_);
        other.ClearRows();
    }
    return *this;
}

void EventTable::AddRow(const Row& row)
{
    // Most rows are channel messages inside a block, and take no more than this.
    if (row.kind == RowKind::ChannelVoice && size_ % kRowsPerBlock != 0 && !blocks_.empty()) {
        tracker_.seen(row);
        ++size_;
        ++rowCount_;
        return;
    }
    addRowAtBlockOrChunk(row);
}

void EventTable::addRowAtBlockOrChunk(const Row& row)
{
    const std::size_t index = size_;
    if (blocks_.empty() && IsHeaderRow(row.kind)) {
        headerRows_.push_back(row);
    } else {
        if (row.kind == RowKind::TrackTag || row.kind == RowKind::ChunkTag) {
            lastChunk_ = {*tracker_.pointBefore(row), index};
        }
        if (blocks_.empty() || index % kRowsPerBlock == 0) {
            // A chunk's length row cannot begin a walk: its block begins at the chunk's tag.
            const std::optional<WalkPoint> point = tracker_.pointBefore(row);
            blocks_.push_back(point ? BlockStart{*point, index} : lastChunk_);
        }
        tracker_.seen(row);
    }
    ++size_;
    ++rowCount_;
}

void EventTable::ClearRows()
{
    content_.release();
    tracker_ = WalkPointTracker(ByteSpan{});
    std::vector<Row>().swap(headerRows_);
    std::vector<BlockStart>().swap(blocks_);
    std::vector<Row>().swap(listedRows_);
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
    EventWalk walk(content(), collector);
    walk.relist(start.point, static_cast<std::int32_t>(end - start.firstRow));
    listedBlock_ = block;
}

} // namespace tracklens
