// tracklens-dump run as a process: its output, its messages and its exit status.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Listing.h"
#include "tests/support/RunProgram.h"

namespace tracklens::testing {
namespace {

namespace fs = std::filesystem;

// How a run through the shell ended, with what it wrote.
struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A path as one word of the shell.
std::string Quoted(const fs::path& path)
{
    std::string quoted = "'";
    for (const char c : path.string()) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

const char* const kSmallSongTsv = "Abs Tick\tDTime\tEvent\tCh\tDescription\tValue\n"
                                  "\t\t4D546864\t\tMThd\t\n"
                                  "\t\t00000006\t\tLunghezza\t6 bytes\n"
                                  "\t\t0000\t\tFormato\t0\n"
                                  "\t\t0001\t\tTracce\t1\n"
                                  "\t\t0060\t\tTPQN\t96\n"
                                  "\t\t4D54726B\t\tMTrk\t\n"
                                  "\t\t00000015\t\tLunghezza\t21 bytes\n"
                                  "0\t00\tFF510307A120\t\tSet Tempo\t120\n"
                                  "0\t00\tC000\t1\tPatch\t0:Acoustic Grand\n"
                                  "0\t00\t903C64\t1\tNotaON\tDo5 - 100\n"
                                  "96\t60\t903C00\t1\t+NotaOFF\tDo5\n"
                                  "96\t00\tFF2F00\t\tEnd of Track\t\n";

const char* const kTitles = "Abs Tick\tDTime\tEvent\tCh\tDescription\tValue\n";

class Dump : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("tracklens-dump-test-" + std::to_string(getpid()) + "-" + test->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, const Bytes& bytes)
    {
        const fs::path path = dir_ / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Standard output and error go to files of the folder, unless redirected otherwise.
    Result run(const std::string& program, const std::string& arguments,
               const std::string& redirections = "")
    {
        const fs::path out = dir_ / "stdout";
        const fs::path err = dir_ / "stderr";
        const std::string command = Quoted(program) + " " + arguments + " >" + Quoted(out) + " 2>" +
                                    Quoted(err) + " </dev/null " + redirections;
        const int raw = std::system(command.c_str());
        Result result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = ReadAll(out);
        result.err = ReadAll(err);
        return result;
    }

    Result dump(const std::string& arguments, const std::string& redirections = "")
    {
        return run(TRACKLENS_DUMP, arguments, redirections);
    }

    // The names in the folder, but for the captured streams.
    std::vector<std::string> folderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            const std::string name = entry.path().filename().string();
            if (name != "stdout" && name != "stderr") {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static ProgramRun dumpWith(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), TRACKLENS_DUMP);
        return RunProgram(arguments);
    }

    fs::path dir_;
};

TEST_F(Dump, WritesEachFormatTsvUnlessTold)
{
    const std::string song = write("song.mid", kSmallSong);
    for (const ProgramRun& tsv : {dumpWith({song}), dumpWith({"--format", "tsv", song})}) {
        EXPECT_EQ(tsv.exitStatus, 0);
        EXPECT_EQ(tsv.out, kSmallSongTsv);
        EXPECT_EQ(tsv.err, "");
    }

    const ProgramRun csv = dumpWith({"--format", "csv", song});
    EXPECT_EQ(csv.exitStatus, 0);
    EXPECT_EQ(csv.out.substr(0, 43), "Abs Tick,DTime,Event,Ch,Description,Value\r\n");
    EXPECT_NE(csv.out.find("\r\n0,00,C000,1,Patch,0:Acoustic Grand\r\n"), std::string::npos);

    const ProgramRun json = dumpWith({"--format", "json", song});
    EXPECT_EQ(json.exitStatus, 0);
    const nlohmann::json listing = nlohmann::json::parse(json.out);
    EXPECT_EQ(listing["rows"], nlohmann::json(kSmallSongRows));
    EXPECT_EQ(listing["outcome"]["status"], "complete");
    EXPECT_EQ(listing["outcome"]["rows"], 12);
}

// Columns chosen by name, in the order named; Time and Bar of the first track follow a tempo
// change in the second.
TEST_F(Dump, WritesTheColumnsNamedInTheirOrder)
{
    const std::string song =
        write("song.mid", Smf(1, 96, {Hex("00 903C40 60 803C00"), Hex("60 FF510303D090")}));
    const ProgramRun chosen = dumpWith({"--columns", "bar,value,offset,track,time", song});
    EXPECT_EQ(chosen.exitStatus, 0) << chosen.err;
    EXPECT_EQ(chosen.out, "Bar\tValue\tOffset\tTrack\tTime\n"
                          "\t\t00000000\t\t\n"
                          "\t6 bytes\t00000004\t\t\n"
                          "\t1\t00000008\t\t\n"
                          "\t2\t0000000A\t\t\n"
                          "\t96\t0000000C\t\t\n"
                          "\t\t0000000E\t1\t\n"
                          "\t8 bytes\t00000012\t1\t\n"
                          "1:1:000\tDo5 - 64\t00000016\t1\t0:00.000\n"
                          "1:2:000\tDo5\t0000001A\t1\t0:00.500\n"
                          "\t\t0000001E\t2\t\n"
                          "\t7 bytes\t00000022\t2\t\n"
                          "1:2:000\t240\t00000026\t2\t0:00.500\n");

    const ProgramRun all = dumpWith({"--format", "csv", "--columns", "all", song});
    EXPECT_EQ(all.exitStatus, 0) << all.err;
    EXPECT_TRUE(
        all.out.starts_with("Track,Offset,Abs Tick,Time,Bar,DTime,Event,Ch,Description,Value\r\n"))
        << all.out;
    EXPECT_NE(all.out.find("\r\n1,0000001A,96,0:00.500,1:2:000,60,803C00,1,NotaOFF,Do5\r\n"),
              std::string::npos)
        << all.out;

    const ProgramRun json = dumpWith({"--format", "json", "--columns", "track,time", song});
    EXPECT_EQ(nlohmann::json::parse(json.out)["columns"], nlohmann::json({"Track", "Time"}));
}

// The Value of every text event of a TSV listing, one a line.
std::string TextValues(const std::string& tsv)
{
    std::string values;
    std::istringstream lines(tsv);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("\tText\t") != std::string::npos ||
            line.find("\tTrack Name\t") != std::string::npos) {
            values += line.substr(line.rfind('\t') + 1) + "\n";
        }
    }
    return values;
}

