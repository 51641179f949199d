// tracklens-dump: the listing of a Standard MIDI File as TSV, CSV or JSON.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <climits>
#include <csignal>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <signal.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>
#include <variant>
#include <vector>

#include "cli/ColumnList.h"
#include "cli/FindingsWriter.h"
#include "cli/ListingWriter.h"
#include "cli/OutputFile.h"
#include "engine/EventWalk.h"
#include "engine/FileChecks.h"
#include "engine/FileLoader.h"
#include "engine/FileTexts.h"
#include "engine/MemoryBlock.h"
#include "engine/Program.h"
#include "engine/RelistPlan.h"
#include "engine/StandardDescriptors.h"
#include "engine/TimeMaps.h"
#include "memory/LargePageMemory.h"
#include "text/SystemTextDecoders.h"

namespace {

constexpr int kExitListed = 0;
constexpr int kExitRunEnded = 1;
constexpr int kExitUsage = 2;

constexpr const char* kProgram = "tracklens-dump";

// What the command line asks for.
struct DumpOptions {
    std::string inputPath;
    std::string outputPath; // empty: standard output
    tracklens::ListingFormat format = tracklens::ListingFormat::Tsv;
    std::vector<tracklens::Column> columns{tracklens::kListingColumns.begin(),
                                           tracklens::kListingColumns.end()};
    tracklens::TextEncoding encoding = tracklens::TextEncoding::Windows1252;
    bool force = false;
    bool keepGoing = false; // list past a track's problems
    bool check = false;     // write the findings of the checks instead of the listing
};

// The temporary file of -o, removed should a signal end the program before it takes OUT's name.
// A handler may use nothing but a plain array and calls that are safe in it.
std::array<char, PATH_MAX> gTemporaryFile{};

extern "C" void RemoveTemporaryFileAndEnd(int signalNumber)
{
    if (gTemporaryFile[0] != '\0') {
        unlink(gTemporaryFile.data());
    }
    // The handler was reset on entry: the signal ends the program as it would have.
    raise(signalNumber);
}

void RemoveOnSignal(const tracklens::OutputFile& file)
{
    const std::string path = file.temporaryPath().string();
    if (path.empty() || path.size() >= gTemporaryFile.size()) {
        return;
    }
    std::copy(path.begin(), path.end(), gTemporaryFile.begin());
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryFileAndEnd;
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction previous {};
        // A signal ignored by whoever started the program stays ignored.
        if (sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
            sigaction(signalNumber, &action, nullptr);
        }
    }
}

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

// The listing of the input, to out, which closeOutput then writes out whole; the exit status.
// A write that fails throws std::ios_base::failure out of the walk, or out of the writing of a
// planned listing, which ends there.
int List(tracklens::ByteSpan input, std::ostream& out, const DumpOptions& options,
         const std::function<std::optional<std::string>()>& closeOutput)
{
    std::unique_ptr<tracklens::ListingWriter> writer;
    tracklens::TimeMaps timeMaps;
    // The walk that gathers the maps also plans the listing, which then needs no walk of its own.
    std::optional<tracklens::RelistPlan> plan;
    const tracklens::WalkMode mode =
        options.keepGoing ? tracklens::WalkMode::KeepGoing : tracklens::WalkMode::StopAtProblem;
    try {
        // A row's time can depend on tempo events of a later track: its maps come first.
        if (NeedsTimeMaps(options.columns)) {
            plan.emplace(tracklens::ListingWriter::kPlanLimits);
            timeMaps = tracklens::GatherTimeMaps(input, mode,
                                                 tracklens::kSmallestFileGatheredInHalves, &*plan);
        }
        // Automatic reads every text of the file before it writes the first.
        const tracklens::CellContext context{
            &timeMaps, tracklens::ChooseTexts(input, options.encoding,
                                              &tracklens::SystemTextDecoders(), mode)};
        writer = tracklens::MakeListingWriter(options.format, input, out, options.columns, context);
        writer->writeTitles();
    } catch (const std::bad_alloc&) {
        // Not even the writer fits: the run fails where it would have begun, and no output is
        // left in place of an older one.
        tracklens::RunOutcome outOfMemory;
        outOfMemory.kind = tracklens::RunOutcome::Kind::Failure;
        outOfMemory.code = tracklens::FailureCode::OutOfMemory;
        outOfMemory.position = 1;
        ReportOutcome(outOfMemory);
        return kExitRunEnded;
    }
    std::optional<tracklens::WalkFor<tracklens::ListingWriter>> walk;
    tracklens::RunOutcome outcome;
    try {
        if (plan) {
            // The walk is over: should memory run out now, the listing is left as far as it got.
            outcome = plan->outcome();
            writer->writePlanned(*plan);
        } else {
            walk.emplace(input, *writer, mode);
            const tracklens::RunOutcome header = walk->readHeader();
            outcome = header.complete() ? walk->readChunks() : header;
            writer->finish(outcome);
        }
    } catch (const std::bad_alloc&) {
        // The rows found so far are out; there was no memory for the text of the rest.
        if (const std::optional<std::string> failure = closeOutput()) {
            return Refuse(*failure);
        }
        std::cerr << kProgram << ": out of memory while writing the listing\n";
        return kExitRunEnded;
    }
    if (const std::optional<std::string> failure = closeOutput()) {
        return Refuse(*failure);
    }
    const std::vector<tracklens::RunOutcome>& problems = plan ? plan->problems() : walk->problems();
    for (const tracklens::RunOutcome& problem : problems) {
        ReportOutcome(problem);
    }
    if (!outcome.complete()) {
        ReportOutcome(outcome);
        return kExitRunEnded;
    }
    return problems.empty() ? kExitListed : kExitRunEnded;
}

