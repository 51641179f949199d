#include "cli/ColumnList.h"

#include <algorithm>
#include <optional>

namespace tracklens {

namespace {

std::optional<Column> ColumnNamed(std::string_view name)
{
    const auto match = std::find(kColumnNames.begin(), kColumnNames.end(), name);
    if (match == kColumnNames.end()) {
        return std::nullopt;
    }
    return static_cast<Column>(match - kColumnNames.begin());
}

std::string KnownNames()
{
    std::string names = "all";
    for (const Column column : kAllColumns) {
        names += ", ";
        names += kColumnNames[static_cast<std::size_t>(column)];
    }
    return names;
}

} // namespace

std::variant<std::vector<Column>, std::string> ParseColumnList(std::string_view list)
{
    if (list == "all") {
        return std::vector<Column>(kAllColumns.begin(), kAllColumns.end());
    }
    std::vector<Column> columns;
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        const std::optional<Column> column = ColumnNamed(name);
        if (!column) {
            return "--columns: unknown column '" + std::string(name) + "'; the columns are " +
                   KnownNames();
        }
        if (std::find(columns.begin(), columns.end(), *column) != columns.end()) {
            return "--columns: column '" + std::string(name) + "' is named twice";
        }
        columns.push_back(*column);
        if (comma == std::string_view::npos) {
            return columns;
        }
        list.remove_prefix(comma + 1);
    }
}

bool NeedsTimeMaps(const std::vector<Column>& columns)
{
    return std::any_of(columns.begin(), columns.end(), [](Column column) {
        return column == Column::Time || column == Column::Bar;
    });
}

} // namespace tracklens
