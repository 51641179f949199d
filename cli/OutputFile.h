#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <span>
#include <streambuf>
#include <string>
#include <vector>

#include "engine/FileLoader.h"

namespace tracklens {

// A buffer that writes to a descriptor it does not own. The first write that fails is kept with
// the system's reason, and nothing is written after it.
class DescriptorBuffer final : public std::streambuf {
public:
    explicit DescriptorBuffer(int descriptor);

    int descriptor() const { return descriptor_; }
    // The errno of the first write that failed, or 0.
    int failure() const { return failure_; }
    // Writes out what is held; false once a write has failed.
    bool flushHeld();

protected:
    int_type overflow(int_type byte) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    bool writeAll(const char* text, std::size_t count);

    int descriptor_;
    int failure_ = 0;
    std::vector<char> held_;
};

// A stream over a descriptor that throws std::ios_base::failure at the first write that fails,
// so that whatever writes to it stops there; failureReason() then tells why, in the system's
// words ("No space left on device").
class DescriptorStream final : public std::ostream {
public:
    explicit DescriptorStream(int descriptor);
    DescriptorStream(const DescriptorStream&) = delete;
    DescriptorStream& operator=(const DescriptorStream&) = delete;

    // Writes out what is held; false once a write has failed.
    bool flushHeld() { return buffer_.flushHeld(); }
    bool failed() const { return buffer_.failure() != 0; }
    std::string failureReason() const;

private:
    DescriptorBuffer buffer_;
};

// A file written whole or not at all. What is written goes to a temporary file in the target's
// folder, which takes the target's name only when commit() succeeds: until then an older file of
// that name is left as it was, and a temporary file that is not committed is removed. A target
// that is a device or a FIFO (/dev/null, a pipe) cannot be replaced: it is written directly.
// A target reached by a symbolic link is replaced where the link leads; the link stays.
class OutputFile {
public:
    explicit OutputFile(const std::filesystem::path& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Why the output cannot be written, in one line that names the target; nothing when open.
    const std::optional<std::string>& refusal() const { return refusal_; }

    // What to write to; it throws std::ios_base::failure when a write fails.
    std::ostream& stream() { return *stream_; }

    // Writes out what is held, makes it durable and gives the file the target's name. The
    // one-line reason it could not, or nothing; after a failure the temporary file is gone.
    std::optional<std::string> commit();

    // The one-line reason the last write failed, naming the target.
    std::string writeFailure() const;

    // The temporary file, until it is committed or removed; empty when the target is written
    // in place. For a program that removes it should a signal end it.
    const std::filesystem::path& temporaryPath() const { return temporary_; }

private:
    void open();
    void openInPlace();
    void discard();
    std::optional<std::string> fail(const std::string& reason);

    std::filesystem::path target_;      // as given, for messages
    std::filesystem::path destination_; // where links lead
    std::filesystem::path temporary_;   // empty when written in place
    int descriptor_ = -1;
    std::optional<std::string> refusal_;
    std::optional<DescriptorStream> stream_;
};

// True for the first bytes of a MIDI file: "MThd", or "RIFF" of form "RMID".
bool BeginsAMidiFile(std::span<const std::uint8_t> firstBytes);

// Why a listing should not replace what is at its target.
struct OutputConflict {
    enum class Kind {
        IsTheInput,  // the file being listed, by any path or link: never replaced
        IsAMidiFile, // an existing MIDI file: replaced only when asked to
        Uncheckable, // an existing file that cannot be read to tell: the same
    };
    Kind kind;
    std::string message; // one line that names the target and says why
};

// Looks at what is at the target before anything is written; nothing when there is no conflict
// (nothing there, or a file that is neither the input nor a MIDI file).
std::optional<OutputConflict> CheckOutputTarget(const std::filesystem::path& target,
                                                const FileIdentity& input);

} // namespace tracklens
