#pragma once

#include <string>

#include "engine/Bytes.h"
#include "engine/Row.h"
#include "engine/TextCursor.h"

namespace tracklens {

// Texts of the rows that list the header chunk's fields and the tag and length of every chunk.
void AppendChunkDescription(TextCursor& out, ByteSpan file, const Row& row);
void AppendChunkValue(TextCursor& out, ByteSpan file, const Row& row);

} // namespace tracklens
