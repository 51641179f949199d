#pragma once

#include <string>

#include "engine/Bytes.h"
#include "engine/Row.h"

namespace tracklens {

// The text of one cell of a row, as the listing shows it and every export writes it. It is
// produced from the row and the file's bytes each time and never fails.
void AppendCellText(std::string& out, ByteSpan file, const Row& row, Column column);
std::string CellText(ByteSpan file, const Row& row, Column column);

// The same text in its stored form: the fixed-width columns filled up with blanks.
std::string StoredCellText(ByteSpan file, const Row& row, Column column);

} // namespace tracklens
