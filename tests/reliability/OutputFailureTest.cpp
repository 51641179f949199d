// tracklens-dump's output when the disk fills up: an older file stays whole, nothing is left
// beside it, and the message says why.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/RunProgram.h"

namespace tracklens::testing {
namespace {

namespace fs = std::filesystem;

const std::string kDump = TRACKLENS_DUMP_PROGRAM;
// Room for a part of the listing, and for the messages on the standard streams.
constexpr rlim_t kRoom = 64 * 1024;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A Standard MIDI File of one track of notes under running status, whose listing takes many
// times the room.
std::string ManyNotes(std::uint32_t notes)
{
    std::string body = std::string("\x00\x90\x3C\x40", 4);
    for (std::uint32_t note = 1; note < notes; ++note) {
        body += std::string("\x00\x3C\x40", 3);
    }
    body += std::string("\x00\xFF\x2F\x00", 4);
    const auto size = static_cast<std::uint32_t>(body.size());
    std::string file = std::string("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk", 18);
    for (int shift = 24; shift >= 0; shift -= 8) {
        file += static_cast<char>((size >> shift) & 0xFF);
    }
    return file + body;
}

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tracklens-full-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder");
        }
        dir_ = pattern;
        std::ofstream(dir_ / "song.mid", std::ios::binary) << ManyNotes(20'000);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    fs::path dir_;
};

TEST_F(FullDisk, OutputThatDoesNotFitLeavesTheOlderFileWholeAndSaysWhy)
{
    const fs::path output = dir_ / "listing.out";
    const std::string older = "an older listing, which must survive\n";
    for (const char* format : {"tsv", "csv", "json"}) {
        for (const bool existing : {true, false}) {
            SCOPED_TRACE(std::string(format) + (existing ? ", over an older file" : ", new"));
            fs::remove(output);
            if (existing) {
                std::ofstream(output) << older;
            }
            ProgramOptions options;
            options.fileSizeLimit = kRoom;
            const ProgramRun run = RunProgram(
                {kDump, "--format", format, "-o", output.string(), (dir_ / "song.mid").string()},
                options);
            ASSERT_TRUE(run.exited) << run.err;
            EXPECT_EQ(run.exitStatus, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, "tracklens-dump: " + output.string() +
                                   ": write failed: " + std::strerror(EFBIG) + "\n");
            EXPECT_EQ(fs::exists(output), existing);
            if (existing) {
                EXPECT_TRUE(ReadAll(output) == older) << "the older file was changed";
            }
            const std::vector<std::string> left =
                existing ? std::vector<std::string>{"listing.out", "song.mid"}
                         : std::vector<std::string>{"song.mid"};
            EXPECT_EQ(names(), left);
        }
    }
}

// The same listing with room enough is written whole, as a check that the limit is what fails.
TEST_F(FullDisk, OutputThatFitsIsWrittenWhole)
{
    const fs::path output = dir_ / "listing.tsv";
    ProgramOptions options;
    options.fileSizeLimit = 64 * 1024 * 1024;
    const ProgramRun run =
        RunProgram({kDump, "-o", output.string(), (dir_ / "song.mid").string()}, options);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const std::string listing = ReadAll(output);
    EXPECT_GT(listing.size(), kRoom);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 1 + 7 + 20'000 + 1);
}

// Runs the program under limits of memory from least to most, a step apart: each run lists the
// file, refuses it (exit status 2), or ends in failure 7 with its message and the start of the
// whole listing (status 1), none crashes; the limits go from too little for anything to enough
// for the whole listing.
void SweepMemoryLimits(const std::vector<std::string>& arguments, rlim_t least, rlim_t most,
                       rlim_t step)
{
    const ProgramRun whole = RunProgram(arguments);
    ASSERT_EQ(whole.exitStatus, 0);
    std::vector<int> statuses;
    for (rlim_t limit = least; limit <= most; limit += step) {
        SCOPED_TRACE(limit / 1024);
        ProgramOptions options;
        options.memoryLimit = limit;
        const ProgramRun run = RunProgram(arguments, options);
        // Too little for the program and its libraries to be loaded at all (127), or for the
        // static objects of its libraries to be made before main(), whose failure the C++
        // runtime ends at once: the program did not start.
        if (run.exitStatus == 127 ||
            (!run.exited && run.out.empty() &&
             run.err == "terminate called without an active exception\n")) {
            continue;
        }
        ASSERT_TRUE(run.exited) << run.err;
        ASSERT_LE(run.exitStatus, 2) << run.err;
        if (run.exitStatus == 1) {
            EXPECT_TRUE(run.err.starts_with("Errore 7\n") ||
                        run.err.starts_with("tracklens-dump: out of memory"))
                << run.err;
            EXPECT_EQ(run.err.find("(pos. 0)"), std::string::npos) << run.err;
            EXPECT_TRUE(whole.out.starts_with(run.out)) << run.out.size() << " bytes written";
            EXPECT_TRUE(run.out.empty() || run.out.ends_with('\n'));
        }
        statuses.push_back(run.exitStatus);
    }
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), 2), statuses.end());
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), 0), statuses.end());
}

// However little memory there is, tracklens-dump ends by itself. The limit is the program's
// address space, where its libraries, its threads' stacks and the file's bytes take most.
TEST(LittleMemory, EndsTheListingInFailureSevenOrARefusalNeverInACrash)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's shadow memory does not fit under a limit of memory";
#endif
    const fs::path dir =
        fs::temp_directory_path() / ("tracklens-memory-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path song = dir / "song.mid";
    std::ofstream(song, std::ios::binary) << ManyNotes(300000);
    constexpr rlim_t kMiB = 1024 * 1024;
    // The listing of every column is written from the plan of the walk that gathers the maps:
    // memory that runs out while its lines are written leaves it as far as it got.
    const struct {
        std::vector<std::string> arguments;
        rlim_t step;
    } listings[] = {
        {{kDump, song.string()}, kMiB / 2},
        {{kDump, "--columns", "all", song.string()}, kMiB},
    };
    for (const auto& listing : listings) {
        SCOPED_TRACE(listing.arguments.size());
        SweepMemoryLimits(listing.arguments, 4 * kMiB, 40 * kMiB, listing.step);
    }
    fs::remove_all(dir);
}

} // namespace
} // namespace tracklens::testing
