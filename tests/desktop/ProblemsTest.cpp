// The diagnostics in the window: the file listed past its problems, and the Problems window.

#include <QAction>
#include <QTableWidget>
#include <QTest>

#include "FakePlatform.h"
#include "engine/FileChecks.h"
#include "ui/frmPROBLEMS.h"

namespace tracklens::desktop_testing {
namespace {

// One track: a program number of 128, an unknown status byte (F4).
const Bytes kDamaged = {0x4D, 0x54, 0x68, 0x64, 0,    0,    0,    6,    0,    0,
                        0,    1,    0,    0x60, 0x4D, 0x54, 0x72, 0x6B, 0,    0,
                        0,    0x08, 0x00, 0xC0, 0x80, 0x00, 0xF4, 0x01, 0x02, 0x03};

class ProblemsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        installTestRead();
        ASSERT_TRUE(load());
        path_ = inDir(QStringLiteral("damaged.mid"));
        WriteBytes(path_, kDamaged);
        txIN()->setText(path_);
        platform_.messages.clear();
    }

    QString path_;
};

TEST_F(ProblemsTest, KeepGoingListsProblemRowsWithoutAMessageAndCountsThem)
{
    EXPECT_EQ(window_->keepGoingAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+A")));
    QTest::keyClick(window_.get(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(platform_.messages.empty());
    ASSERT_EQ(listing().rowCount(), 9);
    EXPECT_EQ(listing().shownText(7, 4), QStringLiteral("Errore 9"));
    EXPECT_EQ(listing().shownText(8, 4), QStringLiteral("Valore sconosciuto"));
    EXPECT_TRUE(listing().isProblemRow(7));
    EXPECT_FALSE(listing().isProblemRow(6));
    EXPECT_TRUE(lblStato()->text().startsWith(QStringLiteral("Problems found: 2 - ")));

    // Analysis itself stops at the first problem, as ever.
    click("cmdANALISI");
    ASSERT_EQ(platform_.messages.size(), 1U);
    EXPECT_EQ(listing().rowCount(), 1);
    EXPECT_EQ(lblStato()->text(), QString());
}

TEST_F(ProblemsTest, ProblemsWindowListsTheFindingsAndShowsTheirRows)
{
    window_->analyseKeepingGoing();
    EXPECT_EQ(window_->problemsAction()->shortcut(), QKeySequence(Qt::Key_F8));
    // The wait window of the run has come and gone: the main window is the active one again.
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QTest::keyClick(window_.get(), Qt::Key_F8);
    ui::frmPROBLEMS* problems = window_->problemsWindow();
    ASSERT_NE(problems, nullptr);
    EXPECT_TRUE(problems->isVisible());
    EXPECT_FALSE(problems->isModal());
    const std::vector<Finding> findings = CheckFile(kDamaged).findings;
    ASSERT_EQ(problems->findingCount(), static_cast<int>(findings.size()));
    EXPECT_EQ(problems->countsText(), QStringLiteral("Errors: 4    Warnings: 0    Info: 0"));
    QTableWidget* table = problems->table();
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("0000000E"));
    EXPECT_EQ(table->item(0, 4)->text(), QStringLiteral("missing-end-of-track"));

    // The unknown status at 0x19 is the grid's last row.
    const int last = problems->findingCount() - 1;
    EXPECT_EQ(table->item(last, 4)->text(), QStringLiteral("unknown-status"));
    emit table->activated(table->model()->index(last, 0));
    EXPECT_EQ(grid()->currentRow(), 8);
    emit table->activated(table->model()->index(0, 0));
    EXPECT_EQ(grid()->currentRow(), 5);
}

} // namespace
} // namespace tracklens::desktop_testing
