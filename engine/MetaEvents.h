#pragma once

#include <string>

#include "engine/Bytes.h"
#include "engine/EventStart.h"
#include "engine/TextCursor.h"
#include "engine/TrackReader.h"

namespace tracklens {

// FF, the type, a variable-length length, the data. Every field a type needs is checked while
// reading, so its texts are always there to produce later.
Row ReadMetaEvent(TrackReader& reader, const EventStart& event);

void AppendMetaDescription(TextCursor& out, ByteSpan file, const Row& row);
void AppendMetaValue(TextCursor& out, ByteSpan file, const Row& row);

} // namespace tracklens
