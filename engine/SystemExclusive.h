#pragma once

#include <string>
#include <string_view>

#include "engine/Bytes.h"
#include "engine/EventStart.h"
#include "engine/TextCursor.h"
#include "engine/TrackReader.h"

namespace tracklens {

// F0, a variable-length length, that many bytes: the maker and a few well-known messages are
// recognised while reading, so that the texts can be produced without a failure later.
Row ReadSystemExclusive(TrackReader& reader, const EventStart& event);

// F7, a variable-length length, that many bytes: the escape of a Standard MIDI File.
Row ReadSysExEscape(TrackReader& reader, const EventStart& event);

// "(Roland)" for the identification bytes 41..., empty for an unknown maker.
std::string ManufacturerName(ByteSpan identification);

// "GS Reset" and the other recognised messages, given the bytes after the length.
std::string_view SysExMessageName(ByteSpan body);

void AppendSystemExclusiveDescription(TextCursor& out, const Row& row);
void AppendSystemExclusiveValue(TextCursor& out, const Row& row);

} // namespace tracklens
