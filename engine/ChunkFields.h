#pragma once

#include <string>

#include "engine/Bytes.h"
#include "engine/Row.h"

namespace tracklens {

// Texts of the rows that list the header chunk's fields and the tag and length of every chunk.
void AppendChunkDescription(std::string& out, ByteSpan file, const Row& row);
void AppendChunkValue(std::string& out, ByteSpan file, const Row& row);

} // namespace tracklens
