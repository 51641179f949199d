// Renders the main window, after analysing a file, into a PNG. With --timings it also prints
// how long the analysis took until the listing was painted, and a scroll to the last row and
// back.
// Usage: render-window [--timings] MIDIFILE OUTPUT.png

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTableView>
#include <cstdio>

#include "ui/frmMAIN.h"
#include "ui/platform/QtPlatform.h"

namespace {

void PaintNow(QTableView* grid)
{
    grid->viewport()->repaint();
    QApplication::processEvents();
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
    tracklens::ui::frmMAIN window(platform);
    if (!window.Form_Load()) {
        return 1;
    }
    window.show();
    QApplication::processEvents();
    auto* grid = window.findChild<QTableView*>(QStringLiteral("GRID"));

    QElapsedTimer clock;
    clock.start();
    window.openFile(arguments[0]);
    PaintNow(grid);
    const qint64 analysis = clock.restart();
    grid->scrollToBottom();
    PaintNow(grid);
    grid->scrollToTop();
    PaintNow(grid);
    const qint64 scroll = clock.elapsed();
    if (timings) {
        std::printf("rows %d\nanalysis-to-painted-ms %lld\nscroll-to-last-and-back-ms %lld\n",
                    grid->model()->rowCount(), analysis, scroll);
    }
    return window.grab().save(arguments[1], "PNG") ? 0 : 1;
}
