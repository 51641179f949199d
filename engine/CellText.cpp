#include "engine/CellText.h"

#include "engine/ChannelVoice.h"
#include "engine/ChunkFields.h"
#include "engine/Conversions.h"
#include "engine/MetaEvents.h"
#include "engine/SystemExclusive.h"
#include "engine/SystemMessages.h"

namespace tracklens {

namespace {

void AppendDescription(std::string& out, ByteSpan file, const Row& row)
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

void AppendValue(std::string& out, ByteSpan file, const Row& row)
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

} // namespace

void AppendCellText(std::string& out, ByteSpan file, const Row& row, Column column)
{
    if (row.kind == RowKind::ChannelVoice) {
        AppendChannelVoiceCellText(out, file, row, column);
        return;
    }
    const bool chunkRow = IsChunkRow(row.kind);
    switch (column) {
    case Column::AbsTick:
        if (!chunkRow) {
            AppendUnsigned(out, row.absTick);
        }
        break;
    case Column::DTime:
        if (!chunkRow) {
            AppendDeltaTimeText(out, file, row);
        }
        break;
    case Column::Event:
        AppendEventBytesText(out, file, row);
        break;
    case Column::Ch: // only channel messages have a channel
        break;
    case Column::Description:
        AppendDescription(out, file, row);
        break;
    case Column::Value:
        AppendValue(out, file, row);
        break;
    }
}

std::string CellText(ByteSpan file, const Row& row, Column column)
{
    std::string text;
    AppendCellText(text, file, row, column);
    return text;
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
