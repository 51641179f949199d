#pragma once

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "engine/Bytes.h"
#include "engine/RowSink.h"
#include "engine/RunOutcome.h"

namespace tracklens {

enum class ListingFormat {
    Tsv,
    Csv,
    Json
};

// Writes the listing of one file as the walk finds its rows, so that nothing but the file's
// bytes and a small buffer is held. Titles first, rows next, finish() last.
class ListingWriter : public RowSink {
public:
    ListingWriter(ByteSpan file, std::ostream& out)
        : file_(file)
        , out_(out)
    {
    }
    ~ListingWriter() override = default;

    virtual void writeTitles() = 0;
    void AddRow(const Row& row) final;
    // Closes the listing after its last row and writes out what is buffered.
    void finish(const RunOutcome& outcome);

protected:
    virtual void appendRow() = 0; // the cells of the current row are in cells_
    virtual void appendEnd(const RunOutcome& outcome, std::int32_t rows);

    std::string& buffer() { return buffer_; }
    const std::string& cell(std::size_t column) const { return cells_[column]; }

private:
    void flushIfFull();

    ByteSpan file_;
    std::ostream& out_;
    std::string buffer_;
    std::string cells_[6];
    std::int32_t rows_ = 0;
};

std::unique_ptr<ListingWriter> MakeListingWriter(ListingFormat format, ByteSpan file,
                                                 std::ostream& out);

// Tab, line feed, carriage return and backslash as \t \n \r \\, other control bytes as \xHH.
void AppendTsvEscaped(std::string& out, std::string_view text);

// A field quoted, with its quotes doubled, when it holds a comma, a quote or a line break.
void AppendCsvField(std::string& out, std::string_view text);

} // namespace tracklens
