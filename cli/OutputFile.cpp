#include "cli/OutputFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tracklens {

namespace {

constexpr std::size_t kHeldBytes = std::size_t{64} * 1024;
// Room for the temporary name's prefix and suffix within a file name's 255 bytes.
constexpr std::size_t kLongestNameKept = 200;
constexpr int kNameAttempts = 100;

std::string Reason(int error)
{
    return std::strerror(error);
}

// A file opened for reading without waiting, closed when this goes.
class OpenedForReading {
public:
    explicit OpenedForReading(const std::filesystem::path& path)
        : descriptor_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC))
    {
    }
    ~OpenedForReading()
    {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    OpenedForReading(const OpenedForReading&) = delete;
    OpenedForReading& operator=(const OpenedForReading&) = delete;

    int descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

// A name for the temporary file, hidden, beside the destination: ".song.tsv.tracklens-4711-9f3c".
std::filesystem::path TemporaryName(const std::filesystem::path& destination, std::uint32_t salt)
{
    std::string name = destination.filename().string();
    if (name.size() > kLongestNameKept) {
        name.resize(kLongestNameKept);
    }
    std::array<char, 32> suffix{};
    std::snprintf(suffix.data(), suffix.size(), ".tracklens-%ld-%08x", static_cast<long>(getpid()),
                  salt);
    return destination.parent_path() / ("." + name + suffix.data());
}

} // namespace

// DescriptorBuffer

DescriptorBuffer::DescriptorBuffer(int descriptor)
    : descriptor_(descriptor)
    , held_(kHeldBytes)
{
    setp(held_.data(), held_.data() + held_.size());
}

bool DescriptorBuffer::flushHeld()
{
    const auto count = static_cast<std::size_t>(pptr() - pbase());
    setp(held_.data(), held_.data() + held_.size());
    if (failure_ != 0) {
        return false;
    }
    return count == 0 || writeAll(held_.data(), count);
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type byte)
{
    if (!flushHeld()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(byte, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(byte);
        pbump(1);
    }
    return traits_type::not_eof(byte);
}

std::streamsize DescriptorBuffer::xsputn(const char* text, std::streamsize count)
{
    if (failure_ != 0 || count <= 0) {
        return 0;
    }
    const auto size = static_cast<std::size_t>(count);
    if (size <= static_cast<std::size_t>(epptr() - pptr())) {
        std::memcpy(pptr(), text, size);
        pbump(static_cast<int>(size));
        return count;
    }
    if (!flushHeld()) {
        return 0;
    }
    if (size < held_.size()) {
        std::memcpy(pptr(), text, size);
        pbump(static_cast<int>(size));
        return count;
    }
    return writeAll(text, size) ? count : 0;
}

int DescriptorBuffer::sync()
{
    return flushHeld() ? 0 : -1;
}

bool DescriptorBuffer::writeAll(const char* text, std::size_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(descriptor_, text, count);
        if (written > 0) {
            text += written;
            count -= static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A descriptor left non-blocking by whoever opened it: wait until it takes more.
            pollfd ready{descriptor_, POLLOUT, 0};
            if (::poll(&ready, 1, -1) >= 0 || errno == EINTR) {
                continue;
            }
        }
        failure_ = written < 0 ? errno : EIO;
        return false;
    }
    return true;
}

// DescriptorStream

DescriptorStream::DescriptorStream(int descriptor)
    : std::ostream(nullptr)
    , buffer_(descriptor)
{
    rdbuf(&buffer_);
    exceptions(std::ios::badbit);
}

std::string DescriptorStream::failureReason() const
{
    return Reason(buffer_.failure());
}

// OutputFile

OutputFile::OutputFile(const std::filesystem::path& target)
    : target_(target)
    , destination_(target)
{
    open();
}

OutputFile::~OutputFile()
{
    discard();
}

