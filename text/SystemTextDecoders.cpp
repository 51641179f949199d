#include "text/SystemTextDecoders.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <uchardet/uchardet.h>

#include "engine/Windows1252.h"

namespace tracklens {

namespace {

// One conversion of iconv into UTF-32 of the machine's order, whose code points are then
// written as UTF-8: iconv's own UTF-8 to UTF-8 copies the bytes without checking them.
class Converter {
public:
    explicit Converter(const char* from)
        : handle_(iconv_open("UTF-32LE", from))
    {
        if (handle_ == kNoHandle) {
            throw std::runtime_error(std::string("iconv cannot read ") + from);
        }
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::size_t append(TextCursor& out, ByteSpan bytes, bool whole);

private:
    static inline const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);
    static constexpr std::size_t kCodePoints = 256;

    void flush(TextCursor& out, std::size_t count);

    iconv_t handle_;
    std::array<char, 4 * kCodePoints> decoded_{};
};

void AppendCodePoint(TextCursor& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

void Converter::flush(TextCursor& out, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(decoded_.data() + 4 * i);
        AppendCodePoint(out, char32_t{bytes[0]} | char32_t{bytes[1]} << 8 |
                                 char32_t{bytes[2]} << 16 | char32_t{bytes[3]} << 24);
    }
}

std::size_t Converter::append(TextCursor& out, ByteSpan bytes, bool whole)
{
    out.markFileText();
    // iconv's interface takes the input as char* without writing to it.
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* decoded = decoded_.data();
        std::size_t room = decoded_.size();
        const std::size_t result = iconv(handle_, &in, &inLeft, &decoded, &room);
        const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
        flush(out, static_cast<std::size_t>(decoded - decoded_.data()) / 4);
        if (error == 0 || error == E2BIG) {
            continue;
        }
        if (error == EINVAL && !whole) {
            break; // the rest of a character comes with the next piece
        }
        // A byte that begins no valid character, or a character cut by the end of the text.
        AppendWindows1252(out, ByteSpan(reinterpret_cast<const std::uint8_t*>(in), 1));
        ++in;
        --inLeft;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    return bytes.size() - inLeft;
}

// iconv's conversions may not be used by two threads at once: each thread has its own.
Converter& ConverterFor(TextEncoding encoding)
{
    thread_local Converter utf8("UTF-8");
    thread_local Converter shiftJis("CP932");
    return encoding == TextEncoding::ShiftJis ? shiftJis : utf8;
}

struct DetectorDeleter {
    void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

class LibraryDecoders final : public TextDecoders {
public:
    std::size_t append(TextCursor& out, TextEncoding encoding, ByteSpan bytes,
                       bool whole) const override
    {
        return ConverterFor(encoding).append(out, bytes, whole);
    }

    TextEncoding detect(std::string_view texts) const override
    {
        const std::unique_ptr<uchardet, DetectorDeleter> detector(uchardet_new());
        if (!detector || uchardet_handle_data(detector.get(), texts.data(), texts.size()) != 0) {
            return TextEncoding::Windows1252;
        }
        uchardet_data_end(detector.get());
        const char* charset = uchardet_get_charset(detector.get());
        const std::string_view answer = charset == nullptr ? "" : charset;
        if (answer == "UTF-8") {
            return TextEncoding::Utf8;
        }
        if (answer == "SHIFT_JIS") {
            return TextEncoding::ShiftJis;
        }
        return TextEncoding::Windows1252;
    }
};

} // namespace

const TextDecoders& SystemTextDecoders()
{
    static const LibraryDecoders decoders;
    return decoders;
}

} // namespace tracklens