// The findings of the checks of the input, to out; the exit status.
int Check(tracklens::ByteSpan input, std::ostream& out, tracklens::ListingFormat format,
          const std::function<std::optional<std::string>()>& closeOutput)
{
    const tracklens::CheckResult result = tracklens::CheckFile(input);
    tracklens::WriteFindings(out, format, result.findings);
    if (const std::optional<std::string> failure = closeOutput()) {
        return Refuse(*failure);
    }
    if (!result.outcome.complete()) {
        ReportOutcome(result.outcome);
        return kExitRunEnded;
    }
    const bool error = std::any_of(result.findings.begin(), result.findings.end(),
                                   [](const tracklens::Finding& finding) {
                                       return finding.severity() == tracklens::Severity::Error;
                                   });
    return error ? kExitRunEnded : kExitListed;
}

int ListOrCheck(tracklens::ByteSpan input, std::ostream& out, const DumpOptions& options,
                const std::function<std::optional<std::string>()>& closeOutput)
{
    if (options.check) {
        return Check(input, out, options.format, closeOutput);
    }
    return List(input, out, options, closeOutput);
}

// Why the listing must not go to the named output, or nothing.
std::optional<std::string> OutputRefused(const std::string& outputPath,
                                         const tracklens::InputFile& input, bool force)
{
    const std::optional<tracklens::OutputConflict> conflict =
        tracklens::CheckOutputTarget(outputPath, input.identity());
    if (!conflict) {
        return std::nullopt;
    }
    if (conflict->kind == tracklens::OutputConflict::Kind::IsTheInput) {
        return conflict->message;
    }
    if (force) {
        return std::nullopt;
    }
    return conflict->message + "; give --force to replace it";
}

int Dump(const DumpOptions& options)
{
    const std::string& outputPath = options.outputPath;
    // Opened first, so that the output is checked against the very file that is read.
    tracklens::InputFile inputFile(options.inputPath);
    if (inputFile.refusal()) {
        return Refuse(*inputFile.refusal());
    }
    std::optional<tracklens::OutputFile> outputFile;
    if (!outputPath.empty()) {
        if (const std::optional<std::string> refusal =
                OutputRefused(outputPath, inputFile, options.force)) {
            return Refuse(*refusal);
        }
        outputFile.emplace(outputPath);
        if (outputFile->refusal()) {
            return Refuse(*outputFile->refusal());
        }
        RemoveOnSignal(*outputFile);
    }
    tracklens::FileBytes memory(&tracklens::LargePageMemory::instance());
    if (const std::optional<std::string> refusal =
            inputFile.readInto([&memory](std::size_t size) { return memory.makeRoom(size); })) {
        return Refuse(*refusal);
    }

    if (outputFile) {
        try {
            return ListOrCheck(memory.room(), outputFile->stream(), options,
                               [&outputFile] { return outputFile->commit(); });
        } catch (const std::ios_base::failure&) {
            return Refuse(outputFile->writeFailure());
        }
    }
    tracklens::DescriptorStream standardOutput(STDOUT_FILENO);
    const auto flushed = [&standardOutput]() -> std::optional<std::string> {
        if (standardOutput.flushHeld()) {
            return std::nullopt;
        }
        return "standard output: write failed: " + standardOutput.failureReason();
    };
    try {
        return ListOrCheck(memory.room(), standardOutput, options, flushed);
    } catch (const std::ios_base::failure&) {
        return Refuse("standard output: write failed: " + standardOutput.failureReason());
    }
}

