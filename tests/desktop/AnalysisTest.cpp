// The grid, the title and the status line after an analysis, checked against the engine's own
// walk of the same bytes.

#include <string>

#include "FakePlatform.h"
#include "engine/EventTable.h"
#include "engine/EventWalk.h"

namespace tracklens::desktop_testing {
namespace {

const Bytes kHeader = {0x4D, 0x54, 0x68, 0x64, 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60};

// The header chunk and one track with the given body.
Bytes OneTrack(const Bytes& body)
{
    Bytes file = kHeader;
    const auto length = static_cast<std::uint8_t>(body.size());
    file.insert(file.end(), {0x4D, 0x54, 0x72, 0x6B, 0, 0, 0, length});
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

class AnalysisTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        installTestRead();
        ASSERT_TRUE(load());
        testRead_ = ReadBytes(inDir("TestRead.mid"));
        ASSERT_GT(testRead_.size(), 100U);
    }

    // Writes the bytes to a file of the folder and runs Analysis on it.
    void analyse(const Bytes& bytes)
    {
        const QString path = inDir(QStringLiteral("file%1.mid").arg(++files_));
        WriteBytes(path, bytes);
        txIN()->setText(path);
        platform_.messages.clear();
        WaitWindowWatch watch;
        click("cmdANALISI");
        EXPECT_EQ(watch.shown, 1) << "wait window";
        EXPECT_FALSE(WaitWindowWatch::anyVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    void expectEmptyGrid() const
    {
        EXPECT_EQ(listing().rows(), 1);
        EXPECT_EQ(listing().fixedRows(), 0);
        EXPECT_EQ(listing().rowCount(), 1);
        for (int column = 0; column < 6; ++column) {
            EXPECT_EQ(listing().cellText(0, column), QString()) << column;
        }
        EXPECT_EQ(lblStato()->text(), QString());
        EXPECT_EQ(window_->windowTitle(), QStringLiteral("Tracklens"));
    }

    // The window shows what the engine's walk of the same bytes gives.
    void expectOutcomeOfWalk(const Bytes& bytes)
    {
        EventTable table(bytes);
        const RunOutcome outcome = WalkFile(table.content(), table);
        if (!outcome.complete()) {
            const OutcomeMessage message = MessageFor(outcome);
            ASSERT_EQ(platform_.messages.size(), 1U);
            EXPECT_EQ(platform_.messages[0].text, QString::fromStdString(message.text));
            EXPECT_EQ(platform_.messages[0].icon, message.icon);
            EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Tracklens"));
            expectEmptyGrid();
            return;
        }
        EXPECT_TRUE(platform_.messages.empty());
        const int rows = table.rowCount();
        ASSERT_EQ(static_cast<std::size_t>(rows), table.size());
        EXPECT_EQ(listing().rows(), rows + 1);
        EXPECT_EQ(listing().rowCount(), rows);
        EXPECT_EQ(listing().fixedRows(), 1);
        EXPECT_EQ(window_->windowTitle(), QStringLiteral("Tracklens (%1 events)").arg(rows));
        EXPECT_TRUE(lblStato()->text().startsWith(QStringLiteral("Tempo di elaborazione: ")))
            << lblStato()->text().toStdString();
        for (int column = 0; column < 6; ++column) {
            const auto index = static_cast<std::size_t>(column);
            EXPECT_EQ(listing().cellText(0, column),
                      QString::fromUtf8(kColumnTitles[index].data(),
                                        static_cast<qsizetype>(kColumnTitles[index].size())));
            for (int row = 0; row < rows; ++row) {
                ASSERT_EQ(listing().cellText(row + 1, column),
                          QString::fromStdString(table.storedCellText(static_cast<std::size_t>(row),
                                                                      static_cast<Column>(column))))
                    << "row " << row + 1 << " column " << column;
            }
        }
    }

    Bytes testRead_;
};

TEST_F(AnalysisTest, TestFileIsListedAsTheWalkGivesIt)
{
    analyse(testRead_);
    expectOutcomeOfWalk(testRead_);
    EXPECT_GT(listing().rows(), 20);
    EXPECT_EQ(listing().cellText(1, 2).trimmed(), QStringLiteral("4D546864"));
}

// A cell of a very large event is read no further than the screen can show: its text is cut,
// with an ellipsis, long before the event's 400,000 hexadecimal digits.
TEST_F(AnalysisTest, CellsOfAVeryLargeEventAreCutToWhatCanBeShown)
{
    constexpr std::uint32_t kSysExBytes = 200000; // F0, its length in three bytes, the data
    Bytes track = {0x00, 0xF0, 0x8C, 0x9A, 0x40};
    track.resize(track.size() + kSysExBytes, 0x11);
    track.back() = 0xF7;
    const Bytes end = {0x00, 0xFF, 0x2F, 0x00};
    track.insert(track.end(), end.begin(), end.end());
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8) {
        file.push_back(static_cast<std::uint8_t>(track.size() >> shift));
    }
    file.insert(file.end(), track.begin(), track.end());
    analyse(file);
    ASSERT_EQ(listing().rowCount(), 9);
    const QString event = listing().cellText(8, 2);
    EXPECT_TRUE(event.startsWith(QStringLiteral("F08C9A401111")));
    EXPECT_TRUE(event.endsWith(QChar(0x2026)));
    EXPECT_LE(event.size(), 2 * 4096 + 3);
    EXPECT_LE(listing().shownText(7, 2).size(), ui::ListingModel::kLongestShownText + 1);
}

TEST_F(AnalysisTest, EndsOfARunLeaveTheGridAsTheWalkSays)
{
    const struct {
        const char* what;
        Bytes bytes;
        QString message;
        MessageIcon icon;
    } cases[] = {
        {"unrecognised status", OneTrack({0x00, 0xF4, 0x00, 0x00}),
         QStringLiteral("Pos.24\r\nStatus 244 (F4) - Valore sconosciuto"),
         MessageIcon::Exclamation},
        {"running status first", OneTrack({0x00, 0x40, 0x00, 0x00}),
         QStringLiteral("Pos.24\r\nStatus 0 (00) - Valore sconosciuto"), MessageIcon::Exclamation},
        {"tempo 0", OneTrack({0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x2F, 0x00}),
         QStringLiteral("Errore 11\r\n"), MessageIcon::Critical},
        {"no MThd",
         {0x52, 0x49, 0x46, 0x46, 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60},
         QStringLiteral("Il file non \u00E8 un Midifile standard !\r\nMThd mancante"),
         MessageIcon::Exclamation},
        {"empty file",
         {},
         QStringLiteral("Il file non \u00E8 un Midifile standard !\r\nMThd mancante"),
         MessageIcon::Exclamation},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        analyse(testRead_); // a full listing first, which the end of the run must take away
        ASSERT_EQ(listing().fixedRows(), 1);
        analyse(c.bytes);
        ASSERT_EQ(platform_.messages.size(), 1U);
        EXPECT_TRUE(platform_.messages[0].text.startsWith(c.message))
            << platform_.messages[0].text.toStdString();
        EXPECT_EQ(platform_.messages[0].icon, c.icon);
        expectEmptyGrid();
        expectOutcomeOfWalk(c.bytes);
    }
}

TEST_F(AnalysisTest, DamagedFilesOneAfterAnotherMatchTheWalk)
{
    const std::size_t size = testRead_.size();
    std::vector<Bytes> damaged;
    for (const std::size_t length :
         {std::size_t{0}, std::size_t{4}, std::size_t{13}, std::size_t{14}, std::size_t{22},
          std::size_t{30}, size / 2, size - 3, size - 1}) {
        damaged.emplace_back(testRead_.begin(),
                             testRead_.begin() + static_cast<std::ptrdiff_t>(length));
    }
    for (const std::size_t position :
         {std::size_t{0}, std::size_t{7}, std::size_t{12}, std::size_t{21}, std::size_t{40},
          size / 3, size / 2, size - 2}) {
        for (const std::uint8_t mask : {std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
            Bytes flipped = testRead_;
            flipped[position] ^= mask;
            damaged.push_back(std::move(flipped));
        }
    }
    damaged.push_back(testRead_);
    for (std::size_t index = 0; index < damaged.size(); ++index) {
        SCOPED_TRACE("damaged file " + std::to_string(index));
        analyse(damaged[index]);
        expectOutcomeOfWalk(damaged[index]);
    }
}

} // namespace
} // namespace tracklens::desktop_testing
