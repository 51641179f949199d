#include "engine/CellText.h"

#include "engine/ChunkFields.h"
#include "engine/MetaEvents.h"
#include "engine/SystemExclusive.h"
#include "engine/SystemMessages.h"

namespace tracklens {

void AppendOtherDescription(TextCursor& out, ByteSpan file, const Row& row)
{
    switch (row.kind) {
    case RowKind::SystemExclusive:
    case RowKind::SysExEscape:
        AppendSystemExclusiveDescription(out, row);
        break;
    case RowKind::SystemMessage:
        AppendSystemMessageDescription(out, row);
        break;
    case RowKind::Meta:
        AppendMetaDescription(out, file, row);
        break;
    default:
        AppendChunkDescription(out, file, row);
        break;
    }
}

void AppendOtherValue(TextCursor& out, ByteSpan file, const Row& row)
{
    switch (row.kind) {
    case RowKind::SystemExclusive:
    case RowKind::SysExEscape:
        AppendSystemExclusiveValue(out, row);
        break;
    case RowKind::SystemMessage:
        AppendSystemMessageValue(out, file, row);
        break;
    case RowKind::Meta:
        AppendMetaValue(out, file, row);
        break;
    default:
        AppendChunkValue(out, file, row);
        break;
    }
}

std::string CellText(ByteSpan file, const Row& row, Column column, const CellContext& context)
{
    return WrittenText(CellRoom(file, row, column),
                       [&](TextCursor& out) { AppendCell(out, file, row, column, context); });
}

std::optional<ShownBytes> BytesShownBy(ByteSpan file, const Row& row, Column column)
{
    if (column == Column::Event) {
        return ShownBytes{ShownBytes::Form::Hexadecimal, file.subspan(row.offset, row.length),
                          row.running ? std::optional<std::uint8_t>(row.status) : std::nullopt};
    }
    if (column == Column::Value && row.kind == RowKind::Meta) {
        if (const std::optional<ByteSpan> text = MetaText(file, row)) {
            return ShownBytes{ShownBytes::Form::Windows1252, *text, std::nullopt};
        }
    }
    return std::nullopt;
}

void AppendShownBytes(TextCursor& out, ShownBytes::Form form, ByteSpan bytes)
{
    if (form == ShownBytes::Form::Hexadecimal) {
        AppendHexBytes(out, bytes);
    } else {
        AppendWindows1252(out, bytes);
    }
}

std::string CellTextStart(ByteSpan file, const Row& row, Column column, const CellContext& context,
                          std::size_t most, bool& cut)
{
    const std::optional<ShownBytes> shown = BytesShownBy(file, row, column);
    cut = shown && shown->bytes.size() > most;
    if (!cut) {
        return CellText(file, row, column, context);
    }
    return WrittenText(kPieceWidth + ShownBytesRoom(most), [&](TextCursor& out) {
        if (shown->leadingStatus) {
            AppendHexByte(out, *shown->leadingStatus);
        }
        AppendShownBytes(out, shown->form, shown->bytes.first(most));
    });
}

std::string StoredCellText(ByteSpan file, const Row& row, Column column, const CellContext& context)
{
    std::string text = CellText(file, row, column, context);
    const std::size_t width = FixedWidth(column);
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

} // namespace tracklens
