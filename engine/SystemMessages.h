#pragma once

#include <cstdint>
#include <string>

#include "engine/Bytes.h"
#include "engine/EventStart.h"
#include "engine/TextCursor.h"
#include "engine/TrackReader.h"

namespace tracklens {

// True for the system common and real-time statuses that are listed: F1, F2, F3, F6, F8, FA,
// FB, FC, FE. F4, F5, F9 and FD are undefined and stop the walk.
bool IsSystemMessage(std::uint8_t status);

Row ReadSystemMessage(TrackReader& reader, const EventStart& event);

void AppendSystemMessageDescription(TextCursor& out, const Row& row);
void AppendSystemMessageValue(TextCursor& out, ByteSpan file, const Row& row);

} // namespace tracklens
