// The listing grid as a user drives it: keys and mouse to the last row of a large listing,
// selections, Ctrl+C against tracklens-dump's own lines, no search by typing, dragged widths,
// and the description of the current row for screen readers.

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QProcess>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <functional>
#include <string>

#include "FakePlatform.h"
#include "ui/Twips.h"

namespace tracklens::desktop_testing {
namespace {

using Ranges = std::vector<ui::RowRanges::Range>;

// A file of one track: a note on, then notes under running status, then the end of the track.
// Its listing has notes + 8 rows.
Bytes ManyNotes(std::size_t notes, const Bytes& before = {})
{
    Bytes body = before;
    body.insert(body.end(), {0x00, 0x90, 0x3C, 0x40});
    for (std::size_t note = 1; note < notes; ++note) {
        body.insert(body.end(), {0x00, static_cast<std::uint8_t>(0x30 + note % 40), 0x40});
    }
    body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    const auto length = static_cast<std::uint32_t>(body.size());
    Bytes file = {0x4D, 0x54, 0x68, 0x64, 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60, 0x4D, 0x54, 0x72, 0x6B};
    for (const int shift : {24, 16, 8, 0}) {
        file.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

class ListingGridTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(load());
    }

    void key(Qt::Key pressed, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(grid(), pressed, modifiers);
    }

    // A click in the middle of a data row in sight.
    void clickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        const int y = (row - grid()->topRow()) * grid()->rowHeight() + grid()->rowHeight() / 2;
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, modifiers, QPoint(20, y));
    }

    // The current row is drawn: it lies within the rows in sight.
    void expectInSight(int row) const
    {
        const int y = (row - grid()->topRow()) * grid()->rowHeight();
        EXPECT_GE(y, 0) << row;
        EXPECT_LE(y + grid()->rowHeight(), grid()->viewport()->height()) << row;
        EXPECT_EQ(grid()->rowAt(y + 1), row);
    }
};

TEST_F(ListingGridTest, KeysReachTheLastRowOfALargeListingAndComeBack)
{
    analyse(ManyNotes(1'000'000));
    const int rows = listing().rowCount();
    ASSERT_EQ(rows, 1'000'008);
    const int last = rows - 1;
    grid()->setFocus();
    const int page = grid()->viewport()->height() / grid()->rowHeight();
    ASSERT_GT(page, 2);

    const struct {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int current;
        Ranges selection;
    } steps[] = {
        {"first step", Qt::Key_Down, Qt::NoModifier, 0, {{0, 0}}},
        {"down", Qt::Key_Down, Qt::NoModifier, 1, {{1, 1}}},
        {"page down", Qt::Key_PageDown, Qt::NoModifier, 1 + page, {{1 + page, 1 + page}}},
        {"shift+up", Qt::Key_Up, Qt::ShiftModifier, page, {{page, 1 + page}}},
        {"ctrl+end", Qt::Key_End, Qt::ControlModifier, last, {{last, last}}},
        {"up", Qt::Key_Up, Qt::NoModifier, last - 1, {{last - 1, last - 1}}},
        {"end", Qt::Key_End, Qt::NoModifier, last, {{last, last}}},
        {"down at the end", Qt::Key_Down, Qt::NoModifier, last, {{last, last}}},
        {"shift+page up", Qt::Key_PageUp, Qt::ShiftModifier, last - page, {{last - page, last}}},
        {"ctrl+home", Qt::Key_Home, Qt::ControlModifier, 0, {{0, 0}}},
        {"up at the start", Qt::Key_Up, Qt::NoModifier, 0, {{0, 0}}},
        {"shift+ctrl+end", Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier, last, {{0, last}}},
        {"home", Qt::Key_Home, Qt::NoModifier, 0, {{0, 0}}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        key(step.key, step.modifiers);
        EXPECT_EQ(grid()->currentRow(), step.current);
        EXPECT_EQ(grid()->selection().ranges(), step.selection);
        expectInSight(step.current);
    }
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid()->topRow(), grid()->verticalScrollBar()->maximum());
    EXPECT_EQ(listing().cellText(last + 1, 4).trimmed(), QStringLiteral("End of Track"));
    EXPECT_FALSE(grid()->grab().isNull());
}

