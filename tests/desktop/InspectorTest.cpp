// The grid's tools as a user drives them: find, filter, go to, the bytes window and the export,
// and the right-click menu that holds them.

#include <QAbstractButton>
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <string>

#include "FakePlatform.h"
#include "tests/support/RunProgram.h"
#include "tests/support/SampleFiles.h"
#include "tools/smf/SmfBuilder.h"
#include "ui/BytesWindow.h"
#include "ui/FilterDialog.h"
#include "ui/FindBar.h"
#include "ui/GoToDialog.h"
#include "ui/GridMenu.h"
#include "ui/GridTools.h"
#include "ui/ListingExport.h"

namespace tracklens::desktop_testing {
namespace {

// Two tracks. Its listing, by data row: 0-4 the header, 5 MTrk, 6 Lunghezza, 7 Track Name
// "Piano", 8 Patch on channel 10, 9 NotaON, 10 +NotaOFF (tick 96), 11 Control, 12 Pitch Bend,
// 13 SysEx, 14 Text "Èco", 15 Key Aftertouch on channel 10, 16 End of Track, 17 MTrk,
// 18 Lunghezza, 19 Set Tempo, 20 End of Track (tick 192).
Bytes TwoTracks()
{
    return smf::Concat({
        smf::Hex("4D546864 00000006 0001 0002 0060"),
        smf::Hex("4D54726B 00000030"),           // offset 14
        smf::Hex("00 FF0305 5069616E6F"),        // offset 22: Track Name
        smf::Hex("00 C905"),                     // offset 31: Patch
        smf::Hex("00 903C64 60 3C00"),           // a note on, and off under running status
        smf::Hex("00 B00764 00 E00040"),         // a controller, pitch bend
        smf::Hex("00 F0037E7FF7"),               // SysEx
        smf::Hex("00 FF0103 C8636F"),            // a text in Windows-1252: "Èco"
        smf::Hex("00 A93C20 00 FF2F00"),         // aftertouch, the end of the track
        smf::Hex("4D54726B 0000000C"),           // offset 70
        smf::Hex("00 FF510307A120 8140 FF2F00"), // the delta time 8140 at offset 85
    });
}
constexpr int kTwoTracksRows = 21;

// More rows than the export writes at once: notes under running status.
Bytes ManyRows()
{
    smf::TrackWriter track;
    track.event(0, {0x90, 0x3C, 0x40});
    for (int note = 1; note < 10'000; ++note) {
        track.event(1, {static_cast<std::uint8_t>(0x30 + note % 40), 0x40});
    }
    track.endOfTrack(0);
    return smf::Smf(0, 0x60, {track.body()});
}

class InspectorTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(load());
    }

    ui::GridTools& tools() const { return window_->tools(); }

    // The table rows the grid shows.
    std::vector<std::int64_t> shownRows() const
    {
        std::vector<std::int64_t> rows;
        for (int row = 0; row < listing().rowCount(); ++row) {
            rows.push_back(listing().tableRowOf(row));
        }
        return rows;
    }

    // tracklens-dump's listing, of the columns the grid shows.
    std::string dump(const QString& path, const char* format) const
    {
        std::string columns;
        for (const Column column : ui::ShownColumns(*grid())) {
            columns += (columns.empty() ? "" : ",") +
                       std::string(kColumnNames[static_cast<std::size_t>(column)]);
        }
        const testing::ProgramRun run = testing::RunProgram(
            {TRACKLENS_DUMP, "--format", format, "--columns", columns, path.toStdString()});
        EXPECT_TRUE(run.exited && run.exitStatus == 0) << run.err;
        return run.out;
    }

    // What the export wrote, run to its end.
    std::string exported(const QString& target, ListingFormat format, bool shownRowsOnly)
    {
        const std::optional<QString> refusal = tools().exportTo(target, format, shownRowsOnly);
        EXPECT_FALSE(refusal.has_value()) << refusal.value_or(QString()).toStdString();
        tools().listingExport().finish();
        const Bytes bytes = ReadBytes(target);
        return {bytes.begin(), bytes.end()};
    }

    QStringList filesInDir() const
    {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
    }
};

