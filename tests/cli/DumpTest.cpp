// tracklens-dump run as a process: its output, its messages and its exit status.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "tests/support/Listing.h"
#include "tests/support/RunProgram.h"

namespace tracklens::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

    static ProgramRun dump(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), TRACKLENS_DUMP);
        return RunProgram(arguments);
    }

    fs::path dir_;
};

TEST_F(Dump, WritesEachFormatTsvUnlessTold)
{
    const std::string song = write("song.mid", kSmallSong);
    for (const ProgramRun& tsv : {dump({song}), dump({"--format", "tsv", song})}) {
        EXPECT_EQ(tsv.exitStatus, 0);
        EXPECT_EQ(tsv.out, kSmallSongTsv);
        EXPECT_EQ(tsv.err, "");
    }

    const ProgramRun csv = dump({"--format", "csv", song});
    EXPECT_EQ(csv.exitStatus, 0);
    EXPECT_EQ(csv.out.substr(0, 43), "Abs Tick,DTime,Event,Ch,Description,Value\r\n");
    EXPECT_NE(csv.out.find("\r\n0,00,C000,1,Patch,0:Acoustic Grand\r\n"), std::string::npos);

    const ProgramRun json = dump({"--format", "json", song});
    EXPECT_EQ(json.exitStatus, 0);
    const nlohmann::json listing = nlohmann::json::parse(json.out);
    EXPECT_EQ(listing["rows"], nlohmann::json(kSmallSongRows));
    EXPECT_EQ(listing["outcome"]["status"], "complete");
    EXPECT_EQ(listing["outcome"]["rows"], 12);
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
        const ProgramRun result = dump({write("stop.mid", c.file)});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.out.substr(0, std::string(kTitles).size()), kTitles);
        EXPECT_EQ(static_cast<std::size_t>(std::count(result.out.begin(), result.out.end(), '\n')),
                  c.rows + 1);
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(result.err.find('\r'), std::string::npos);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2);
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
        {song, song},
        {"-o", dir_ / "no-such-folder" / "out.tsv", song},
    };
    for (const std::vector<std::string>& arguments : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const ProgramRun result = dump(arguments);
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
    const ProgramRun result = dump({"-o", output, song});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadAll(output), kSmallSongTsv);
}

TEST_F(Dump, TellsItsUsageAndVersion)
{
    const ProgramRun help = dump({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* option : {"--format", "-o", "FILE", "--version"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    const ProgramRun version = dump({"--version"});
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

    const ProgramRun result = dump({"--format", "json", TESTREAD_MID});
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
