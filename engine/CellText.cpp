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

std::string CellText(ByteSpan file, const Row& row, Column column)
{
    return WrittenText(CellRoom(row), [&](TextCursor& out) { AppendCell(out, file, row, column); });
}

std::string StoredCellText(ByteSpan file, const Row& row, Column column)
{
    std::string text = CellText(file, row, column);
    const std::size_t width = FixedWidth(column);
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

} // namespace tracklens
