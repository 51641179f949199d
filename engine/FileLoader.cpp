#include "engine/FileLoader.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "engine/Row.h"

namespace tracklens {

namespace {

std::string Refused(const std::filesystem::path& path, const std::string& reason)
{
    return path.string() + ": " + reason;
}

} // namespace

std::optional<std::uintmax_t> RegularFileSize(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    return size;
}

std::optional<std::string> ReadWholeFileInto(const std::filesystem::path& path,
                                             const FileMemory& makeRoom)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        // A path that cannot be looked at (a folder on the way that may not be entered) is
        // there for all one knows: say why, rather than that it is missing.
        const bool missing = !error || status.type() == std::filesystem::file_type::not_found;
        return Refused(path, missing ? "no such file" : error.message());
    }
    if (std::filesystem::is_directory(status)) {
        return Refused(path, "is a directory, not a file");
    }
    if (!std::filesystem::is_regular_file(status)) {
        return Refused(path, "is not a regular file (a device, FIFO or socket)");
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return Refused(path, error.message());
    }
    if (size > kLargestFileSize) {
        return Refused(path, "is too large to list (more than 4 GiB)");
    }

    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return Refused(path, std::strerror(errno));
    }
    std::span<std::uint8_t> bytes;
    try {
        bytes = makeRoom(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return Refused(path, "does not fit in memory");
    }
    stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (stream.gcount() != static_cast<std::streamsize>(size)) {
        return Refused(path, "could not be read whole");
    }
    return std::nullopt;
}

LoadedFile ReadWholeFile(const std::filesystem::path& path, std::pmr::memory_resource* memory)
{
    LoadedFile file{FileBytes(memory), {}};
    const std::optional<std::string> refusal =
        ReadWholeFileInto(path, [&file](std::size_t size) { return file.bytes.makeRoom(size); });
    if (refusal) {
        file.bytes.release();
        file.error = *refusal;
    }
    return file;
}

} // namespace tracklens