TEST_F(Dump, ReadsTextsInTheEncodingChosen)
{
    // A track name and a text in Shift-JIS, and the same in UTF-8.
    const std::string shiftJis = write(
        "sjis.mid", Track("00 FF030C 82B382AD82E782B382AD82E7 00 FF010A 82B182F182C982BF82CD"));
    const std::string utf8 =
        write("utf8.mid", Track("00 FF0312 E38195E3818FE38289E38195E3818FE38289"
                                "00 FF0106 63697474C3A0"));
    const std::string kana = "\xE3\x81\x95\xE3\x81\x8F\xE3\x82\x89";
    const std::string hello = "\xE3\x81\x93\xE3\x82\x93\xE3\x81\xAB\xE3\x81\xA1\xE3\x81\xAF";
    const struct {
        std::vector<std::string> options;
        std::string file;
        std::string values;
    } cases[] = {
        {{},
         utf8,
         "\xC3\xA3\xC2\x81\xE2\x80\xA2\xC3\xA3\xC2\x81\xC2\x8F\xC3\xA3\xE2\x80\x9A\xE2\x80\xB0"
         "\xC3\xA3\xC2\x81\xE2\x80\xA2\xC3\xA3\xC2\x81\xC2\x8F\xC3\xA3\xE2\x80\x9A\xE2\x80\xB0\n"
         "citt\xC3\x83\xC2\xA0\n"},
        {{"--encoding", "cp1252"},
         shiftJis,
         "\xE2\x80\x9A\xC2\xB3\xE2\x80\x9A\xC2\xAD\xE2\x80\x9A\xC3\xA7\xE2\x80\x9A\xC2\xB3\xE2\x80"
         "\x9A\xC2\xAD"
         "\xE2\x80\x9A\xC3\xA7\n\xE2\x80\x9A\xC2\xB1\xE2\x80\x9A\xC3\xB1\xE2\x80\x9A\xC3\x89\xE2"
         "\x80\x9A"
         "\xC2\xBF\xE2\x80\x9A\xC3\x8D\n"},
        {{"--encoding", "utf-8"}, utf8, kana + kana + "\ncitt\xC3\xA0\n"},
        {{"--encoding", "shift-jis"}, shiftJis, kana + kana + "\n" + hello + "\n"},
        {{"--encoding", "auto"}, shiftJis, kana + kana + "\n" + hello + "\n"},
        {{"--encoding=auto"}, utf8, kana + kana + "\ncitt\xC3\xA0\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + (c.options.empty() ? "" : " " + c.options.back()));
        std::vector<std::string> arguments = c.options;
        arguments.push_back(c.file);
        const ProgramRun result = dumpWith(arguments);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(TextValues(result.out), c.values);
    }
    const ProgramRun refused = dumpWith({"--encoding", "latin1", utf8});
    EXPECT_EQ(refused.exitStatus, 2);
    EXPECT_NE(refused.err.find("--encoding"), std::string::npos) << refused.err;
}

TEST_F(Dump, ListsTheFileInsideAnRmidContainer)
{
    const std::string file =
        write("song.rmi", Concat({Hex("52494646 00000000 524D4944 64617461 2B000000"), kSmallSong,
                                  Hex("00 4C495354 04000000 494E464F")}));
    const ProgramRun result = dumpWith({"--columns", "track,offset,event,description,value", file});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_TRUE(SameLines("Track\tOffset\tEvent\tDescription\tValue\n"
                          "\t00000000\t52494646\tRIFF\t\n"
                          "\t00000004\t00000000\tLunghezza\t0 bytes\n"
                          "\t00000008\t524D4944\tRMID\t\n"
                          "\t0000000C\t64617461\tdata\t\n"
                          "\t00000010\t2B000000\tLunghezza\t43 bytes\n"
                          "\t00000014\t4D546864\tMThd\t\n"
                          "\t00000018\t00000006\tLunghezza\t6 bytes\n"
                          "\t0000001C\t0000\tFormato\t0\n"
                          "\t0000001E\t0001\tTracce\t1\n"
                          "\t00000020\t0060\tTPQN\t96\n"
                          "1\t00000022\t4D54726B\tMTrk\t\n"
                          "1\t00000026\t00000015\tLunghezza\t21 bytes\n"
                          "1\t0000002A\tFF510307A120\tSet Tempo\t120\n"
                          "1\t00000031\tC000\tPatch\t0:Acoustic Grand\n"
                          "1\t00000034\t903C64\tNotaON\tDo5 - 100\n"
                          "1\t00000038\t903C00\t+NotaOFF\tDo5\n"
                          "1\t0000003B\tFF2F00\tEnd of Track\t\n"
                          "\t00000040\t4C495354\tLIST\t\n"
                          "\t00000044\t04000000\tLunghezza\t4 bytes\n",
                          result.out));
}

TEST_F(Dump, ListsRowsBeforeAStopAndReportsItOnStandardError)
{
    const struct {
        const char* name;
        Bytes file;
        std::size_t rows;
        std::string err; // whole, or the first line of a failure
    } cases[] = {
        {"unknown status", Smf({{0x00, 0x90, 0x3C, 0x40, 0x00, 0xF4}}), 8,
         "Pos.28\nStatus 244 (F4) - Valore sconosciuto\n"},
        {"not a midi file",
         {'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E'},
         0,
         "Il file non \xC3\xA8 un Midifile standard !\nMThd mancante\n"},
        {"empty file", {}, 0, "Il file non \xC3\xA8 un Midifile standard !\nMThd mancante\n"},
        {"failure", Smf({{0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}}), 7, "Errore 11\n"},
        {"failure before any row", {'M', 'T', 'h', 'd', 0, 0, 0, 6}, 0, "Errore 5\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = write("stop.mid", c.file);
        const ProgramRun result = dumpWith({file});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.out.substr(0, std::string(kTitles).size()), kTitles);
        EXPECT_EQ(static_cast<std::size_t>(std::count(result.out.begin(), result.out.end(), '\n')),
                  c.rows + 1);
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(result.err.find('\r'), std::string::npos);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2);
        // Listed from the plan of the walk that gathers the time maps, the same end.
        const ProgramRun placed = dumpWith({"--columns", "all", file});
        EXPECT_EQ(placed.exitStatus, 1);
        EXPECT_EQ(placed.err, result.err);
        EXPECT_EQ(std::count(placed.out.begin(), placed.out.end(), '\n'),
                  std::count(result.out.begin(), result.out.end(), '\n'));
    }
}

