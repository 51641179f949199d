#pragma once

#include <optional>

#include <string>

#include "engine/Bytes.h"
#include "engine/EventStart.h"
#include "engine/TextCursor.h"
#include "engine/TrackReader.h"

namespace tracklens {

// FF, the type, a variable-length length, the data. Every field a type needs is checked while
// reading, so its texts are always there to produce later.
Row ReadMetaEvent(TrackReader& reader, const EventStart& event);

// The data of a text event (types 01 to 09), which its Value shows; nothing for other types.
std::optional<ByteSpan> MetaText(ByteSpan file, const Row& row);

// Microseconds per quarter note of a Set Tempo event, read from at most its first three data
// bytes; nothing for other events.
std::optional<std::uint32_t> MetaTempo(ByteSpan file, const Row& row);

// The fields of a Time Signature event that place its bars: nn and dd.
struct TimeSignatureFields {
    std::uint8_t numerator;
    std::uint8_t denominatorPower; // the denominator is 2 to this power
};
std::optional<TimeSignatureFields> MetaTimeSignature(ByteSpan file, const Row& row);

void AppendMetaDescription(TextCursor& out, ByteSpan file, const Row& row);
void AppendMetaValue(TextCursor& out, ByteSpan file, const Row& row);

} // namespace tracklens