// Find

struct FindCase {
    const char* text;
    int from; // the current row before
    bool forward;
    int found; // the current row after
    const char* message;
};

TEST_F(InspectorTest, FindGoesToTheNextOrPreviousMatchWrapsAroundAndSaysNotFound)
{
    analyse(TwoTracks());
    const FindCase cases[] = {
        {"end of track", 0, true, 16, ""},
        {"END OF TRACK", 16, true, 20, ""},
        {"end of track", 20, true, 16, "Wrapped around"},
        {"end of track", 20, false, 16, ""},
        {"end of track", 16, false, 20, "Wrapped around"},
        {"\u00E8CO", 0, true, 14, ""}, // Latin-1 letters too, without case
        {"lunghezza", 6, true, 18, ""},
        {"do5", 9, true, 10, ""},  // in the Value column
        {"8140", 0, true, 20, ""}, // in the DTime column, as shown
        {"nothing like it", 3, true, 3, "Not found"},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " from " + std::to_string(c.from));
        grid()->setCurrentRow(c.from);
        tools().findBar().setText(QString::fromUtf8(c.text));
        c.forward ? tools().findNext() : tools().findPrevious();
        tools().findBar().finishSearch();
        EXPECT_EQ(grid()->currentRow(), c.found);
        EXPECT_EQ(tools().findBar().message(), QString::fromUtf8(c.message));
    }
}

TEST_F(InspectorTest, FindComparesTheTextsAsShownNotAsEscapedInTheListing)
{
    // Row 8 is a text event that holds a tab, a backslash and the control byte 01, which the
    // listing's lines escape as \t, \\ and \x01.
    analyse(samples::LargeEventsFile());
    const FindCase cases[] = {
        {"\\", 0, true, 8, ""},
        {"x01", 0, true, 0, "Not found"},
        {"lungo\"\\", 0, true, 0, "Not found"}, // a tab stands between them
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.text);
        grid()->setCurrentRow(c.from);
        tools().findBar().setText(QString::fromUtf8(c.text));
        tools().findNext();
        tools().findBar().finishSearch();
        EXPECT_EQ(grid()->currentRow(), c.found);
        EXPECT_EQ(tools().findBar().message(), QString::fromUtf8(c.message));
    }
}

TEST_F(InspectorTest, FindLooksOnlyInTheShownRows)
{
    analyse(TwoTracks());
    // A search under way when the shown rows change is cancelled.
    tools().findBar().setText(QStringLiteral("end of track"));
    tools().findNext();
    ASSERT_TRUE(tools().findBar().searching());
    ui::RowFilter notes;
    notes.groups.reset().set(static_cast<std::size_t>(ui::RowGroup::Notes));
    tools().filterDialog().apply(notes);
    tools().filterDialog().finishBuilding();
    EXPECT_FALSE(tools().findBar().searching());
    grid()->setCurrentRow(0);
    tools().findNext();
    tools().findBar().finishSearch();
    EXPECT_EQ(grid()->currentRow(), 0);
    EXPECT_EQ(tools().findBar().message(), QStringLiteral("Not found"));
}

// Filter

struct FilterCase {
    const char* name;
    const char* text;
    int channel;
    std::vector<ui::RowGroup> groups; // empty for every group
    std::vector<std::int64_t> rows;
};

TEST_F(InspectorTest, FilterShowsTheRowsOfATextAChannelAndKindsAndCountsThem)
{
    analyse(TwoTracks());
    using G = ui::RowGroup;
    const FilterCase cases[] = {
        {"text", "LUNGHEZZA", 0, {}, {1, 6, 18}},
        {"channel", "", 10, {}, {8, 15}},
        {"notes", "", 0, {G::Notes}, {9, 10}},
        {"meta events", "", 0, {G::Meta}, {7, 14, 16, 19, 20}},
        {"header and chunks", "", 0, {G::HeaderAndChunks}, {0, 1, 2, 3, 4, 5, 6, 17, 18}},
        {"one of each",
         "",
         0,
         {G::ProgramChanges, G::Controllers, G::PitchBend, G::SystemExclusive, G::Aftertouch},
         {8, 11, 12, 13, 15}},
        {"all at once", "off", 1, {G::Notes, G::Meta}, {10}},
        {"nothing", "zzz", 0, {}, {}},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.name);
        ui::RowFilter filter;
        filter.text = c.text;
        filter.channel = c.channel;
        if (!c.groups.empty()) {
            filter.groups.reset();
            for (const G group : c.groups) {
                filter.groups.set(static_cast<std::size_t>(group));
            }
        }
        tools().filterDialog().apply(filter);
        tools().filterDialog().finishBuilding();
        EXPECT_EQ(shownRows(), c.rows);
        EXPECT_EQ(tools().filterDialog().status(),
                  QStringLiteral("%1 of %2 rows").arg(c.rows.size()).arg(kTwoTracksRows));
    }
}

