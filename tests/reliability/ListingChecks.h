#pragma once

// What every listing must satisfy, whatever bytes it was made from, and the means to run a walk
// so that a read past the file's last byte cannot go unnoticed.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Bytes.h"
#include "engine/CellContext.h"
#include "engine/Row.h"
#include "engine/RunOutcome.h"

namespace tracklens::testing {

// Bytes on the heap in a block of exactly their size, so that AddressSanitizer reports a read of
// the byte after the last.
class ExactBuffer {
public:
    explicit ExactBuffer(const std::vector<std::uint8_t>& bytes);

    ByteSpan bytes() const { return {data_.get(), size_}; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_;
};

struct CheckedRun {
    RunOutcome outcome;
    std::vector<Row> rows;
    std::string problems; // empty when the run and its listing are as they must be
};

// Walks the bytes from an exact-size buffer, reads every cell of every row, writes the TSV
// listing and lists the same bytes into an event table; tells every rule that was broken.
CheckedRun RunChecked(const std::vector<std::uint8_t>& bytes);

// The rules of an outcome and of its message box, for a file of the given bytes.
std::string OutcomeProblems(ByteSpan file, const RunOutcome& outcome);

// The rules every row and every cell of a listing keep.
std::string RowProblems(ByteSpan file, const CellContext& context, const std::vector<Row>& rows);

bool IsValidUtf8(const std::string& text);
bool SameOutcome(const RunOutcome& a, const RunOutcome& b);
std::string Describe(const RunOutcome& outcome);

} // namespace tracklens::testing
