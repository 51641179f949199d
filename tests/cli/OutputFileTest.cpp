// Outputs written whole or not at all, streams that stop at the first write that fails, and
// what an output may replace.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ios>
#include <iterator>
#include <string>

#include "cli/ListingWriter.h"
#include "cli/OutputFile.h"
#include "engine/EventWalk.h"
#include "tests/support/Listing.h"

namespace tracklens::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A folder of its own for each test, removed with what it holds.
class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("tracklens-output-test-" + std::to_string(getpid()) + "-" + test->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::size_t entries() const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
};

// A file of one track of the given number of notes, under running status.
Bytes ManyNotes(std::size_t notes)
{
    Bytes body = Hex("00903C40");
    for (std::size_t note = 1; note < notes; ++note) {
        const Bytes event = Hex("003C40");
        body.insert(body.end(), event.begin(), event.end());
    }
    const Bytes end = Hex("00FF2F00");
    body.insert(body.end(), end.begin(), end.end());
    return Smf({body});
}

// Hands each row on, counting them.
class CountingSink final : public RowSink {
public:
    explicit CountingSink(RowSink& next)
        : next_(next)
    {
    }
    void AddRow(const Row& row, std::size_t index, const WalkPoint& before) override
    {
        ++rows;
        next_.AddRow(row, index, before);
    }
    std::size_t rows = 0;

private:
    RowSink& next_;
};

// A write that fails ends the walk there: the rest of the file is not walked for nothing.
TEST(DescriptorStream, WalkEndsAtTheFirstWriteThatFails)
{
    const Bytes file = ManyNotes(200'000);
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    for (const ListingFormat format :
         {ListingFormat::Tsv, ListingFormat::Csv, ListingFormat::Json}) {
        SCOPED_TRACE(static_cast<int>(format));
        DescriptorStream out(full);
        const auto writer = MakeListingWriter(format, file, out);
        CountingSink counting(*writer);
        EXPECT_THROW(
            {
                writer->writeTitles();
                writer->finish(WalkFile(file, counting));
            },
            std::ios_base::failure);
        EXPECT_GT(counting.rows, 0U);
        EXPECT_LT(counting.rows, 200'000U / 4);
        EXPECT_TRUE(out.failed());
        EXPECT_EQ(out.failureReason(), std::strerror(ENOSPC));
    }
    close(full);
}

TEST(DescriptorStream, WritesWhatItIsGivenInOrder)
{
    const fs::path path =
        fs::temp_directory_path() / ("tracklens-descriptor-stream-" + std::to_string(getpid()));
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(descriptor, 0);
    std::string expected;
    {
        DescriptorStream out(descriptor);
        for (const std::size_t size : {1U, 10U, 70'000U, 3U, 65'536U, 65'535U, 200'000U}) {
            const std::string piece(size, static_cast<char>('a' + size % 26));
            out << piece << '\n';
            expected += piece + '\n';
        }
        EXPECT_TRUE(out.flushHeld());
        EXPECT_FALSE(out.failed());
    }
    close(descriptor);
    EXPECT_TRUE(ReadAll(path) == expected);
    fs::remove(path);
}

TEST_F(OutputFileTest, TargetGetsItsNameOnlyWhenCommitted)
{
    const fs::path target = dir_ / "out.tsv";
    std::ofstream(target) << "older";
    {
        OutputFile file(target);
        ASSERT_FALSE(file.refusal()) << *file.refusal();
        file.stream() << "new listing\n";
        file.stream().flush();
        EXPECT_EQ(ReadAll(target), "older");
        EXPECT_EQ(entries(), 2U); // the target and the temporary file beside it
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(ReadAll(target), "new listing\n");
    EXPECT_EQ(entries(), 1U);
}

TEST_F(OutputFileTest, FileNeverCommittedLeavesNothingBehind)
{
    for (const bool older : {false, true}) {
        SCOPED_TRACE(older);
        const fs::path target = dir_ / "out.tsv";
        fs::remove(target);
        if (older) {
            std::ofstream(target) << "older";
        }
        {
            OutputFile file(target);
            ASSERT_FALSE(file.refusal());
            file.stream() << std::string(100'000, 'x');
        }
        EXPECT_EQ(fs::exists(target), older);
        EXPECT_EQ(entries(), older ? 1U : 0U);
        if (older) {
            EXPECT_EQ(ReadAll(target), "older");
        }
    }
}

TEST_F(OutputFileTest, TargetThatCannotBeWrittenIsRefusedWithTheReason)
{
    const struct {
        fs::path target;
        std::string reason;
    } cases[] = {
        {dir_ / "missing" / "out.tsv", std::strerror(ENOENT)},
        {dir_, "is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        OutputFile file(c.target);
        ASSERT_TRUE(file.refusal());
        EXPECT_EQ(file.refusal()->rfind(c.target.string() + ": ", 0), 0U) << *file.refusal();
        EXPECT_NE(file.refusal()->find(c.reason), std::string::npos) << *file.refusal();
        EXPECT_EQ(file.commit(), file.refusal());
    }
}

TEST(BeginsAMidiFile, KnowsTheStandardAndTheRiffForms)
{
    const struct {
        std::string bytes;
        bool midi;
    } cases[] = {
        {"MThd", true},
        {"MThd\0\0\0\6", true},
        {std::string("RIFF\0\0\0\0RMID", 12), true},
        {std::string("RIFF\xff\xff\xff\xffRMIDdata", 16), true},
        {std::string("RIFF\0\0\0\0WAVE", 12), false},
        {std::string("RIFF\0\0\0\0RMI", 11), false},
        {"MTh", false},
        {"mthd", false},
        {"", false},
        {"Abs Tick\tDTime", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const auto* data = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        EXPECT_EQ(BeginsAMidiFile(std::span(data, c.bytes.size())), c.midi);
    }
}

} // namespace
} // namespace tracklens::testing
