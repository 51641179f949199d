#include "engine/FileTexts.h"

#include <optional>

#include "engine/EventWalkSteps.h"
#include "engine/MetaEvents.h"

namespace tracklens {

template class BasicEventWalk<TextCollector>;

void FileTexts::note(ByteSpan file, const Row& row)
{
    if (const std::optional<ByteSpan> text = MetaText(file, row)) {
        spans_.push_back({static_cast<std::uint32_t>(text->data() - file.data()),
                          static_cast<std::uint32_t>(text->size())});
    }
}

std::string FileTexts::joined(ByteSpan file) const
{
    std::size_t size = 0;
    for (const Span& span : spans_) {
        size += span.length + 1;
    }
    std::string texts;
    texts.reserve(size);
    for (const Span& span : spans_) {
        const ByteSpan text = file.subspan(span.offset, span.length);
        texts.append(text.begin(), text.end());
        texts += '\n';
    }
    return texts;
}

TextEncoding FileTexts::detect(ByteSpan file, const TextDecoders* decoders) const
{
    return decoders == nullptr ? TextEncoding::Windows1252 : decoders->detect(joined(file));
}

TextChoice ChooseTexts(ByteSpan file, TextEncoding encoding, const TextDecoders* decoders,
                       WalkMode mode)
{
    TextChoice choice{encoding, TextEncoding::Windows1252, decoders};
    if (encoding == TextEncoding::Automatic) {
        TextCollector collector(file);
        WalkFile(file, collector, mode);
        choice.detected = collector.texts().detect(file, decoders);
    }
    return choice;
}

} // namespace tracklens
