#include "engine/TextEncoding.h"

#include <algorithm>
#include <array>

#include "engine/Windows1252.h"

namespace tracklens {

namespace {

constexpr std::string_view kLatinTag = "{@LATIN}";
constexpr std::string_view kJapaneseTag = "{@JP}";
constexpr std::array<std::uint8_t, 3> kByteOrderMark = {0xEF, 0xBB, 0xBF};

bool BeginsWith(ByteSpan text, std::string_view start)
{
    return text.size() >= start.size() &&
           std::equal(start.begin(), start.end(), text.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

} // namespace

TextForm FormOf(ByteSpan text, const TextChoice& choice)
{
    if (choice.encoding != TextEncoding::Automatic) {
        return {choice.encoding, text};
    }
    if (BeginsWith(text, kLatinTag)) {
        return {TextEncoding::Windows1252, text};
    }
    if (BeginsWith(text, kJapaneseTag)) {
        return {TextEncoding::ShiftJis, text};
    }
    if (text.size() >= kByteOrderMark.size() &&
        std::equal(kByteOrderMark.begin(), kByteOrderMark.end(), text.begin())) {
        return {TextEncoding::Utf8, text.subspan(kByteOrderMark.size())};
    }
    return {choice.detected, text};
}

std::size_t AppendTextForm(TextCursor& out, const TextForm& form, const TextChoice& choice,
                           bool whole)
{
    const bool decoded =
        form.encoding == TextEncoding::Utf8 || form.encoding == TextEncoding::ShiftJis;
    if (!decoded || choice.decoders == nullptr) {
        AppendWindows1252(out, form.bytes);
        return form.bytes.size();
    }
    return choice.decoders->append(out, form.encoding, form.bytes, whole);
}

} // namespace tracklens
