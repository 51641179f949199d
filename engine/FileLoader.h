#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory_resource>
#include <optional>
#include <span>
#include <string>

#include "engine/MemoryBlock.h"

namespace tracklens {

// A whole file read in one go, or why it could not be.
struct LoadedFile {
    FileBytes bytes;
    std::string error; // empty when the file was read
    bool ok() const { return error.empty(); }
};

// Memory for a file's bytes: given their count, where to put them. It may throw std::bad_alloc.
using FileMemory = std::function<std::span<std::uint8_t>(std::size_t size)>;

// Reads a regular file whole into the memory that makeRoom gives; the one-line reason it could
// not, or nothing. Anything else than a regular file is refused as ReadWholeFile says.
std::optional<std::string> ReadWholeFileInto(const std::filesystem::path& path,
                                             const FileMemory& makeRoom);

// Reads a regular file whole, into memory from the given resource. Anything else (missing, a
// directory, a FIFO or a device, which are refused before they are opened so nothing can block,
// no permission, too large to list) gives a one-line reason.
LoadedFile ReadWholeFile(const std::filesystem::path& path,
                         std::pmr::memory_resource* memory = std::pmr::get_default_resource());

// The size of a regular file, or nothing for anything else.
std::optional<std::uintmax_t> RegularFileSize(const std::filesystem::path& path);

} // namespace tracklens