TEST_F(Dump, RefusesWhatItCannotListWithOneLine)
{
    const std::string song = write("song.mid", kSmallSong);
    const std::vector<std::string> cases[] = {
        {dir_ / "missing.mid"},
        {dir_},
        {},
        {"--bogus", song},
        {"--format", "xml", song},
        {"--format", song},
        {"--columns", "tick,bogus", song},
        {"--columns", "tick,value,tick", song},
        {"--columns", "", song},
        {"--columns", "all,tick", song},
        {song, song},
        {"-o", dir_ / "no-such-folder" / "out.tsv", song},
    };
    for (const std::vector<std::string>& arguments : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const ProgramRun result = dumpWith(arguments);
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_EQ(result.out, "");
        ASSERT_GT(result.err.size(), 1u);
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1);
    }
}

TEST_F(Dump, WritesToTheNamedOutput)
{
    const std::string song = write("song.mid", kSmallSong);
    const fs::path output = dir_ / "listing.tsv";
    std::ofstream(output) << "older and longer content that must go\n";
    const ProgramRun result = dumpWith({"-o", output, song});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadAll(output), kSmallSongTsv);
}

// Whatever path leads to the file being listed, it is never written: refused before anything is,
// the file as it was, and nothing left beside it.
TEST_F(Dump, OutputThatIsTheInputIsRefusedWhateverPathLeadsThere)
{
    const fs::path song = write("song.mid", kSmallSong);
    fs::create_symlink("song.mid", dir_ / "link.mid");
    fs::create_hard_link(song, dir_ / "hard.mid");
    fs::create_directory(dir_ / "sub");
    const std::string outputs[] = {
        song.string(),
        (dir_ / "sub" / ".." / "song.mid").string(),
        (dir_ / "link.mid").string(),
        (dir_ / "hard.mid").string(),
    };
    for (const std::string& output : outputs) {
        for (const char* force : {"", "--force "}) {
            SCOPED_TRACE(force + output);
            const Result result =
                dump(force + std::string("-o ") + Quoted(output) + " " + Quoted(song));
            EXPECT_EQ(result.status, 2);
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(result.err, "tracklens-dump: " + output +
                                      ": is the file being listed, which would be overwritten\n");
            EXPECT_EQ(ReadAll(song), std::string(kSmallSong.begin(), kSmallSong.end()));
            EXPECT_EQ(folderNames(),
                      (std::vector<std::string>{"hard.mid", "link.mid", "song.mid", "sub"}));
        }
    }
}

