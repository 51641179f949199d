#include "cli/FindingsWriter.h"

#include <array>
#include <nlohmann/json.hpp>
#include <string>

#include "engine/Conversions.h"

namespace tracklens {

namespace {

constexpr std::array<std::string_view, 6> kFindingTitles = {"Offset",   "Track", "Tick",
                                                            "Severity", "Code",  "Message"};

std::string OffsetText(std::uint64_t offset)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += HexByte(static_cast<std::uint8_t>(offset >> shift));
    }
    return text;
}

std::array<std::string, 6> Cells(const Finding& finding)
{
    return {OffsetText(finding.place.offset),
            finding.place.track != 0 ? DecimalText(finding.place.track) : std::string(),
            finding.place.tick ? DecimalText(*finding.place.tick) : std::string(),
            std::string(SeverityName(finding.severity())),
            std::string(KindOf(finding.code).name),
            finding.message};
}

void WriteLines(std::ostream& out, ListingFormat format, std::span<const Finding> findings)
{
    const bool csv = format == ListingFormat::Csv;
    const char* separator = csv ? "," : "\t";
    const char* lineEnd = csv ? "\r\n" : "\n";
    std::string line;
    const auto writeLine = [&](const auto& cells) {
        line.clear();
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i != 0) {
                line += separator;
            }
            if (csv) {
                AppendCsvField(line, cells[i]);
            } else {
                AppendTsvEscaped(line, cells[i]);
            }
        }
        line += lineEnd;
        out << line;
    };
    writeLine(kFindingTitles);
    for (const Finding& finding : findings) {
        writeLine(Cells(finding));
    }
}

void WriteJson(std::ostream& out, std::span<const Finding> findings)
{
    out << "{\"findings\":[";
    bool first = true;
    for (const Finding& finding : findings) {
        nlohmann::ordered_json object;
        object["offset"] = finding.place.offset;
        object["track"] = finding.place.track != 0 ? nlohmann::ordered_json(finding.place.track)
                                                   : nlohmann::ordered_json(nullptr);
        object["tick"] = finding.place.tick ? nlohmann::ordered_json(*finding.place.tick)
                                            : nlohmann::ordered_json(nullptr);
        object["severity"] = SeverityName(finding.severity());
        object["code"] = KindOf(finding.code).name;
        object["message"] = finding.message;
        out << (first ? "\n" : ",\n") << object.dump();
        first = false;
    }
    out << "\n]}\n";
}

} // namespace

void WriteFindings(std::ostream& out, ListingFormat format, std::span<const Finding> findings)
{
    if (format == ListingFormat::Json) {
        WriteJson(out, findings);
    } else {
        WriteLines(out, format, findings);
    }
}

} // namespace tracklens
