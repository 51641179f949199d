#include "ui/ListingModel.h"

#include <QBrush>
#include <algorithm>

namespace tracklens::ui {

ListingModel::ListingModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    alignments_.fill(Qt::AlignLeft | Qt::AlignVCenter);
}

int ListingModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_ - fixedRows_;
}

int ListingModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(kColumnCount);
}

QVariant ListingModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole: {
        // The blanks that fill the fixed-width columns are not drawn, so they are never elided.
        QString text = cellText(index.row() + fixedRows_, index.column());
        while (text.endsWith(u' ')) {
            text.chop(1);
        }
        if (text.size() > kLongestShownText) {
            return QString(text.left(kLongestShownText) + QChar(0x2026));
        }
        return text;
    }
    case FullTextRole:
    case Qt::ToolTipRole:
        return role == Qt::ToolTipRole && index.column() != static_cast<int>(Column::Value)
                   ? QVariant()
                   : QVariant(cellText(index.row() + fixedRows_, index.column()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignments_[static_cast<std::size_t>(index.column())]);
    case Qt::BackgroundRole:
        return QBrush(Qt::white);
    default:
        return {};
    }
}

QVariant ListingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(kColumnCount)) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return titles_[static_cast<std::size_t>(section)];
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

QString ListingModel::cellText(int gridRow, int column) const
{
    if (column < 0 || column >= static_cast<int>(kColumnCount) || gridRow < 0 || gridRow >= rows_) {
        return {};
    }
    const auto columnIndex = static_cast<std::size_t>(column);
    if (gridRow == 0 && fixedRows_ == 1) {
        return titles_[columnIndex];
    }
    if (gridRow >= 1 && gridRow <= tableRows_) {
        return QString::fromStdString(table_.storedCellText(static_cast<std::size_t>(gridRow - 1),
                                                            static_cast<Column>(column)));
    }
    const auto appended = std::find_if(appendedRows_.begin(), appendedRows_.end(),
                                       [gridRow](const auto& row) { return row.first == gridRow; });
    return appended == appendedRows_.end() ? QString() : appended->second[columnIndex];
}

void ListingModel::clearCells()
{
    beginResetModel();
    table_.ClearRows();
    tableRows_ = 0;
    appendedRows_.clear();
    titles_ = {};
    endResetModel();
}

void ListingModel::setRows(int rows)
{
    beginResetModel();
    rows_ = std::max(rows, fixedRows_);
    dropRowsFrom(rows_);
    endResetModel();
}

void ListingModel::setFixedRows(int fixedRows)
{
    beginResetModel();
    fixedRows_ = std::clamp(fixedRows, 0, std::min(1, rows_));
    endResetModel();
}

void ListingModel::appendRow(const RowTexts& texts)
{
    beginResetModel();
    appendedRows_.emplace_back(rows_, texts);
    ++rows_;
    endResetModel();
}

void ListingModel::setTitles(const RowTexts& titles)
{
    titles_ = titles;
    emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(kColumnCount) - 1);
}

void ListingModel::setColumnAlignment(int column, Qt::Alignment alignment)
{
    alignments_[static_cast<std::size_t>(column)] = alignment;
}

void ListingModel::adoptTable(EventTable&& table)
{
    beginResetModel();
    table_ = std::move(table);
    tableRows_ = std::min(static_cast<int>(table_.size()), rows_ - 1);
    std::erase_if(appendedRows_, [this](const auto& row) { return row.first <= tableRows_; });
    endResetModel();
}

void ListingModel::dropRowsFrom(int gridRow)
{
    std::erase_if(appendedRows_, [gridRow](const auto& row) { return row.first >= gridRow; });
    tableRows_ = std::min(tableRows_, gridRow - 1);
    if (tableRows_ <= 0) {
        table_.ClearRows();
        tableRows_ = 0;
    }
}

} // namespace tracklens::ui
