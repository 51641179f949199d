#include "engine/FileLoader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "engine/Row.h"

namespace tracklens {

namespace {

std::string OpenFailure(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "no such file";
    case ENXIO:
    case EOPNOTSUPP:
        // What opening a socket, or a device that is not there, gives.
        return "is not a regular file (a device, FIFO or socket)";
    default:
        return std::strerror(error);
    }
}

// How a regular file's bytes stop short of its size; nothing when they are all read.
std::optional<std::string> ReadAll(int descriptor, std::span<std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t got = ::read(descriptor, bytes.data(), bytes.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::strerror(errno);
        }
        if (got == 0) {
            return "could not be read whole (it became shorter)";
        }
        bytes = bytes.subspan(static_cast<std::size_t>(got));
    }
    return std::nullopt;
}

} // namespace

InputFile::InputFile(const std::filesystem::path& path, const BeforeOpen& beforeOpen)
    : path_(path)
{
    if (beforeOpen) {
        beforeOpen();
    }
    // Without O_NONBLOCK, opening a FIFO waits for a writer; a regular file reads the same
    // either way.
    descriptor_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor_ < 0) {
        refuse(OpenFailure(errno));
        return;
    }
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) {
        refuse(std::strerror(errno));
        return;
    }
    if (S_ISDIR(status.st_mode)) {
        refuse("is a directory, not a file");
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        refuse("is not a regular file (a device, FIFO or socket)");
        return;
    }
    identity_ = {static_cast<std::uint64_t>(status.st_dev),
                 static_cast<std::uint64_t>(status.st_ino)};
    size_ = static_cast<std::uint64_t>(status.st_size);
    if (size_ > kLargestFileSize) {
        refuse("is too large to list (more than 4 GiB)");
    }
}

InputFile::~InputFile()
{
    close();
}

std::optional<std::string> InputFile::readInto(const FileMemory& makeRoom)
{
    if (refusal_) {
        return refusal_;
    }
    std::span<std::uint8_t> bytes;
    try {
        bytes = makeRoom(static_cast<std::size_t>(size_));
    } catch (const std::bad_alloc&) {
        refuse("does not fit in memory");
        return refusal_;
    }
    if (const std::optional<std::string> shortOf = ReadAll(descriptor_, bytes)) {
        refuse(*shortOf);
        return refusal_;
    }
    close();
    return std::nullopt;
}

void InputFile::refuse(const std::string& reason)
{
    refusal_ = path_.string() + ": " + reason;
    close();
}

void InputFile::close()
{
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

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
    InputFile file(path);
    return file.readInto(makeRoom);
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
