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

// Which file a path leads to: the same device and inode are the same file, whatever path, link
// or hard link leads there.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// A regular file opened for reading. It is opened first, without waiting (a FIFO opens at once
// even with no writer), and only then is what was opened looked at, so that what is read is
// what was checked: nothing put in the file's place at any moment can make it block.
class InputFile {
public:
    // Called right before the path is opened; tests put something else in the file's place there.
    using BeforeOpen = std::function<void()>;

    explicit InputFile(const std::filesystem::path& path, const BeforeOpen& beforeOpen = {});
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Why the file cannot be read, in one line that names it; nothing when it is open.
    const std::optional<std::string>& refusal() const { return refusal_; }
    FileIdentity identity() const { return identity_; }
    std::uint64_t size() const { return size_; }

    // Reads it whole into the memory that makeRoom gives; the one-line reason it could not, or
    // nothing. The file is closed afterwards.
    std::optional<std::string> readInto(const FileMemory& makeRoom);

private:
    void refuse(const std::string& reason);
    void close();

    std::filesystem::path path_;
    int descriptor_ = -1;
    std::optional<std::string> refusal_;
    FileIdentity identity_;
    std::uint64_t size_ = 0;
};

// Reads a regular file whole into the memory that makeRoom gives; the one-line reason it could
// not, or nothing. Anything else than a regular file is refused as ReadWholeFile says.
std::optional<std::string> ReadWholeFileInto(const std::filesystem::path& path,
                                             const FileMemory& makeRoom);

// Reads a regular file whole, into memory from the given resource. Anything else (missing, a
// directory, a FIFO or a device, which are opened without blocking and refused, no permission,
// too large to list) gives a one-line reason that names the path.
LoadedFile ReadWholeFile(const std::filesystem::path& path,
                         std::pmr::memory_resource* memory = std::pmr::get_default_resource());

// The size of a regular file, or nothing for anything else.
std::optional<std::uintmax_t> RegularFileSize(const std::filesystem::path& path);

} // namespace tracklens
