#pragma once

#include <cstdint>
#include <string>

#include "engine/Bytes.h"
#include "engine/EventStart.h"
#include "engine/TrackReader.h"

namespace tracklens {

// Note off and on, key and channel aftertouch, control change, program change and pitch bend.
// Reading one sets the last channel status when the message carries its own status byte.
Row ReadChannelVoice(TrackReader& reader, const EventStart& event, std::uint8_t& lastChannelStatus);

void AppendChannelVoiceDescription(std::string& out, ByteSpan file, const Row& row);
void AppendChannelVoiceValue(std::string& out, ByteSpan file, const Row& row);

} // namespace tracklens
