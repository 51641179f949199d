#include "ui/ListingModel.h"

#include <algorithm>
#include <new>

#include "text/SystemTextDecoders.h"

namespace tracklens::ui {

namespace {

bool IsColumn(int column)
{
    return column >= 0 && column < static_cast<int>(kAllColumnCount);
}

QString TrimmedForScreen(QString text)
{
    // The blanks that fill the fixed-width columns are not drawn, so they are never elided.
    while (text.endsWith(u' ')) {
        text.chop(1);
    }
    if (text.size() > ListingModel::kLongestShownText) {
        text.truncate(ListingModel::kLongestShownText);
        text += QChar(0x2026);
    }
    return text;
}

} // namespace

ListingModel::ListingModel(QObject* parent)
    : QObject(parent)
{
    alignments_.fill(Qt::AlignLeft | Qt::AlignVCenter);
}

Qt::Alignment ListingModel::alignment(int column) const
{
    return IsColumn(column) ? alignments_[static_cast<std::size_t>(column)]
                            : Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QString ListingModel::title(int column) const
{
    return IsColumn(column) ? titles_[static_cast<std::size_t>(column)] : QString();
}

const ListingModel::RowTexts* ListingModel::appendedRow(int gridRow) const
{
    const auto appended = std::find_if(appendedRows_.begin(), appendedRows_.end(),
                                       [gridRow](const auto& row) { return row.first == gridRow; });
    return appended == appendedRows_.end() ? nullptr : &appended->second;
}

// The stored text of a cell of the table, no more of it than can be shown: a cell of a very
// large event is cut after the text of kMostShownBytes of its bytes. Should memory run out,
// the cell shows that something is missing rather than end the program.
QString ListingModel::tableCellText(std::size_t row, Column column) const
{
    try {
        if (FixedWidth(column) != 0) {
            return QString::fromStdString(table_.storedCellText(row, column));
        }
        bool cut = false;
        QString text =
            QString::fromStdString(table_.cellTextStart(row, column, kMostShownBytes, cut));
        if (cut) {
            text += QChar(0x2026);
        }
        return text;
    } catch (const std::bad_alloc&) {
        return QString(QChar(0x2026));
    }
}

std::int64_t ListingModel::tableRowOfGridRow(int gridRow) const
{
    if (shownRows_) {
        const std::int64_t dataRow = std::int64_t{gridRow} - fixedRows_;
        return dataRow >= 0 && dataRow < static_cast<std::int64_t>(shownRows_->size())
                   ? std::int64_t{(*shownRows_)[static_cast<std::size_t>(dataRow)]}
                   : -1;
    }
    return gridRow >= 1 && gridRow <= tableRows_ ? gridRow - 1 : -1;
}

std::int64_t ListingModel::tableRowOf(int dataRow) const
{
    return tableRowOfGridRow(dataRow + fixedRows_);
}

int ListingModel::dataRowAtOrAfter(std::int64_t tableRow) const
{
    if (!shownRows_) {
        return tableRow >= 0 && tableRow < tableRows_ ? static_cast<int>(tableRow) : -1;
    }
    const auto at = std::lower_bound(
        shownRows_->begin(), shownRows_->end(), tableRow,
        [](std::uint32_t shown, std::int64_t row) { return std::int64_t{shown} < row; });
    return at == shownRows_->end() ? -1 : static_cast<int>(at - shownRows_->begin());
}

void ListingModel::setShownRows(std::optional<std::vector<std::uint32_t>> rows)
{
    shownRows_ = std::move(rows);
    emit rowsChanged();
}

QString ListingModel::cellText(int gridRow, int column) const
{
    if (!IsColumn(column) || gridRow < 0) {
        return {};
    }
    if (gridRow == 0 && fixedRows_ == 1) {
        return titles_[static_cast<std::size_t>(column)];
    }
    if (const std::int64_t tableRow = tableRowOfGridRow(gridRow); tableRow >= 0) {
        return tableCellText(static_cast<std::size_t>(tableRow), static_cast<Column>(column));
    }
    if (shownRows_ || gridRow >= rows_) {
        return {};
    }
    const RowTexts* appended = appendedRow(gridRow);
    return appended == nullptr ? QString() : (*appended)[static_cast<std::size_t>(column)];
}

QString ListingModel::shownText(int dataRow, int column) const
{
    return TrimmedForScreen(cellText(dataRow + fixedRows_, column));
}

QString ListingModel::longestPlacingText(Column column) const
{
    return QString::fromStdString(table_.longestPlacingText(column));
}

std::string ListingModel::exportText(int dataRow, int column) const
{
    const int gridRow = dataRow + fixedRows_;
    if (const std::int64_t tableRow = tableRowOfGridRow(gridRow);
        IsColumn(column) && tableRow >= 0) {
        return table_.cellText(static_cast<std::size_t>(tableRow), static_cast<Column>(column));
    }
    // Rows appended as texts hold their stored form; the fill of a fixed-width column goes.
    QString text = cellText(gridRow, column);
    while (text.endsWith(u' ')) {
        text.chop(1);
    }
    return text.toStdString();
}

void ListingModel::clearCells()
{
    shownRows_.reset();
    table_.ClearRows();
    tableRows_ = 0;
    appendedRows_.clear();
    titles_ = {};
    emit titlesChanged();
    emit rowsChanged();
    emit tableChanged();
}

void ListingModel::setRows(int rows)
{
    shownRows_.reset();
    rows_ = std::max({rows, fixedRows_, 0});
    dropRowsFrom(rows_);
    emit rowsChanged();
}

void ListingModel::setFixedRows(int fixedRows)
{
    fixedRows_ = std::clamp(fixedRows, 0, std::min(1, rows_));
    emit rowsChanged();
}

void ListingModel::appendRow(const RowTexts& texts)
{
    appendedRows_.emplace_back(rows_, texts);
    ++rows_;
    emit rowsChanged();
}

void ListingModel::setTitles(const RowTexts& titles)
{
    titles_ = titles;
    emit titlesChanged();
}

void ListingModel::setColumnAlignment(int column, Qt::Alignment alignment)
{
    if (IsColumn(column)) {
        alignments_[static_cast<std::size_t>(column)] = alignment;
    }
}

void ListingModel::adoptTable(EventTable&& table)
{
    shownRows_.reset();
    table_ = std::move(table);
    table_.setTextEncoding(textEncoding_, &SystemTextDecoders());
    tableRows_ = static_cast<int>(
        std::min<std::size_t>(table_.size(), static_cast<std::size_t>(std::max(rows_ - 1, 0))));
    std::erase_if(appendedRows_, [this](const auto& row) { return row.first <= tableRows_; });
    emit rowsChanged();
    emit tableChanged();
}

void ListingModel::setTextEncoding(TextEncoding encoding)
{
    textEncoding_ = encoding;
    table_.setTextEncoding(encoding, &SystemTextDecoders());
    emit rowsChanged();
}

void ListingModel::dropRowsFrom(int gridRow)
{
    std::erase_if(appendedRows_, [gridRow](const auto& row) { return row.first >= gridRow; });
    tableRows_ = std::min(tableRows_, gridRow - 1);
    if (tableRows_ <= 0) {
        const bool held = !table_.empty();
        table_.ClearRows();
        tableRows_ = 0;
        if (held) {
            emit tableChanged();
        }
    }
}

bool ListingModel::isProblemRow(int dataRow) const
{
    const int gridRow = dataRow + fixedRows_;
    return gridRow >= 1 && gridRow <= tableRows_ &&
           table_.row(static_cast<std::size_t>(gridRow - 1)).kind == RowKind::Problem;
}

int ListingModel::dataRowAt(std::uint64_t offset) const
{
    if (tableRows_ <= 0) {
        return -1;
    }
    // The rows begin at offsets that only grow: the first row that begins after it, less one.
    std::size_t low = 0;
    auto high = static_cast<std::size_t>(tableRows_);
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const Row row = table_.row(middle);
        if (std::uint64_t{row.offset} - row.deltaLength <= offset) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return std::max(static_cast<int>(low) - fixedRows_, 0);
}

} // namespace tracklens::ui