TEST_F(InspectorTest, TheFindBarsToggleFiltersByItsTextAndSaysHowManyRowsAreShown)
{
    analyse(TwoTracks());
    tools().openFind();
    tools().findBar().setText(QStringLiteral("end of"));
    auto* toggle = tools().findBar().findChild<QAbstractButton*>(QStringLiteral("findFilter"));
    toggle->click();
    tools().filterDialog().finishBuilding();
    EXPECT_EQ(shownRows(), (std::vector<std::int64_t>{16, 20}));
    EXPECT_EQ(tools().findBar().message(), QStringLiteral("2 of 21 rows"));
    tools().filterDialog().clear();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(listing().filtered());
}

TEST_F(InspectorTest, ClearingTheFilterKeepsTheCurrentRow)
{
    analyse(TwoTracks());
    grid()->setCurrentRow(12);
    ui::RowFilter meta;
    meta.groups.reset().set(static_cast<std::size_t>(ui::RowGroup::Meta));
    tools().filterDialog().apply(meta);
    tools().filterDialog().finishBuilding();
    // The first shown row after the one that was current.
    EXPECT_EQ(listing().tableRowOf(grid()->currentRow()), 14);
    grid()->setCurrentRow(3);
    tools().filterDialog().clear();
    EXPECT_FALSE(listing().filtered());
    EXPECT_EQ(listing().rowCount(), kTwoTracksRows);
    EXPECT_EQ(grid()->currentRow(), 19);
    EXPECT_EQ(tools().filterDialog().status(), QString());
}

// Go to

struct GoToCase {
    ui::GoToForm form;
    const char* text;
    int row;           // the current row after, when it went
    const char* error; // what the dialog says otherwise
};

TEST_F(InspectorTest, GoToTakesEachFormAndSaysWhatItCannotTake)
{
    analyse(TwoTracks());
    using F = ui::GoToForm;
    const GoToCase cases[] = {
        {F::Row, "15", 14, ""},
        {F::Row, " 21 ", 20, ""},
        {F::Row, "0", -1, "A row is a number from 1."},
        {F::Row, "22", -1, "The listing has 21 rows."},
        {F::Row, "abc", -1, "A row is a number from 1."},
        {F::AbsTick, "96", 10, ""},
        {F::AbsTick, "100", 20, ""},
        {F::AbsTick, "193", -1, "No event is at or after tick 193."},
        {F::AbsTick, "-1", -1, "An Abs Tick is a whole number from 0."},
        {F::Offset, "0", 0, ""},
        {F::Offset, "D", 4, ""},
        {F::Offset, "0x10", 5, ""}, // inside the chunk's tag
        {F::Offset, "0x16", 7, ""}, // the delta time of the first event
        {F::Offset, "1F", 8, ""},   // the delta time of the next
        {F::Offset, "0X21", 8, ""}, // its last byte
        {F::Offset, "56", 20, ""},  // the last byte of the file
        {F::Offset, "5A", -1, "The file has 90 bytes: its last offset is 59."},
        {F::Offset, "0xZZ", -1, "An offset is hexadecimal, with or without 0x."},
        {F::Time, "0:00.5", 10, ""}, // 96 ticks at 120 beats a minute
        {F::Time, "0:00.6", 20, ""},
        {F::Time, "0:01", 20, ""},
        {F::Time, "0:01.001", -1, "No event is at or after that time."},
        {F::Time, "1:5", -1, "A time is M:SS.mmm or M:SS, seconds under 60."},
        {F::Time, "0:60", -1, "A time is M:SS.mmm or M:SS, seconds under 60."},
        {F::Bar, "1:2", 10, ""}, // in 4/4, a beat of 96 ticks
        {F::Bar, "1:2:001", 20, ""},
        {F::Bar, "1:3:000", 20, ""},
        {F::Bar, "2", -1, "No event is at or after that bar."},
        {F::Bar, "0", -1, "A bar is B, B:b or B:b:TTT, bar and beat from 1."},
        {F::Bar, "1:2:3:4", -1, "A bar is B, B:b or B:b:TTT, bar and beat from 1."},
    };
    ui::GoToDialog& dialog = tools().goToDialog();
    for (const GoToCase& c : cases) {
        SCOPED_TRACE(c.text);
        grid()->setCurrentRow(2);
        dialog.show();
        dialog.choose(c.form, QString::fromLatin1(c.text));
        const bool went = dialog.go();
        EXPECT_EQ(went, c.row >= 0);
        EXPECT_EQ(dialog.isVisible(), !went);
        EXPECT_EQ(grid()->currentRow(), went ? c.row : 2);
        EXPECT_EQ(dialog.error(), QString::fromLatin1(c.error));
    }
}

