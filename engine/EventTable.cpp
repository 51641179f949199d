#include "engine/EventTable.h"

#include "engine/CellText.h"

namespace tracklens {

void EventTable::AddRow(const Row& row)
{
    rows_.push_back(row);
    ++rowCount_;
}

void EventTable::ClearRows()
{
    rows_.clear();
    std::vector<std::uint8_t>().swap(content_);
}

std::string EventTable::cellText(std::size_t index, Column column) const
{
    return CellText(content_, rows_[index], column);
}

std::string EventTable::storedCellText(std::size_t index, Column column) const
{
    return StoredCellText(content_, rows_[index], column);
}

} // namespace tracklens
