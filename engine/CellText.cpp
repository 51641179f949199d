#include "engine/CellText.h"

#include "engine/ChunkFields.h"
#include "engine/MetaEvents.h"
#include "engine/SystemExclusive.h"
#include "engine/SystemMessages.h"

namespace tracklens {

namespace {

// "Valore sconosciuto" for an unknown status, "Errore " and the code for a failure.
void AppendProblemDescription(TextCursor& out, const Row& row)
{
    const auto code = static_cast<ProblemCode>(row.detail);
    if (code == ProblemCode::UnknownStatus) {
        out += "Valore sconosciuto";
        return;
    }
    out += "Errore ";
    AppendDecimal(out, static_cast<std::uint8_t>(code));
}

} // namespace

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
    case RowKind::Problem:
        AppendProblemDescription(out, row);
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
    case RowKind::Problem:
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

std::optional<ShownBytes> BytesShownBy(ByteSpan file, const Row& row, Column column,
                                       const CellContext& context)
{
    if (column == Column::Event) {
        return ShownBytes{ShownBytes::Form::Hexadecimal, file.subspan(row.offset, row.length),
                          row.running ? std::optional<std::uint8_t>(row.status) : std::nullopt};
    }
    if (column == Column::Value && row.kind == RowKind::Meta) {
        if (const std::optional<ByteSpan> text = MetaText(file, row)) {
            const TextForm form = FormOf(*text, context.texts);
            return ShownBytes{ShownBytes::Form::Text, form.bytes, std::nullopt, form.encoding};
        }
    }
    return std::nullopt;
}

std::size_t AppendShownBytes(TextCursor& out, const ShownBytes& shown, ByteSpan bytes,
                             const CellContext& context, bool last)
{
    if (shown.form == ShownBytes::Form::Hexadecimal) {
        AppendHexBytes(out, bytes);
        return bytes.size();
    }
    return AppendTextForm(out, {shown.encoding, bytes}, context.texts, last);
}

std::size_t CellStartRoom(ByteSpan file, const Row& row, Column column, const CellContext& context,
                          std::size_t most)
{
    const std::optional<ShownBytes> shown = BytesShownBy(file, row, column, context);
    const bool cut = shown && shown->bytes.size() > most;
    return cut ? kPieceWidth + ShownBytesRoom(most) : CellRoom(file, row, column);
}

bool AppendCellStart(TextCursor& out, ByteSpan file, const Row& row, Column column,
                     const CellContext& context, std::size_t most)
{
    const std::optional<ShownBytes> shown = BytesShownBy(file, row, column, context);
    if (!shown || shown->bytes.size() <= most) {
        AppendCell(out, file, row, column, context);
        return false;
    }
    if (shown->leadingStatus) {
        AppendHexByte(out, *shown->leadingStatus);
    }
    AppendShownBytes(out, *shown, shown->bytes.first(most), context, false);
    return true;
}

std::string CellTextStart(ByteSpan file, const Row& row, Column column, const CellContext& context,
                          std::size_t most, bool& cut)
{
    return WrittenText(CellStartRoom(file, row, column, context, most), [&](TextCursor& out) {
        cut = AppendCellStart(out, file, row, column, context, most);
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
