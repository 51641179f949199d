// Damaged files: every truncation of the bundled and sample files, and a fixed set of byte
// flips, insertions and deletions. Whatever the damage, a run ends in a listing, a stop at an
// unknown status or a failure with its code, with every cell readable and nothing thrown.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/Conversions.h"
#include "engine/FileLoader.h"
#include "tests/reliability/Damage.h"
#include "tests/reliability/ListingChecks.h"
#include "tests/support/Listing.h"
#include "tests/support/SampleFiles.h"

namespace tracklens::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct BaseFile {
    std::string name;
    Bytes bytes;
};

Bytes BytesOf(const LoadedFile& file)
{
    const auto bytes = file.bytes.room();
    return {bytes.begin(), bytes.end()};
}

std::vector<BaseFile> BaseFiles()
{
    std::vector<BaseFile> files;
    const LoadedFile testRead = ReadWholeFile(TRACKLENS_TEST_DATA_DIR "/TestRead.mid");
    EXPECT_TRUE(testRead.ok()) << testRead.error;
    files.push_back({"TestRead.mid", BytesOf(testRead)});
    for (auto& sample : samples::SampleFiles()) {
        files.push_back({sample.name, std::move(sample.bytes)});
    }
    return files;
}

bool IsFailure(const RunOutcome& outcome, FailureCode code)
{
    return outcome.kind == RunOutcome::Kind::Failure && outcome.code == code;
}

struct SampleEnding {
    std::string name;
    RunOutcome::Kind kind;
    FailureCode code;
};

TEST(SampleFiles, EachEndsAsItWasMadeTo)
{
    const std::vector<SampleEnding> endings = {
        {"TestRead.mid", RunOutcome::Kind::Complete, {}},
        {"every-family", RunOutcome::Kind::Complete, {}},
        {"chunk-layout", RunOutcome::Kind::Complete, {}},
        {"long-lengths", RunOutcome::Kind::Complete, {}},
        {"unknown-status", RunOutcome::Kind::UnknownStatus, {}},
        {"failure", RunOutcome::Kind::Failure, FailureCode::NotInTable},
        {"large-events", RunOutcome::Kind::Complete, {}},
        {"rmid-container", RunOutcome::Kind::Complete, {}},
    };
    const std::vector<BaseFile> files = BaseFiles();
    ASSERT_EQ(files.size(), endings.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].name);
        ASSERT_EQ(files[i].name, endings[i].name);
        const CheckedRun run = RunChecked(files[i].bytes);
        EXPECT_EQ(run.problems, "");
        EXPECT_EQ(run.outcome.kind, endings[i].kind) << Describe(run.outcome);
        if (endings[i].kind == RunOutcome::Kind::Failure) {
            EXPECT_EQ(run.outcome.code, endings[i].code);
        }
        EXPECT_GT(run.rows.size(), 7u);
    }
}

