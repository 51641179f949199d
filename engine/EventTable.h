#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Bytes.h"
#include "engine/CellContext.h"
#include "engine/EventWalk.h"
#include "engine/FileTexts.h"
#include "engine/MemoryBlock.h"
#include "engine/Row.h"
#include "engine/RowSink.h"
#include "engine/TimeMaps.h"
#include "engine/WalkPoint.h"

namespace tracklens {

// The listing of one file: the file's bytes and, for every block of rows, where the walk that
// listed them can be taken up again. A row is listed anew from its block's start when it is
// read, so the table keeps a few bytes per block rather than a row per event, and a file of
// tens of millions of events takes little more memory than its own bytes. Cell texts are
// produced when they are read.
//
// Reading keeps the last block listed, so reading rows in order lists each block once. For the
// same reason a table must not be read from two threads at once.
class EventTable final : public RowSink {
public:
    static constexpr bool kHasItsOwnWalk = true;

    // Rows listed together when one of them is read; few for the fuzzer, so that every input
    // is a table of many blocks.
    static constexpr std::int32_t kRowsPerBlock = kSmallBatches ? 8 : 256;
    static_assert(kRowsPerBlock > 5, "the header's five rows are in the first block");

    explicit EventTable(FileBytes content = FileBytes());
    // A table over a copy of the bytes.
    explicit EventTable(ByteSpan bytes)
        : EventTable(FileBytes::CopyOf(bytes))
    {
    }

    EventTable(EventTable&& other) noexcept;
    EventTable& operator=(EventTable&& other) noexcept;
    EventTable(const EventTable&) = delete;
    EventTable& operator=(const EventTable&) = delete;
    ~EventTable() override = default;

    // Takes the rows of one walk over content(), in its order.
    void AddRow(const Row& row, std::size_t index, const WalkPoint& before) override
    {
        // Most rows are events inside a block, and take no more than this.
        lastTick_ = std::max(lastTick_, row.absTick);
        if (index % kRowsPerBlock != 0 && !IsChunkRow(row.kind) && row.kind != RowKind::Meta) {
            size_ = index + 1;
            return;
        }
        addRowAtBlockOrChunk(row, index, before);
    }

    void EndWalk() override { timeMaps_.complete(); }

    // Releases the rows and the bytes; the row count keeps its value.
    void ClearRows();

    // Rows appended since the table was made, also after ClearRows().
    std::int32_t rowCount() const { return static_cast<std::int32_t>(rowsCleared_ + size_); }

    // Rows the table holds now.
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Row row(std::size_t index) const;
    // Appends the rows from first on, count of them, to rows, each block listed anew: unlike
    // row(), this changes nothing in the table, and several threads may read rows so at once.
    void listRows(std::size_t first, std::size_t count, std::vector<Row>& rows) const;
    ByteSpan content() const { return content_.room(); }
    // What the cells' texts take from the whole walk.
    // A text as long as the longest of a column that places rows (Track, Offset, Time, Bar), so
    // that a view can make the column as wide without reading every row.
    std::string longestPlacingText(Column column) const;
    CellContext cellContext() const { return {&timeMaps_, texts_}; }

    // Reads the texts of text events in this encoding from now on; Automatic detects the file's
    // once, from the texts of the walk, with the decoders.
    void setTextEncoding(TextEncoding encoding, const TextDecoders* decoders);

    // Texts of a cell as handed to the listing, and in their stored fixed-width form.
    std::string cellText(std::size_t index, Column column) const;
    std::string storedCellText(std::size_t index, Column column) const;
    // The start of a cell's text, from at most mostBytes of the bytes it shows; cut tells
    // whether there was more.
    std::string cellTextStart(std::size_t index, Column column, std::size_t mostBytes,
                              bool& cut) const;

private:
    void addRowAtBlockOrChunk(const Row& row, std::size_t index, const WalkPoint& before);
    const Row& listedRow(std::size_t index) const;
    void listBlock(std::size_t block) const;
    void relistBlock(std::size_t block, std::vector<Row>& rows) const;
    void appendRows(std::size_t first, std::size_t end, std::vector<Row>& rows) const;

    FileBytes content_;
    std::vector<Row> headerRows_;     // the header chunk's rows: no walk can be taken up among them
    std::vector<RelistStart> blocks_; // where the walk is taken up to list each block's rows
    RelistPoints relistPoints_;
    TimeMaps timeMaps_;
    std::uint64_t lastTick_ = 0; // the largest tick of any row
    std::uint32_t tracks_ = 0;
    FileTexts fileTexts_;
    TextChoice texts_;
    std::optional<TextEncoding> detected_; // once Automatic was chosen
    std::size_t size_ = 0;
    std::size_t rowsCleared_ = 0;

    mutable std::size_t listedBlock_ = 0;
    mutable std::vector<Row> listedRows_; // the rows of block listedBlock_, when not empty
};

} // namespace tracklens