// An existing output that is itself a MIDI file is replaced only when asked to: arguments given
// the wrong way round must not destroy a song.
TEST_F(Dump, ExistingMidiOutputIsReplacedOnlyWithForce)
{
    const fs::path song = write("song.mid", kSmallSong);
    const fs::path listing = write("listing.tsv", Bytes(kTitles, kTitles + 10));
    const struct {
        const char* name;
        std::string content;
        bool midi;
    } targets[] = {
        {"standard midi file", std::string(kSmallSong.begin(), kSmallSong.end()), true},
        {"header tag alone", "MThd", true},
        {"rmid", std::string("RIFF\x20\0\0\0RMIDdata", 16), true},
        {"riff of another form", std::string("RIFF\x20\0\0\0WAVEfmt ", 16), false},
        {"older listing", "Abs Tick\tolder and longer content that must go\n", false},
        {"shorter than a tag", "MTh", false},
    };
    for (const auto& target : targets) {
        for (const bool force : {false, true}) {
            SCOPED_TRACE(std::string(target.name) + (force ? " with --force" : ""));
            const fs::path output = dir_ / "out.mid";
            std::ofstream(output, std::ios::binary) << target.content;
            const Result result =
                dump((force ? "--force -o " : "-o ") + Quoted(output) + " " + Quoted(song));
            if (target.midi && !force) {
                EXPECT_EQ(result.status, 2);
                EXPECT_EQ(result.err, "tracklens-dump: " + output.string() +
                                          ": is a MIDI file; give --force to replace it\n");
                EXPECT_EQ(ReadAll(output), target.content);
            } else {
                EXPECT_EQ(result.status, 0) << result.err;
                EXPECT_EQ(ReadAll(output), kSmallSongTsv);
            }
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(folderNames(),
                      (std::vector<std::string>{"listing.tsv", "out.mid", "song.mid"}));
        }
    }

    // The input and the output given the wrong way round.
    const Result swapped = dump("-o " + Quoted(song) + " " + Quoted(listing));
    EXPECT_EQ(swapped.status, 2);
    EXPECT_EQ(ReadAll(song), std::string(kSmallSong.begin(), kSmallSong.end()));
}

