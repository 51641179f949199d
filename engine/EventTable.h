#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <string>
#include <vector>

#include "engine/Bytes.h"
#include "engine/Row.h"
#include "engine/RowSink.h"
#include "engine/RowStore.h"

namespace tracklens {

// The listing of one file: its rows, kept compactly, and the file's bytes they point into.
// Cell texts are produced when they are read.
class EventTable final : public RowSink {
public:
    explicit EventTable(std::vector<std::uint8_t> content = {},
                        std::pmr::memory_resource* rowMemory = std::pmr::get_default_resource())
        : content_(std::move(content))
        , rows_(rowMemory)
    {
    }

    void AddRow(const Row& row) override;

    // Releases the rows and the bytes; the row count keeps its value.
    void ClearRows();

    // Rows appended since the table was made, also after ClearRows().
    std::int32_t RowCount() const { return rowCount_; }

    // Rows the table holds now.
    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    const Row& row(std::size_t index) const { return rows_[index]; }
    ByteSpan content() const { return content_; }

    // Texts of a cell as handed to the listing, and in their stored fixed-width form.
    std::string cellText(std::size_t index, Column column) const;
    std::string storedCellText(std::size_t index, Column column) const;

private:
    std::vector<std::uint8_t> content_;
    RowStore rows_;
    std::int32_t rowCount_ = 0;
};

} // namespace tracklens