void OutputFile::open()
{
    struct stat status {};
    mode_t keptMode = 0;
    if (::stat(target_.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            refusal_ = target_.string() + ": is a directory, not a file";
            return;
        }
        if (!S_ISREG(status.st_mode)) {
            openInPlace();
            return;
        }
        std::error_code error;
        destination_ = std::filesystem::canonical(target_, error);
        if (error) {
            refusal_ = target_.string() + ": cannot be written: " + error.message();
            return;
        }
        keptMode = status.st_mode & 07777;
    } else if (errno != ENOENT) {
        refusal_ = target_.string() + ": cannot be written: " + Reason(errno);
        return;
    }

    std::random_device random;
    int error = 0;
    for (int attempt = 0; attempt < kNameAttempts && descriptor_ < 0; ++attempt) {
        temporary_ = TemporaryName(destination_, random());
        // 0666 less the umask, as for any new file; an older file's permissions are kept.
        descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        error = errno;
        if (descriptor_ < 0 && error != EEXIST) {
            break;
        }
    }
    if (descriptor_ < 0) {
        temporary_.clear();
        refusal_ = target_.string() + ": cannot be written: " + Reason(error);
        return;
    }
    if (keptMode != 0) {
        ::fchmod(descriptor_, keptMode);
    }
    stream_.emplace(descriptor_);
}

// A device or a FIFO: opened without waiting for a reader, then written as any stream.
void OutputFile::openInPlace()
{
    descriptor_ = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor_ < 0) {
        refusal_ = target_.string() + ": cannot be written: " +
                   (errno == ENXIO ? std::string("no program reads it") : Reason(errno));
        return;
    }
    const int flags = ::fcntl(descriptor_, F_GETFL);
    if (flags != -1) {
        ::fcntl(descriptor_, F_SETFL, flags & ~O_NONBLOCK);
    }
    stream_.emplace(descriptor_);
}

std::optional<std::string> OutputFile::commit()
{
    if (refusal_) {
        return refusal_;
    }
    if (!stream_->flushHeld()) {
        const std::string failure = writeFailure();
        discard();
        return failure;
    }
    if (!temporary_.empty() && ::fsync(descriptor_) != 0 && errno != EINVAL) {
        return fail("write failed: " + Reason(errno));
    }
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    if (closed != 0 && errno != EINTR) {
        return fail("write failed: " + Reason(errno));
    }
    if (!temporary_.empty() && ::rename(temporary_.c_str(), destination_.c_str()) != 0) {
        return fail("cannot be written: " + Reason(errno));
    }
    temporary_.clear();
    return std::nullopt;
}

std::string OutputFile::writeFailure() const
{
    return target_.string() + ": write failed: " +
           (stream_ && stream_->failed() ? stream_->failureReason() : std::string("unknown"));
}

std::optional<std::string> OutputFile::fail(const std::string& reason)
{
    discard();
    return target_.string() + ": " + reason;
}

void OutputFile::discard()
{
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

// Checks of the target

bool BeginsAMidiFile(std::span<const std::uint8_t> firstBytes)
{
    const auto holds = [firstBytes](std::size_t at, std::string_view tag) {
        return firstBytes.size() >= at + tag.size() &&
               std::equal(tag.begin(), tag.end(), firstBytes.begin() + static_cast<long>(at),
                          [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
    };
    return holds(0, "MThd") || (holds(0, "RIFF") && holds(8, "RMID"));
}

std::optional<OutputConflict> CheckOutputTarget(const std::filesystem::path& target,
                                                const FileIdentity& input)
{
    const std::string name = target.string();
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0) {
        return std::nullopt;
    }
    const FileIdentity identity{static_cast<std::uint64_t>(status.st_dev),
                                static_cast<std::uint64_t>(status.st_ino)};
    if (identity == input) {
        return OutputConflict{OutputConflict::Kind::IsTheInput,
                              name + ": is the file being listed, which would be overwritten"};
    }
    if (!S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    const OpenedForReading file(target);
    struct stat opened {};
    if (file.descriptor() < 0 || ::fstat(file.descriptor(), &opened) != 0) {
        return OutputConflict{
            OutputConflict::Kind::Uncheckable,
            name + ": cannot be read to tell whether it is a MIDI file: " + Reason(errno)};
    }
    if (!S_ISREG(opened.st_mode)) {
        return std::nullopt;
    }
    std::array<std::uint8_t, 12> first{};
    const ssize_t got = ::pread(file.descriptor(), first.data(), first.size(), 0);
    if (got < 0) {
        return OutputConflict{
            OutputConflict::Kind::Uncheckable,
            name + ": cannot be read to tell whether it is a MIDI file: " + Reason(errno)};
    }
    if (BeginsAMidiFile(std::span(first).first(static_cast<std::size_t>(got)))) {
        return OutputConflict{OutputConflict::Kind::IsAMidiFile, name + ": is a MIDI file"};
    }
    return std::nullopt;
}

} // namespace tracklens
