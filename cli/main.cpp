// tracklens-dump: the listing of a Standard MIDI File as TSV, CSV or JSON.

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <map>
#include <new>
#include <optional>
#include <string>

#include "cli/ListingWriter.h"
#include "engine/EventWalk.h"
#include "engine/FileLoader.h"
#include "engine/MemoryBlock.h"
#include "engine/Program.h"
#include "memory/LargePageMemory.h"

namespace {

constexpr int kExitListed = 0;
constexpr int kExitRunEnded = 1;
constexpr int kExitUsage = 2;

constexpr const char* kProgram = "tracklens-dump";

int Refuse(const std::string& reason)
{
    std::cerr << kProgram << ": " << reason << '\n';
    return kExitUsage;
}

// The message box's text, its CR LF line breaks as LF.
void ReportOutcome(const tracklens::RunOutcome& outcome)
{
    std::string text = tracklens::MessageFor(outcome).text;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    std::cerr << text << '\n';
}

int Dump(const std::string& inputPath, const std::string& outputPath,
         tracklens::ListingFormat format)
{
    tracklens::FileBytes memory(&tracklens::LargePageMemory::instance());
    const std::optional<std::string> refusal = tracklens::ReadWholeFileInto(
        inputPath, [&memory](std::size_t size) { return memory.makeRoom(size); });
    if (refusal) {
        return Refuse(*refusal);
    }
    const tracklens::ByteSpan input = memory.room();
    std::ofstream outputFile;
    if (!outputPath.empty()) {
        outputFile.open(outputPath, std::ios::binary | std::ios::trunc);
        if (!outputFile) {
            return Refuse(outputPath + ": cannot be written");
        }
    }
    std::ostream& out = outputPath.empty() ? std::cout : outputFile;

    const auto writer = tracklens::MakeListingWriter(format, input, out);
    writer->writeTitles();
    const tracklens::RunOutcome outcome = tracklens::WalkFile(input, *writer);
    try {
        writer->finish(outcome);
    } catch (const std::bad_alloc&) {
        // The rows found so far are out; there was no memory for the text of the rest.
        std::cerr << kProgram << ": out of memory while writing the listing\n";
        return kExitRunEnded;
    }
    if (!out) {
        return Refuse((outputPath.empty() ? std::string("standard output") : outputPath) +
                      ": write failed");
    }
    if (!outcome.complete()) {
        ReportOutcome(outcome);
        return kExitRunEnded;
    }
    return kExitListed;
}

} // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);

    CLI::App app{"Lists every header field, chunk and event of a Standard MIDI File.", kProgram};
    app.set_version_flag("--version",
                         std::string(kProgram) + " " + std::string(tracklens::kVersion));

    std::string inputPath;
    std::string outputPath;
    std::string formatName = "tsv";
    const std::map<std::string, tracklens::ListingFormat> formats = {
        {"tsv", tracklens::ListingFormat::Tsv},
        {"csv", tracklens::ListingFormat::Csv},
        {"json", tracklens::ListingFormat::Json},
    };
    app.add_option("--format", formatName, "Output format: tsv (default), csv or json")
        ->check(CLI::IsMember({"tsv", "csv", "json"}));
    app.add_option("-o,--output", outputPath, "Write the listing to OUT instead of standard output")
        ->option_text("OUT");
    app.add_option("FILE", inputPath, "The Standard MIDI File to list")->required();
    app.footer("Exit status: 0 listed whole, 1 the listing stopped at an unknown status or a "
               "failure (its message on standard error), 2 the file could not be read or the "
               "arguments are wrong.");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return Refuse(std::string(e.what()) + " (see --help)");
    }
    return Dump(inputPath, outputPath, formats.at(formatName));
}