TEST_F(ListingGridTest, MouseReachesTheLastRowAndSelectsRanges)
{
    analyse(ManyNotes(300'000));
    const int last = listing().rowCount() - 1;
    QScrollBar* bar = grid()->verticalScrollBar();

    // The wheel scrolls a few rows a notch.
    QWheelEvent wheel(QPointF(20, 20), grid()->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid()->viewport(), &wheel);
    EXPECT_EQ(grid()->topRow(), QApplication::wheelScrollLines());

    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    const int top = grid()->topRow();
    EXPECT_EQ(top, bar->maximum());
    EXPECT_EQ(grid()->rowAt((last - top) * grid()->rowHeight() + 1), last);
    EXPECT_LE((last - top + 1) * grid()->rowHeight(), grid()->viewport()->height());
    clickRow(last);
    EXPECT_EQ(grid()->currentRow(), last);
    EXPECT_EQ(grid()->selection().ranges(), (Ranges{{last, last}}));
    clickRow(last - 5, Qt::ShiftModifier);
    EXPECT_EQ(grid()->selection().ranges(), (Ranges{{last - 5, last}}));
    clickRow(last - 2, Qt::ControlModifier);
    EXPECT_EQ(grid()->selection().ranges(), (Ranges{{last - 5, last - 3}, {last - 1, last}}));
    clickRow(top + 1);
    EXPECT_EQ(grid()->selection().ranges(), (Ranges{{top + 1, top + 1}}));

    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(grid()->topRow(), 0);
    clickRow(3);
    EXPECT_EQ(grid()->currentRow(), 3);
}

TEST_F(ListingGridTest, ANewListingStartsAtTheTopWithNothingSelected)
{
    const struct {
        const char* what;
        Bytes next;
        int rows;
    } cases[] = {
        {"a listing", ManyNotes(10), 18},
        {"a stop", ManyNotes(10, {0x00, 0xF4}), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        analyse(ManyNotes(100'000));
        grid()->setFocus();
        key(Qt::Key_End, Qt::ControlModifier);
        key(Qt::Key_Up, Qt::ShiftModifier);
        ASSERT_GT(grid()->topRow(), 0);
        analyse(c.next);
        EXPECT_EQ(listing().rowCount(), c.rows);
        EXPECT_EQ(grid()->currentRow(), -1);
        EXPECT_TRUE(grid()->selection().empty());
        EXPECT_EQ(grid()->topRow(), 0);
    }
}

// Rows beyond what 32-bit pixel offsets could reach: the scroll bar counts rows.
TEST_F(ListingGridTest, HundredsOfMillionsOfRowsScrollToTheLast)
{
    ui::ListingGrid grid;
    grid.resize(600, 400);
    grid.setRows(300'000'001);
    grid.setFixedRows(1);
    grid.show();
    QApplication::processEvents();
    const int last = 300'000'000 - 1;
    ASSERT_EQ(grid.listing().rowCount(), last + 1);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid.currentRow(), last);
    EXPECT_EQ(grid.topRow(), grid.verticalScrollBar()->maximum());
    const int lastY = (last - grid.topRow()) * grid.rowHeight();
    EXPECT_EQ(grid.rowAt(lastY + 1), last);
    EXPECT_LE(lastY + grid.rowHeight(), grid.viewport()->height());
    EXPECT_FALSE(grid.grab().isNull());
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid.currentRow(), 0);
    EXPECT_EQ(grid.topRow(), 0);
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid.selection().count(), std::int64_t{last} + 1);
}

// The lines of tracklens-dump's TSV listing of a file, without its title line.
QStringList DumpLines(const QString& path)
{
    QProcess dump;
    dump.start(QStringLiteral(TRACKLENS_DUMP), {path});
    EXPECT_TRUE(dump.waitForFinished(60000));
    QStringList lines = QString::fromUtf8(dump.readAllStandardOutput()).split(u'\n');
    EXPECT_TRUE(lines.size() > 1 && lines.last().isEmpty());
    lines.removeLast();
    lines.removeFirst();
    return lines;
}

QString LinesOf(const QStringList& lines, const std::vector<std::pair<int, int>>& ranges)
{
    QString text;
    for (const auto& [first, last] : ranges) {
        for (int line = first; line <= last; ++line) {
            text += lines[line] + u'\n';
        }
    }
    return text;
}

TEST_F(ListingGridTest, CopyGivesTracklensDumpsLinesOfTheSelectedRows)
{
    // Texts with a tab, a backslash, a line feed and a control byte, which TSV escapes.
    const Bytes texts = {0x00, 0xFF, 0x01, 0x05, 0x41, 0x09, 0x5C, 0x0A,
                         0x01, 0x00, 0xFF, 0x03, 0x02, 0x22, 0x2C};
    const QString path = analyse(ManyNotes(40, texts));
    const QStringList lines = DumpLines(path);
    ASSERT_EQ(lines.size(), listing().rowCount());
    ASSERT_TRUE(lines[7].contains(QStringLiteral("A\\t\\\\\\n\\x01"))) << lines[7].toStdString();

    grid()->setFocus();
    const struct {
        const char* what;
        std::function<void()> select;
        std::vector<std::pair<int, int>> lines;
    } cases[] = {
        {"one row", [&] { clickRow(7); }, {{7, 7}}},
        {"shift+click",
         [&] {
             clickRow(2);
             clickRow(9, Qt::ShiftModifier);
         },
         {{2, 9}}},
        {"ctrl+click",
         [&] {
             clickRow(2);
             clickRow(9, Qt::ShiftModifier);
             clickRow(15, Qt::ControlModifier);
             clickRow(5, Qt::ControlModifier);
         },
         {{2, 4}, {6, 9}, {15, 15}}},
        {"shift+arrows",
         [&] {
             clickRow(20);
             key(Qt::Key_Down, Qt::ShiftModifier);
             key(Qt::Key_Down, Qt::ShiftModifier);
         },
         {{20, 22}}},
        {"ctrl+a", [&] { key(Qt::Key_A, Qt::ControlModifier); }, {{0, lines.size() - 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        c.select();
        key(Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), LinesOf(lines, c.lines));
    }
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(ListingGridTest, CopyOfMoreThanAMillionRowsIsRefusedWithAMessage)
{
    analyse(ManyNotes(1'000'000));
    ASSERT_GT(listing().rowCount(), ui::ListingGrid::kMostRowsCopied);
    QApplication::clipboard()->setText(QStringLiteral("before"));
    grid()->setFocus();
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
    ASSERT_EQ(platform_.messages.size(), 1U);
    EXPECT_TRUE(platform_.messages[0].text.contains(QStringLiteral("1000008")))
        << platform_.messages[0].text.toStdString();
    EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Tracklens"));

    // A million rows exactly are copied.
    key(Qt::Key_Home, Qt::ControlModifier);
    for (int row = 0; row < 8; ++row) {
        key(Qt::Key_Down);
    }
    key(Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier);
    ASSERT_EQ(grid()->selection().count(), ui::ListingGrid::kMostRowsCopied);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().count(u'\n'), ui::ListingGrid::kMostRowsCopied);
    EXPECT_EQ(platform_.messages.size(), 1U);
}

TEST_F(ListingGridTest, TypingLettersSearchesNothing)
{
    analyse(ManyNotes(100'000));
    grid()->setFocus();
    clickRow(10);
    ASSERT_EQ(listing().cellText(11, 0).trimmed(), QStringLiteral("0"));
    const int top = grid()->topRow();
    // The rows from here on have the Abs Tick 0: a search by typing would move to the next one.
    QTest::keyClicks(grid(), QStringLiteral("0"));
    QTest::keyClicks(grid(), QStringLiteral("zq9NotaOFF"));
    EXPECT_EQ(grid()->currentRow(), 10);
    EXPECT_EQ(grid()->selection().ranges(), (Ranges{{10, 10}}));
    EXPECT_EQ(grid()->topRow(), top);
}

TEST_F(ListingGridTest, DraggedColumnBorderIsReadBackIntoColumnWidths)
{
    analyse(ReadBytes(DataFile("TestRead.mid")));
    QHeaderView* header = grid()->horizontalHeader();
    ASSERT_TRUE(header->isVisible());
    const int dpi = window_->logicalDpiX();
    const struct {
        int column;
        int by;
    } drags[] = {{2, 40}, {4, -30}};
    std::array<int, kColumnCount> expected{};
    for (int column = 0; column < static_cast<int>(kColumnCount); ++column) {
        expected[static_cast<std::size_t>(column)] = grid()->columnWidth(column);
    }
    for (const auto& drag : drags) {
        const int border =
            header->sectionViewportPosition(drag.column) + header->sectionSize(drag.column) - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(border, y));
        QMouseEvent move(QEvent::MouseMove, QPointF(border + drag.by, y),
                         header->viewport()->mapToGlobal(QPointF(border + drag.by, y)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &move);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                            QPoint(border + drag.by, y));
        expected[static_cast<std::size_t>(drag.column)] += drag.by;
        EXPECT_EQ(grid()->columnWidth(drag.column),
                  expected[static_cast<std::size_t>(drag.column)]);
    }
    click("cmdANALISI");
    for (int column = 0; column < static_cast<int>(kColumnCount); ++column) {
        const auto index = static_cast<std::size_t>(column);
        const int twips = window_->columnWidths()[index];
        if (column == 2 || column == 4) {
            EXPECT_EQ(twips, ui::PixelsToTwips(expected[index], dpi)) << column;
        } else {
            EXPECT_EQ(twips, kInitialColumnWidths[index]) << column;
        }
        EXPECT_EQ(grid()->columnWidth(column), expected[index]) << column;
    }
}

TEST_F(ListingGridTest, ScreenReadersAreToldTheCurrentRow)
{
    analyse(ReadBytes(DataFile("TestRead.mid")));
    grid()->setFocus();
    EXPECT_EQ(grid()->accessibleDescription(), QString());
    clickRow(1);
    const QString description = grid()->accessibleDescription();
    EXPECT_TRUE(
        description.startsWith(QStringLiteral("Row 2 of %1, Abs Tick: , DTime: , Event: 00000006")
                                   .arg(listing().rowCount())))
        << description.toStdString();
    EXPECT_TRUE(description.contains(QStringLiteral("Description: Lunghezza, Value: 6 bytes")))
        << description.toStdString();
    key(Qt::Key_Down);
    EXPECT_TRUE(grid()->accessibleDescription().startsWith(QStringLiteral("Row 3 of ")));
}

TEST_F(ListingGridTest, AFullCellHasNoToolTipAndACutOneShowsItsWholeText)
{
    analyse(ReadBytes(DataFile("TestRead.mid")));
    const int y = grid()->rowHeight() / 2;
    grid()->setColumnWidth(4, 20);
    const struct {
        int column;
        bool shown;
    } cases[] = {{2, false}, {4, true}};
    for (const auto& c : cases) {
        QToolTip::hideText();
        const QPoint at(grid()->horizontalHeader()->sectionViewportPosition(c.column) + 5, y);
        QHelpEvent help(QEvent::ToolTip, at, grid()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid()->viewport(), &help);
        EXPECT_EQ(QToolTip::isVisible(), c.shown) << c.column;
        if (c.shown) {
            EXPECT_EQ(QToolTip::text(), QStringLiteral("MThd"));
        }
    }
    QToolTip::hideText();
}

} // namespace
} // namespace tracklens::desktop_testing