TEST_F(InspectorTest, TimeAndBarReadTheirForms)
{
    using F = ui::GoToForm;
    struct Case {
        F form;
        const char* text;
        std::uint64_t value, beat, tick;
    };
    const Case cases[] = {
        {F::Time, "1:23.456", 83'456, 1, 0}, {F::Time, "0:05", 5'000, 1, 0},
        {F::Time, "2:00.5", 120'500, 1, 0},  {F::Bar, "48", 48, 1, 0},
        {F::Bar, "48:3", 48, 3, 0},          {F::Bar, "48:3:120", 48, 3, 120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ui::GoToParse parsed = ui::ParseGoTo(c.form, c.text);
        ASSERT_TRUE(parsed.target.has_value()) << parsed.error;
        EXPECT_EQ(parsed.target->value, c.value);
        EXPECT_EQ(parsed.target->beat, c.beat);
        EXPECT_EQ(parsed.target->tick, c.tick);
    }
}

TEST_F(InspectorTest, GoToWithAFilterGoesToTheFirstShownRowAtOrAfter)
{
    analyse(TwoTracks());
    ui::RowFilter meta;
    meta.groups.reset().set(static_cast<std::size_t>(ui::RowGroup::Meta));
    tools().filterDialog().apply(meta);
    tools().filterDialog().finishBuilding();
    EXPECT_FALSE(tools().goTo({ui::GoToForm::Offset, 0x1F}).has_value());
    EXPECT_EQ(listing().tableRowOf(grid()->currentRow()), 14);
}

// The bytes window

TEST_F(InspectorTest, BytesWindowFollowsTheGridAndTheGridFollowsAClickOnAByte)
{
    analyse(TwoTracks());
    grid()->setCurrentRow(8);
    tools().openBytes();
    ui::HexView& view = tools().bytesWindow().view();
    // Patch: its delta time at 0x1F, the event C905 after it.
    EXPECT_EQ(view.markStart(), 0x1Fu);
    EXPECT_EQ(view.eventStart(), 0x20u);
    EXPECT_EQ(view.markEnd(), 0x22u);
    grid()->setCurrentRow(19);
    EXPECT_EQ(view.markStart(), 78u);
    EXPECT_EQ(view.markEnd(), 85u);

    const std::pair<std::uint64_t, int> clicks[] = {{0x16, 7}, {0x11, 5}, {0x0C, 4}, {86, 20}};
    for (const auto& [offset, row] : clicks) {
        SCOPED_TRACE(offset);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, view.pointOf(offset));
        EXPECT_EQ(grid()->currentRow(), row);
        EXPECT_EQ(view.selectionStart(), offset);
    }
}

TEST_F(InspectorTest, TheInspectorReadsTheSelectedBytesAsNumbers)
{
    const Bytes file = TwoTracks();
    struct Case {
        std::uint64_t offset;
        ui::ByteReadings expected;
    };
    const Case cases[] = {
        {0, {0x4D, 0x4D, 0x4D54, 0x4D54, 0x4D546864, 0x4D546864, 0x4D, 1}},
        {85,
         {0x81, -127, 0x8140, -32448, 0x8140FF2Fu, static_cast<std::int32_t>(0x8140FF2Fu), 192, 2}},
        {87, {0xFF, -1, 0xFF2F, -209, std::nullopt, std::nullopt, 16303, 2}},
        {89, {0, 0, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0, 1}},
        {90, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        const ui::ByteReadings r = ui::ReadBytesAt(file, c.offset);
        EXPECT_EQ(r.u8, c.expected.u8);
        EXPECT_EQ(r.s8, c.expected.s8);
        EXPECT_EQ(r.u16, c.expected.u16);
        EXPECT_EQ(r.s16, c.expected.s16);
        EXPECT_EQ(r.u32, c.expected.u32);
        EXPECT_EQ(r.s32, c.expected.s32);
        EXPECT_EQ(r.quantity, c.expected.quantity);
        EXPECT_EQ(r.quantityLength, c.expected.quantityLength);
    }

    analyse(file);
    tools().openBytes();
    tools().bytesWindow().view().select(85, 86);
    const QString shown = tools().bytesWindow().readingsText();
    EXPECT_TRUE(shown.contains(QStringLiteral("Offset 00000055 (2 selected)")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("16 bit  unsigned 33088  signed -32448")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Variable-length quantity 192 (2 bytes)")))
        << shown.toStdString();
}

// Export

TEST_F(InspectorTest, ExportWritesWhatTracklensDumpWritesInEachFormat)
{
    const struct {
        const char* name;
        Bytes bytes;
    } files[] = {
        {"two tracks", TwoTracks()},
        {"every family", samples::EveryFamilyFile()},
        {"chunk layout", samples::ChunkLayoutFile()},
        {"large events", samples::LargeEventsFile()},
        {"many rows", ManyRows()},
    };
    const struct {
        ListingFormat format;
        const char* name;
    } formats[] = {
        {ListingFormat::Tsv, "tsv"}, {ListingFormat::Csv, "csv"}, {ListingFormat::Json, "json"}};
    for (const auto& file : files) {
        const QString path = analyse(file.bytes);
        for (const auto& format : formats) {
            SCOPED_TRACE(std::string(file.name) + " as " + format.name);
            const QString target =
                inDir(QStringLiteral("listing.") + QString::fromLatin1(format.name));
            EXPECT_EQ(exported(target, format.format, false), dump(path, format.name));
        }
    }
}

TEST_F(InspectorTest, ExportWritesTheShownColumnsOnly)
{
    const QString path = analyse(TwoTracks());
    grid()->horizontalHeader()->hideSection(static_cast<int>(Column::Event));
    grid()->horizontalHeader()->hideSection(static_cast<int>(Column::Ch));
    ASSERT_EQ(ui::ShownColumns(*grid()).size(), 4u);
    const QString target = inDir(QStringLiteral("four.csv"));
    EXPECT_EQ(exported(target, ListingFormat::Csv, false), dump(path, "csv"));
}

TEST_F(InspectorTest, ExportOfTheShownRowsWritesTheirLinesOnly)
{
    const QString path = analyse(TwoTracks());
    ui::RowFilter channel;
    channel.channel = 10;
    tools().filterDialog().apply(channel);
    tools().filterDialog().finishBuilding();
    const QStringList all = QString::fromStdString(dump(path, "tsv")).split(u'\n');
    const QString expected = all[0] + u'\n' + all[9] + u'\n' + all[16] + u'\n';
    const QString target = inDir(QStringLiteral("shown.tsv"));
    EXPECT_EQ(QString::fromStdString(exported(target, ListingFormat::Tsv, true)), expected);
    // All rows, filter or not.
    EXPECT_EQ(exported(target, ListingFormat::Tsv, false), dump(path, "tsv"));
}

TEST_F(InspectorTest, AnExportCancelledOrRefusedLeavesAnExistingFileAsItWas)
{
    const QString path = analyse(TwoTracks());
    const QString target = inDir(QStringLiteral("kept.tsv"));
    WriteBytes(target, {'o', 'l', 'd'});
    const QStringList before = filesInDir();

    ASSERT_FALSE(tools().exportTo(target, ListingFormat::Tsv, false).has_value());
    EXPECT_TRUE(tools().listingExport().running());
    tools().listingExport().cancel();
    EXPECT_FALSE(tools().listingExport().running());
    EXPECT_EQ(ReadBytes(target), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(filesInDir(), before); // no temporary file is left

    const Bytes midi = ReadBytes(path);
    const std::optional<QString> itself = tools().exportTo(path, ListingFormat::Tsv, false);
    ASSERT_TRUE(itself.has_value());
    EXPECT_TRUE(itself->contains(QStringLiteral("is the file being listed")))
        << itself->toStdString();
    EXPECT_EQ(ReadBytes(path), midi);

    const std::optional<QString> missing =
        tools().exportTo(inDir(QStringLiteral("no such folder/x.tsv")), ListingFormat::Tsv, false);
    ASSERT_TRUE(missing.has_value());
    EXPECT_TRUE(missing->contains(QStringLiteral("cannot be written"))) << missing->toStdString();
    EXPECT_EQ(filesInDir(), before);
}

// The menu and the keys

TEST_F(InspectorTest, TheMenuHoldsTheToolsAndTheEntriesOfOtherCommandsInTheirPlaces)
{
    QWidget parent;
    std::unique_ptr<QMenu> made(tools().menu().make(&parent));
    QStringList texts;
    for (const QAction* action : made->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(texts.join(u'|').toStdString(),
              "&Copy|Select &all|-|Track|Offset|Time|Bar|-|&Find\u2026|F&ilter\u2026|"
              "&Go to\u2026|&Bytes\u2026|-|Text encoding|-|&Export listing\u2026|-|"
              "Problems\u2026|Analysis, keep going");
}

TEST_F(InspectorTest, ColumnsThatPlaceRowsAreHiddenAtStartAndShownInTheirPlaceAsWideAsTheirTexts)
{
    analyse(TwoTracks());
    const QHeaderView* header = grid()->horizontalHeader();
    const auto shown = [header] {
        std::vector<Column> columns;
        for (int visual = 0; visual < header->count(); ++visual) {
            const int section = header->logicalIndex(visual);
            if (!header->isSectionHidden(section)) {
                columns.push_back(static_cast<Column>(section));
            }
        }
        return columns;
    };
    EXPECT_EQ(shown(), std::vector<Column>(kListingColumns.begin(), kListingColumns.end()));

    grid()->setColumnShown(Column::Time, true);
    grid()->setColumnShown(Column::Track, true);
    EXPECT_EQ(shown(),
              (std::vector<Column>{Column::Track, Column::AbsTick, Column::Time, Column::DTime,
                                   Column::Event, Column::Ch, Column::Description, Column::Value}));
    const int last = grid()->listing().rowCount() - 1;
    const QString time = grid()->listing().shownText(last, static_cast<int>(Column::Time));
    EXPECT_FALSE(time.isEmpty());
    EXPECT_GE(header->sectionSize(static_cast<int>(Column::Time)),
              grid()->fontMetrics().horizontalAdvance(time));

    grid()->setColumnShown(Column::Time, false);
    EXPECT_FALSE(grid()->isColumnShown(Column::Time));
}

TEST_F(InspectorTest, KeysOpenTheTools)
{
    analyse(TwoTracks());
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(tools().findBar().isVisible());
    QTest::keyClick(grid(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(tools().goToDialog().isVisible());
    tools().goToDialog().hide();
    QTest::keyClick(grid(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(tools().filterDialog().isVisible());
    tools().filterDialog().hide();
    QTest::keyClick(grid(), Qt::Key_F4);
    EXPECT_TRUE(tools().bytesWindow().isVisible());
}

} // namespace
} // namespace tracklens::desktop_testing