TEST_F(Dump, OutputKeepsTheOlderFilesPermissionsAndWritesThroughALink)
{
    const fs::path song = write("song.mid", kSmallSong);
    const fs::path output = dir_ / "listing.tsv";
    std::ofstream(output) << "older\n";
    fs::permissions(output, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("listing.tsv", dir_ / "link.tsv");

    const Result result = dump("-o " + Quoted(dir_ / "link.tsv") + " " + Quoted(song));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.tsv"));
    EXPECT_EQ(ReadAll(output), kSmallSongTsv);
    EXPECT_EQ(fs::status(output).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folderNames(), (std::vector<std::string>{"link.tsv", "listing.tsv", "song.mid"}));
}

// The listing of a run that stops is a listing too: it replaces the older file whole.
TEST_F(Dump, OutputOfAStoppedRunIsWrittenWhole)
{
    const fs::path stop = write("stop.mid", Smf({{0x00, 0x90, 0x3C, 0x40, 0x00, 0xF4}}));
    const fs::path output = dir_ / "out.tsv";
    std::ofstream(output) << "older\n";
    const Result result = dump("-o " + Quoted(output) + " " + Quoted(stop));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Pos.28\nStatus 244 (F4) - Valore sconosciuto\n");
    const std::string listing = ReadAll(output);
    EXPECT_EQ(listing.substr(0, std::string(kTitles).size()), kTitles);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 9);
    EXPECT_EQ(folderNames(), (std::vector<std::string>{"out.tsv", "stop.mid"}));
}

// With standard error (or output) closed, the output must not take its descriptor: the message
// of a stop would land in the listing.
TEST_F(Dump, ClosedStandardDescriptorsReceiveNothingOfTheOutput)
{
    const fs::path stop = write("stop.mid", Smf({{0x00, 0x90, 0x3C, 0x40, 0x00, 0xF4}}));
    const fs::path output = dir_ / "out.tsv";
    for (const char* closed : {"2>&-", "1>&-", "1>&- 2>&-", "0<&- 1>&- 2>&-"}) {
        SCOPED_TRACE(closed);
        fs::remove(output);
        const Result result = dump("-o " + Quoted(output) + " " + Quoted(stop), closed);
        EXPECT_EQ(result.status, 1);
        const std::string listing = ReadAll(output);
        EXPECT_EQ(listing.substr(0, std::string(kTitles).size()), kTitles);
        EXPECT_EQ(listing.find("Valore sconosciuto"), std::string::npos) << listing;
        EXPECT_EQ(listing.back(), '\n');
        EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 9);
    }
}

TEST_F(Dump, WriteFailureOnStandardOutputSaysWhy)
{
    const fs::path song = write("song.mid", kSmallSong);
    for (const char* format : {"tsv", "csv", "json"}) {
        SCOPED_TRACE(format);
        const Result result =
            dump("--format " + std::string(format) + " " + Quoted(song), ">/dev/full");
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, "tracklens-dump: standard output: write failed: " +
                                  std::string(std::strerror(ENOSPC)) + "\n");
    }
}

// Written to a device, the output is written in place: the device stays.
TEST_F(Dump, OutputToADeviceIsWrittenInPlace)
{
    const fs::path song = write("song.mid", kSmallSong);
    const Result toNull = dump("-o /dev/null " + Quoted(song));
    EXPECT_EQ(toNull.status, 0) << toNull.err;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    const Result toFull = dump("-o /dev/full " + Quoted(song));
    EXPECT_EQ(toFull.status, 2);
    EXPECT_EQ(toFull.err, "tracklens-dump: /dev/full: write failed: " +
                              std::string(std::strerror(ENOSPC)) + "\n");
}

