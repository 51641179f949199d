#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/Row.h"

namespace tracklens {

// The columns a command line asks for: their names separated by commas, in the order wanted,
// each at most once, or "all" for every column. Gives the columns, or why the list is refused.
std::variant<std::vector<Column>, std::string> ParseColumnList(std::string_view list);

// Whether any of the columns needs the time maps of the whole file.
bool NeedsTimeMaps(const std::vector<Column>& columns);

} // namespace tracklens
