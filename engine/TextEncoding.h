#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/Bytes.h"
#include "engine/TextCursor.h"

namespace tracklens {

// How the data of text meta events is read. Windows-1252 is the listing as it always was, one
// character per byte; Automatic lets a detector choose one of the other three once per file.
enum class TextEncoding : std::uint8_t {
    Windows1252,
    Utf8,
    ShiftJis,
    Automatic,
};

// Every character of the listing, in any encoding, takes at most this many bytes of UTF-8 for
// each byte of the file it comes from: a Windows-1252 byte of 0x80 or more, a half-width katakana
// of Shift-JIS (one byte, three of UTF-8). Valid UTF-8 keeps its length, and a double-byte
// Shift-JIS character takes at most three.
inline constexpr std::size_t kLongestDecodedByte = 3;

// What reads texts in UTF-8 and Shift-JIS and detects a file's encoding: libraries of the system
// that the engine, which keeps to the standard library, reaches only through this interface.
class TextDecoders {
public:
    virtual ~TextDecoders() = default;

    // Appends the characters of bytes read as UTF-8 or Shift-JIS (never Windows-1252 or
    // Automatic), into room of kLongestDecodedByte for each byte. A byte that begins no valid
    // character is shown as Windows-1252 shows it and the byte after it is read afresh. Unless
    // whole, a character that the bytes end in the middle of is left for the next piece. Gives
    // the bytes used.
    virtual std::size_t append(TextCursor& out, TextEncoding encoding, ByteSpan bytes,
                               bool whole) const = 0;

    // The encoding of texts, each followed by a line feed: UTF-8, Shift-JIS or, for any other
    // answer or none, Windows-1252.
    virtual TextEncoding detect(std::string_view texts) const = 0;

protected:
    TextDecoders() = default;
    TextDecoders(const TextDecoders&) = default;
    TextDecoders& operator=(const TextDecoders&) = default;
};

// The encoding chosen for a listing, what Automatic detected in its file, and the decoders for
// UTF-8 and Shift-JIS. Without decoders every text reads as Windows-1252.
struct TextChoice {
    TextEncoding encoding = TextEncoding::Windows1252;
    TextEncoding detected = TextEncoding::Windows1252;
    const TextDecoders* decoders = nullptr;
};

// One text event's data as it is to be read: in one of the three fixed encodings, after the tags
// and byte-order mark that Automatic looks for.
struct TextForm {
    TextEncoding encoding;
    ByteSpan bytes;
};

// Under Automatic, "{@LATIN}" and "{@JP}" at the start choose Windows-1252 and Shift-JIS (the
// tag stays in the text) and the UTF-8 byte-order mark chooses UTF-8 (the mark is dropped);
// otherwise the file's detected encoding holds. A fixed choice reads every byte as it is.
TextForm FormOf(ByteSpan text, const TextChoice& choice);

// Appends a text in its form; with whole false, a character cut at the end is left over. Gives
// the bytes used.
std::size_t AppendTextForm(TextCursor& out, const TextForm& form, const TextChoice& choice,
                           bool whole = true);

} // namespace tracklens
