#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tracklens {

// A whole file read in one go, or why it could not be.
struct LoadedFile {
    std::vector<std::uint8_t> bytes;
    std::string error; // empty when the file was read
    bool ok() const { return error.empty(); }
};

// Reads a regular file whole. Anything else (missing, a directory, a FIFO or a device, which
// are refused before they are opened so nothing can block, no permission, too large to list)
// gives a one-line reason.
LoadedFile ReadWholeFile(const std::filesystem::path& path);

// The size of a regular file, or nothing for anything else.
std::optional<std::uintmax_t> RegularFileSize(const std::filesystem::path& path);

} // namespace tracklens
