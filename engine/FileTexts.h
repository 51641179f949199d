#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Bytes.h"
#include "engine/Row.h"
#include "engine/RowSink.h"
#include "engine/RunOutcome.h"
#include "engine/TextEncoding.h"
#include "engine/WalkPoint.h"

namespace tracklens {

// Where the data of every text event of a walk is, in the order listed: what Automatic's
// detector reads, each text followed by a line feed, in one piece.
class FileTexts {
public:
    // Notes the row if it is a text event.
    void note(ByteSpan file, const Row& row);

    std::string joined(ByteSpan file) const;

    // The encoding detected in the texts noted; Windows-1252 without decoders.
    TextEncoding detect(ByteSpan file, const TextDecoders* decoders) const;

private:
    struct Span {
        std::uint32_t offset;
        std::uint32_t length;
    };
    std::vector<Span> spans_;
};

// Notes the texts of a walk and keeps nothing else.
class TextCollector final : public RowSink {
public:
    static constexpr bool kHasItsOwnWalk = true;

    explicit TextCollector(ByteSpan file)
        : file_(file)
    {
    }
    void AddRow(const Row& row, std::size_t, const WalkPoint&) override
    {
        if (row.kind == RowKind::Meta) {
            texts_.note(file_, row);
        }
    }
    const FileTexts& texts() const { return texts_; }

private:
    ByteSpan file_;
    FileTexts texts_;
};

// The encoding a listing of the file reads its texts in: the choice, or under Automatic what a
// walk of its own finds in the file's texts.
TextChoice ChooseTexts(ByteSpan file, TextEncoding encoding, const TextDecoders* decoders,
                       WalkMode mode = WalkMode::StopAtProblem);

} // namespace tracklens