// An argument that begins with '-' and is no option of this program: most likely a file name.
std::optional<std::string> DashedFileName(int argc, char** argv)
{
    constexpr std::string_view kOptions[] = {"--format", "--columns", "--encoding", "--output",
                                             "--force",  "--help",    "--version",  "--keep-going",
                                             "--check",  "-o",        "-h"};
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--") {
            break;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            continue;
        }
        const bool known = std::any_of(
            std::begin(kOptions), std::end(kOptions), [argument](std::string_view option) {
                return option.starts_with("--") ? argument.substr(0, argument.find('=')) == option
                                                : argument.starts_with(option);
            });
        if (!known) {
            return std::string(argument);
        }
    }
    return std::nullopt;
}

int Run(int argc, char** argv)
{
    CLI::App app{"Lists every header field, chunk and event of a Standard MIDI File.", kProgram};
    app.set_version_flag("--version",
                         std::string(kProgram) + " " + std::string(tracklens::kVersion));

    DumpOptions options;
    std::string formatName = "tsv";
    std::string columnList;
    const std::map<std::string, tracklens::ListingFormat> formats = {
        {"tsv", tracklens::ListingFormat::Tsv},
        {"csv", tracklens::ListingFormat::Csv},
        {"json", tracklens::ListingFormat::Json},
    };
    app.add_option("--format", formatName, "Output format: tsv (default), csv or json")
        ->check(CLI::IsMember({"tsv", "csv", "json"}));
    app.add_option("--columns", columnList,
                   "Columns to write, in this order, separated by commas: track, offset, tick, "
                   "time, bar, delta, event, channel, description, value; or all. Default: "
                   "tick,delta,event,channel,description,value")
        ->option_text("LIST");
    const std::map<std::string, tracklens::TextEncoding> encodings = {
        {"cp1252", tracklens::TextEncoding::Windows1252},
        {"utf-8", tracklens::TextEncoding::Utf8},
        {"shift-jis", tracklens::TextEncoding::ShiftJis},
        {"auto", tracklens::TextEncoding::Automatic},
    };
    std::string encodingName = "cp1252";
    app.add_option("--encoding", encodingName,
                   "How the texts of text events are read: cp1252 (Windows-1252, default), "
                   "utf-8, shift-jis (code page 932) or auto (detected once for the file)")
        ->check(CLI::IsMember({"cp1252", "utf-8", "shift-jis", "auto"}))
        ->option_text("ENC");
    app.add_option("-o,--output", options.outputPath,
                   "Write the listing to OUT instead of standard output")
        ->option_text("OUT");
    app.add_flag("--force", options.force, "Replace OUT even when it is a MIDI file");
    app.add_flag("--keep-going", options.keepGoing,
                 "List past the problems of a track: a row for each, the walk going on at the "
                 "next chunk or after the event");
    app.add_flag("--check", options.check,
                 "Write the problems found in the file (offset, track, tick, severity, code, "
                 "message) instead of the listing");
    app.add_option("FILE", options.inputPath, "The Standard MIDI File to list")->required();
    app.footer("OUT is written whole or not at all: to a temporary file beside it, which takes "
               "its name at the end. OUT may not be FILE itself, and an existing MIDI file is "
               "replaced only with --force.\n"
               "Exit status: 0 listed whole, 1 the listing stopped at an unknown status or a "
               "failure (its message on standard error), or --keep-going listed a problem, or "
               "--check found an error, 2 the file could not be read, the output could not be "
               "written or was refused, or the arguments are wrong.");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        if (const std::optional<std::string> name = DashedFileName(argc, argv)) {
            return Refuse(*name + ": no such option; use -- before a file name that begins with "
                                  "'-' (see --help)");
        }
        return Refuse(std::string(e.what()) + " (see --help)");
    }
    options.format = formats.at(formatName);
    options.encoding = encodings.at(encodingName);
    if (app.count("--columns") != 0) {
        auto columns = tracklens::ParseColumnList(columnList);
        if (const std::string* refusal = std::get_if<std::string>(&columns)) {
            return Refuse(*refusal + " (see --help)");
        }
        options.columns = std::get<std::vector<tracklens::Column>>(std::move(columns));
    }
    return Dump(options);
}

} // namespace

int main(int argc, char** argv)
{
    tracklens::OpenClosedStandardDescriptors();
    try {
        return Run(argc, argv);
    } catch (const std::logic_error& error) {
        std::cerr << kProgram << ": " << error.what() << '\n';
        return kExitRunEnded;
    } catch (const std::bad_alloc&) {
        // Written without taking memory, which has run out.
        constexpr std::string_view kOutOfMemory = "tracklens-dump: out of memory\n";
        [[maybe_unused]] const auto written =
            ::write(STDERR_FILENO, kOutOfMemory.data(), kOutOfMemory.size());
        return kExitRunEnded;
    }
}