// A file cut short lists the rows of the whole file up to the cut, the last one perhaps cut
// too, and ends complete, with a missing byte right after the cut, or with the whole file's
// own ending.
TEST(Sweep, EveryTruncationListsAPrefixOfTheWholeListing)
{
    int variants = 0;
    int broken = 0;
    for (const BaseFile& base : BaseFiles()) {
        const CheckedRun whole = RunChecked(base.bytes);
        ASSERT_EQ(whole.problems, "") << base.name;
        // In an RMID container, the file of the "data" chunk begins further on; a cut before its
        // MThd leaves a container without a MIDI file.
        const bool container = base.name == "rmid-container";
        const std::string_view header = "MThd";
        const std::size_t midiStart = static_cast<std::size_t>(
            std::search(base.bytes.begin(), base.bytes.end(), header.begin(), header.end()) -
            base.bytes.begin());
        for (std::size_t cut = 0; cut <= base.bytes.size(); ++cut) {
            ++variants;
            const Bytes prefix(base.bytes.begin(), base.bytes.begin() + static_cast<long>(cut));
            const CheckedRun run = RunChecked(prefix);
            std::string problems = run.problems;
            const RunOutcome& outcome = run.outcome;

            if (cut < (container ? 12 : 4)) {
                if (outcome.kind != RunOutcome::Kind::NotMidi || !run.rows.empty()) {
                    problems += "expected not MIDI\n";
                }
            } else if (!container && cut < 14) {
                if (!IsFailure(outcome, FailureCode::MissingByte) || outcome.position != cut + 1 ||
                    !run.rows.empty()) {
                    problems += "expected failure 5 at the byte after the cut, and no row\n";
                }
            } else {
                const std::size_t count = run.rows.size();
                if (count > whole.rows.size()) {
                    problems += "more rows than the whole file has\n";
                }
                for (std::size_t i = 0; i < count && i < whole.rows.size(); ++i) {
                    const Row& row = run.rows[i];
                    const Row& full = whole.rows[i];
                    if (row == full) {
                        continue;
                    }
                    const bool cutShort = i + 1 == count && row.offset == full.offset &&
                                          row.kind == full.kind && row.status == full.status &&
                                          row.length < full.length &&
                                          row.offset + row.length == cut;
                    if (!cutShort) {
                        problems += "row " + std::to_string(i) + " differs from the whole file's\n";
                    }
                }
                const bool endsWell =
                    outcome.kind == RunOutcome::Kind::Complete ||
                    (IsFailure(outcome, FailureCode::MissingByte) && outcome.position == cut + 1) ||
                    IsFailure(outcome, FailureCode::ZeroTempo) ||
                    SameOutcome(outcome, whole.outcome) ||
                    (container && cut < midiStart + 4 && outcome.kind == RunOutcome::Kind::NotMidi);
                if (!endsWell) {
                    problems += "an ending the cut cannot explain\n";
                }
            }
            if (cut == base.bytes.size() && !SameOutcome(outcome, whole.outcome)) {
                problems += "the uncut file ends otherwise than before\n";
            }
            if (!problems.empty() && ++broken <= 10) {
                ADD_FAILURE() << base.name << " cut to " << cut << " bytes (" << Describe(outcome)
                              << "):\n"
                              << problems;
            }
        }
    }
    EXPECT_EQ(broken, 0) << "of " << variants << " truncations";
    EXPECT_GT(variants, 1200);
}

TEST(Sweep, FlipsInsertionsAndDeletionsEndInAKnownWay)
{
    constexpr int kVariantsPerFile = 500;
    FixedRandom random(20261206);
    std::map<RunOutcome::Kind, int> endings;
    std::map<FailureCode, int> failures;
    int variants = 0;
    int broken = 0;
    for (const BaseFile& base : BaseFiles()) {
        for (int v = 0; v < kVariantsPerFile; ++v) {
            std::string what;
            const Bytes damaged = Damaged(base.bytes, random, what);
            const CheckedRun run = RunChecked(damaged);
            ++variants;
            ++endings[run.outcome.kind];
            if (run.outcome.kind == RunOutcome::Kind::Failure) {
                ++failures[run.outcome.code];
            }
            if (!run.problems.empty() && ++broken <= 10) {
                ADD_FAILURE() << base.name << " damaged by " << what << "(" << Describe(run.outcome)
                              << "):\n"
                              << run.problems << "bytes: " << HexBytes(damaged);
            }
        }
    }
    EXPECT_EQ(broken, 0) << "of " << variants << " damaged files";
    // The damage is varied enough to reach every way a run can end.
    EXPECT_GT(endings[RunOutcome::Kind::Complete], 0);
    EXPECT_GT(endings[RunOutcome::Kind::NotMidi], 0);
    EXPECT_GT(endings[RunOutcome::Kind::UnknownStatus], 0);
    EXPECT_GT(failures[FailureCode::MissingByte], 0);
    EXPECT_GT(failures[FailureCode::NotInTable], 0);
}

// The fuzzer's seed corpus: the generated seeds are the sample files as they are now, and every
// file of it, the grown ones included, ends in a known way.
TEST(FuzzCorpus, HoldsTheSamplesAndEndsInAKnownWay)
{
    const std::filesystem::path corpus = TRACKLENS_FUZZ_CORPUS_DIR;
    for (const auto& sample : samples::SampleFiles()) {
        const LoadedFile seed = ReadWholeFile(corpus / (sample.name + ".mid"));
        EXPECT_TRUE(seed.ok()) << seed.error;
        EXPECT_EQ(BytesOf(seed), sample.bytes) << sample.name << ".mid is stale: remake it with "
                                               << "make-seeds fuzz/corpus";
    }
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const LoadedFile file = ReadWholeFile(entry.path());
        ASSERT_TRUE(file.ok()) << file.error;
        const CheckedRun run = RunChecked(BytesOf(file));
        EXPECT_EQ(run.problems, "") << entry.path() << " (" << Describe(run.outcome) << ")";
        ++files;
    }
    EXPECT_GT(files, 6);
}

} // namespace
} // namespace tracklens::testing
