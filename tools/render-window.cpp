// Renders the main window, after analysing a file, into a PNG. With --timings it also prints
// how long the analysis took until the header rows were first painted (the run shows them as
// soon as they are read) and until the whole listing was painted, a scroll to the last row and
// back, and when Quit was pressed (the wall clock in nanoseconds, so that a script can time the
// process's end from it).
// Usage: render-window [--timings] MIDIFILE OUTPUT.png

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <memory>

#include "ui/ListingGrid.h"
#include "ui/frmMAIN.h"
#include "ui/platform/QtPlatform.h"

namespace {

void PaintNow(QAbstractScrollArea* grid)
{
    grid->viewport()->repaint();
    QApplication::processEvents();
}

// The time the grid is first painted with its header row.
class FirstRowsPainted final : public QObject {
public:
    FirstRowsPainted(const tracklens::ui::ListingGrid& grid, const QElapsedTimer& clock)
        : grid_(grid)
        , clock_(clock)
    {
        grid_.viewport()->installEventFilter(this);
    }

    qint64 elapsed = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (elapsed < 0 && event->type() == QEvent::Paint && grid_.listing().fixedRows() == 1) {
            elapsed = clock_.elapsed();
        }
        return false;
    }

private:
    const tracklens::ui::ListingGrid& grid_;
    const QElapsedTimer& clock_;
};

long long WallClockNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool timings = arguments.removeAll(QStringLiteral("--timings")) > 0;
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: render-window [--timings] MIDIFILE OUTPUT.png\n");
        return 2;
    }
    tracklens::ui::QtPlatform platform;
    auto window = std::make_unique<tracklens::ui::frmMAIN>(platform);
    if (!window->Form_Load()) {
        return 1;
    }
    window->show();
    QApplication::processEvents();
    auto* grid = window->findChild<QAbstractScrollArea*>(QStringLiteral("GRID"));

    QElapsedTimer clock;
    const auto* listingGrid = qobject_cast<tracklens::ui::ListingGrid*>(grid);
    std::unique_ptr<FirstRowsPainted> firstRows;
    if (listingGrid != nullptr) {
        firstRows = std::make_unique<FirstRowsPainted>(*listingGrid, clock);
    }
    clock.start();
    window->openFile(arguments[0]);
    PaintNow(grid);
    const qint64 analysis = clock.restart();
    QScrollBar* rows = grid->verticalScrollBar();
    rows->setValue(rows->maximum());
    PaintNow(grid);
    rows->setValue(0);
    PaintNow(grid);
    const qint64 scroll = clock.elapsed();
    const bool saved = window->grab().save(arguments[1], "PNG");
    if (timings) {
        std::printf("title %s\nanalysis-to-first-rows-ms %lld\nanalysis-to-painted-ms %lld\n"
                    "scroll-to-last-and-back-ms %lld\n",
                    qPrintable(window->windowTitle()), firstRows ? firstRows->elapsed : -1LL,
                    analysis, scroll);
        std::printf("quit-pressed-ns %lld\n", WallClockNanoseconds());
        std::fflush(stdout);
    }
    window->findChild<QPushButton*>(QStringLiteral("cmdQUIT"))->click();
    window.reset();
    return saved ? 0 : 1;
}