// A name that begins with a dash reads as an option: the message says how to name such a file.
TEST_F(Dump, FileNameThatBeginsWithADashIsExplained)
{
    write("-dash.mid", kSmallSong);
    const fs::path before = fs::current_path();
    fs::current_path(dir_); // the name is the file's name alone
    const std::string refused[] = {"-dash.mid", "--format csv -dash.mid", "-dash.mid -o out.tsv"};
    for (const std::string& arguments : refused) {
        SCOPED_TRACE(arguments);
        const Result result = dump(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "tracklens-dump: -dash.mid: no such option; use -- before a file "
                              "name that begins with '-' (see --help)\n");
    }
    const Result listed = dump("-- -dash.mid");
    fs::current_path(before);
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, kSmallSongTsv);
}

TEST_F(Dump, KeepGoingListsPastProblemsAndExitsOneWhenItListedAny)
{
    const struct {
        const char* name;
        Bytes file;
        int exitStatus;
        std::string err;
    } cases[] = {
        {"valid file", kSmallSong, 0, ""},
        {"two problems, in order",
         Smf({Hex("00 B08010 00 0764 00 F4"), Hex("00 FF5103000000 00FF2F00")}), 1,
         "Errore 9\nIndice fuori tabella: numero di controller o di programma oltre 127 (pos. "
         "25)\nPos.31\nStatus 244 (F4) - Valore sconosciuto\nErrore 11\nDivisione per zero: Set "
         "Tempo con tempo 0 (pos. 41)\n"},
        {"not a midi file", Hex("52494646 00000004 57415645"), 1,
         "Il file non \xC3\xA8 un Midifile standard !\nMThd mancante\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = write("file.mid", c.file);
        const ProgramRun result = dumpWith({"--keep-going", file});
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, WriteListing(ListingFormat::Tsv, c.file, WalkMode::KeepGoing));
        const ProgramRun placed = dumpWith({"--keep-going", "--columns", "all", file});
        EXPECT_EQ(placed.exitStatus, c.exitStatus);
        EXPECT_EQ(placed.err, c.err);
        EXPECT_EQ(placed.out,
                  WriteListing(ListingFormat::Tsv, c.file, WalkMode::KeepGoing, kAllColumns));
    }
    // Large enough for the maps walk in two halves and for both threads of the listing: a tempo
    // in the last track moves the first track's times, and a problem may end the last track.
    const Bytes notes = Concat({Hex("00 903C40"), RunningNotes(30000)});
    const Bytes lastTrack = Concat({Hex("00 FF5103 07A120"), notes});
    const struct {
        const char* end;
        int exitStatus;
    } ends[] = {{"00 FF2F00", 0}, {"00 F4 00 FF2F00", 1}};
    for (const auto& e : ends) {
        SCOPED_TRACE(e.end);
        const Bytes large = Smf({notes, notes, notes, Concat({lastTrack, Hex(e.end)})});
        const ProgramRun placed =
            dumpWith({"--keep-going", "--columns", "all", write("l.mid", large)});
        EXPECT_EQ(placed.exitStatus, e.exitStatus);
        EXPECT_TRUE(SameLines(
            WriteListing(ListingFormat::Tsv, large, WalkMode::KeepGoing, kAllColumns), placed.out));
    }
    const ProgramRun json =
        dumpWith({"--keep-going", "--format", "json", write("p.mid", Track("00 C080 00FF2F00"))});
    EXPECT_EQ(json.exitStatus, 1);
    EXPECT_EQ(nlohmann::json::parse(json.out)["rows"][7],
              nlohmann::json({"0", "00", "C080", "", "Errore 9", ""}));
}

