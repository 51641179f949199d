#pragma once

#include <ostream>
#include <span>

#include "cli/ListingFormat.h"
#include "engine/Findings.h"

namespace tracklens {

// The findings of the checks: TSV or CSV with a title line (Offset, Track, Tick, Severity, Code,
// Message), or JSON as {"findings":[{"offset":N,"track":N,"tick":N,...},...]} with null where a
// finding has no track or tick.
void WriteFindings(std::ostream& out, ListingFormat format, std::span<const Finding> findings);

} // namespace tracklens
