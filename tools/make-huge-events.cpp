// Writes a file of a few very large events: SysEx or text events of many megabytes each, the
// files on which the memory of a listing is measured. Usage:
//     make-huge-events --kind sysex|text --size-mb N [--count K] OUTPUT

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "tools/smf/SmfBuilder.h"

using tracklens::smf::Bytes;
using tracklens::smf::TrackWriter;

namespace {

int Usage()
{
    std::cerr << "usage: make-huge-events --kind sysex|text --size-mb N [--count K] OUTPUT\n";
    return 2;
}

// The same bytes for the same sizes: printable letters for a text, data bytes for a SysEx.
Bytes EventData(std::size_t size, bool text)
{
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<std::uint8_t>(text ? 'a' + i % 26 : i % 0x80);
    }
    if (!text && size > 0) {
        data.back() = 0xF7;
    }
    return data;
}

} // namespace

int main(int argc, char** argv)
{
    std::string kind;
    std::size_t sizeMb = 0;
    std::size_t count = 1;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--kind" && i + 1 < argc) {
            kind = argv[++i];
        } else if (argument == "--size-mb" && i + 1 < argc) {
            sizeMb = std::strtoul(argv[++i], nullptr, 10);
        } else if (argument == "--count" && i + 1 < argc) {
            count = std::strtoul(argv[++i], nullptr, 10);
        } else if (output.empty() && !argument.starts_with("-")) {
            output = argument;
        } else {
            return Usage();
        }
    }
    if ((kind != "sysex" && kind != "text") || sizeMb == 0 || count == 0 || output.empty()) {
        return Usage();
    }
    const bool text = kind == "text";
    const Bytes data = EventData(sizeMb << 20, text);
    TrackWriter track;
    for (std::size_t i = 0; i < count; ++i) {
        if (text) {
            track.text(0, 0x01,
                       std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
        } else {
            track.sysex(0, data);
        }
    }
    track.endOfTrack(0);
    const Bytes file = tracklens::smf::Smf(0, 96, {track.body()});
    std::ofstream out(output, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    return out ? 0 : 1;
}