TEST_F(Dump, CheckWritesTheFindingsAndExitsOneOnAnError)
{
    const struct {
        const char* name;
        Bytes file;
        int exitStatus;
        std::string out;
    } cases[] = {
        {"nothing found", Track("00 903C40 60 803C40 00FF2F00"), 0,
         "Offset\tTrack\tTick\tSeverity\tCode\tMessage\n"},
        {"a warning only", Track("00 903C40 00FF2F00"), 0,
         "Offset\tTrack\tTick\tSeverity\tCode\tMessage\n"
         "00000016\t1\t0\twarning\tnote-on-without-off\tNote On of key 60 on channel 1 is never "
         "switched off in its track\n"},
        {"an error", Concat({Header({.tracks = 2}), Chunk("MTrk", Hex("00 F4"))}), 1,
         "Offset\tTrack\tTick\tSeverity\tCode\tMessage\n"
         "0000000A\t\t\twarning\ttrack-count\tHeader says 2 tracks; the file has 1 MTrk chunks\n"
         "0000000E\t1\t\terror\tmissing-end-of-track\tTrack 1 has no End of Track\n"
         "00000016\t1\t0\terror\tunknown-status\tStatus byte F4 is not known\n"},
        {"not a midi file", Hex("52494646 00000004 57415645"), 1,
         "Offset\tTrack\tTick\tSeverity\tCode\tMessage\n"
         "00000000\t\t\terror\tnot-midi\tThe file does not begin with \"MThd\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun result = dumpWith({"--check", write("file.mid", c.file)});
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(dumpWith({"--check", (dir_ / "missing.mid").string()}).exitStatus, 2);
}

TEST_F(Dump, CheckWritesJsonWithNullWhereAFindingHasNoTrackOrTick)
{
    const ProgramRun result =
        dumpWith({"--check", "--format", "json",
                  write("file.mid",
                        Concat({Header({.tracks = 2}), Chunk("MTrk", Hex("00 C080 00FF2F00"))}))});
    EXPECT_EQ(result.exitStatus, 1);
    const nlohmann::json expected = nlohmann::json::parse(R"({"findings":[
        {"offset":10,"track":null,"tick":null,"severity":"warning","code":"track-count",
         "message":"Header says 2 tracks; the file has 1 MTrk chunks"},
        {"offset":22,"track":1,"tick":0,"severity":"error","code":"value-out-of-range",
         "message":"Program number 128 is above 127"},
        {"offset":22,"track":1,"tick":0,"severity":"error","code":"data-byte-high",
         "message":"Data byte 80 of status C0 is 0x80 or more"}]})");
    EXPECT_EQ(nlohmann::json::parse(result.out), expected);
    // A chunk's tag in a message is text of the file, written as UTF-8 like the listing's.
    const ProgramRun tag = dumpWith(
        {"--check", "--format", "json",
         write("tag.mid", Concat({Header({.tracks = 0}), Chunk("\xE8\xFF\x0A!", Hex("00"))}))});
    EXPECT_EQ(tag.exitStatus, 0) << tag.err;
    EXPECT_EQ(nlohmann::json::parse(tag.out)["findings"][0]["message"],
              "Chunk \"\u00E8\u00FF\n!\" is not an MTrk chunk and is skipped");
    // The keys in their order.
    EXPECT_NE(
        result.out.find(R"({"offset":10,"track":null,"tick":null,"severity":"warning","code":)"),
        std::string::npos);
}

TEST_F(Dump, TellsItsUsageAndVersion)
{
    const ProgramRun help = dumpWith({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* option : {"--format", "-o", "FILE", "--version"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    const ProgramRun version = dumpWith({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_NE(version.out.find("1.1.0"), std::string::npos);
}

TEST_F(Dump, BundledTestFileIsWhatItsGeneratorWritesAndListsWhole)
{
    const fs::path made = dir_ / "TestRead.mid";
    ASSERT_EQ(RunProgram({MAKE_TESTREAD, made}).exitStatus, 0);
    const std::string committed = ReadAll(TESTREAD_MID);
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(ReadAll(made) == committed) << "data/TestRead.mid differs from make-testread's";

    const ProgramRun result = dumpWith({"--format", "json", TESTREAD_MID});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "");
    const nlohmann::json listing = nlohmann::json::parse(result.out);
    EXPECT_EQ(listing["outcome"]["status"], "complete");
    EXPECT_EQ(listing["outcome"]["rows"], listing["rows"].size());
    std::string descriptions = "|";
    for (const auto& row : listing["rows"]) {
        descriptions += row[4].get<std::string>() + "|";
    }
    for (const char* family :
         {"|Set Tempo|", "|Time Signature|", "|Key Signature|", "|Track Name|", "|Patch|",
          "|Control|", "|NotaON|", "|+NotaOFF|", "|Pitch Bend|", "|Key Aftertouch|",
          "|Ch. Aftertouch|", "|SysEx (Roland)|", "|Proprietary|", "|End of Track|"}) {
        EXPECT_NE(descriptions.find(family), std::string::npos) << family;
    }
}

} // namespace
} // namespace tracklens::testing
