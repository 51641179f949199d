// Renders the grid's tools after analysing a file: the find bar, the filter and the bytes window,
// each into a PNG of OUTDIR. With --timings it also prints how long a search for a text that is
// not there, the building of a filter and an export of the TSV listing took, each run through
// the event loop as the window runs them, and how long the bytes window took to open and scroll
// to the file's last line; with --search-only, the search and the bytes window alone, for the
// window's peak memory with them.
// Usage: render-tools [--timings [--search-only]] MIDIFILE OUTDIR

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <memory>

#include "ui/BytesWindow.h"
#include "ui/FilterDialog.h"
#include "ui/FindBar.h"
#include "ui/GridTools.h"
#include "ui/ListingExport.h"
#include "ui/ListingGrid.h"
#include "ui/frmMAIN.h"
#include "ui/platform/QtPlatform.h"

namespace {

using tracklens::ui::GridTools;

void RunUntil(const std::function<bool()>& done)
{
    while (!done()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

bool Save(const QPixmap& picture, const QString& path)
{
    const bool saved = picture.save(path, "PNG");
    if (!saved) {
        std::fprintf(stderr, "render-tools: %s cannot be written\n", qPrintable(path));
    }
    return saved;
}

// The window with a tool window drawn over its lower right corner, as it stands on screen.
QPixmap WindowWith(QWidget& window, QWidget& tool)
{
    QPixmap picture = window.grab();
    const QPixmap toolPicture = tool.grab();
    QPainter painter(&picture);
    const QPoint at(picture.width() - toolPicture.width() - 24,
                    picture.height() - toolPicture.height() - 48);
    painter.fillRect(QRect(at, toolPicture.size()).adjusted(-1, -1, 1, 1), Qt::darkGray);
    painter.drawPixmap(at, toolPicture);
    return picture;
}

void Timings(tracklens::ui::frmMAIN& window, tracklens::ui::ListingGrid& grid, bool searchOnly)
{
    GridTools& tools = window.tools();
    QElapsedTimer clock;

    grid.setCurrentRow(0);
    tools.findBar().setText(QStringLiteral("no such text anywhere"));
    clock.start();
    tools.findNext();
    RunUntil([&] { return !tools.findBar().searching(); });
    std::printf("find-not-found-ms %lld (%s)\n", clock.elapsed(),
                qPrintable(tools.findBar().message()));

    if (searchOnly) {
        clock.restart();
        tools.openBytes();
        QScrollBar* lines = tools.bytesWindow().view().verticalScrollBar();
        lines->setValue(lines->maximum());
        tools.bytesWindow().repaint();
        QApplication::processEvents();
        std::printf("bytes-window-open-and-to-the-end-ms %lld\n", clock.elapsed());
        return;
    }

    tracklens::ui::RowFilter filter;
    filter.groups.reset().set(static_cast<std::size_t>(tracklens::ui::RowGroup::ProgramChanges));
    clock.restart();
    tools.filterDialog().apply(filter);
    RunUntil([&] { return !tools.filterDialog().building(); });
    std::printf("filter-program-changes-ms %lld (%s)\n", clock.elapsed(),
                qPrintable(tools.filterDialog().status()));

    filter.groups.set();
    filter.text = "lyric";
    clock.restart();
    tools.filterDialog().apply(filter);
    RunUntil([&] { return !tools.filterDialog().building(); });
    std::printf("filter-text-ms %lld (%s)\n", clock.elapsed(),
                qPrintable(tools.filterDialog().status()));
    tools.filterDialog().clear();

    // Go to scans from the top: a target past every row is its longest.
    for (const tracklens::ui::GoToForm form :
         {tracklens::ui::GoToForm::AbsTick, tracklens::ui::GoToForm::Time,
          tracklens::ui::GoToForm::Bar}) {
        clock.restart();
        const std::optional<QString> failure = tools.goTo({form, 1'000'000'000, 1, 0});
        std::printf("go-to-past-the-end-%d-ms %lld (%s)\n", static_cast<int>(form), clock.elapsed(),
                    qPrintable(failure.value_or(QString())));
    }

    QTemporaryDir dir;
    clock.restart();
    if (!tools.exportTo(dir.filePath(QStringLiteral("listing.tsv")), tracklens::ListingFormat::Tsv,
                        false)) {
        RunUntil([&] { return !tools.listingExport().running(); });
    }
    std::printf("export-tsv-ms %lld\n", clock.elapsed());

    clock.restart();
    tools.openBytes();
    QScrollBar* lines = tools.bytesWindow().view().verticalScrollBar();
    lines->setValue(lines->maximum());
    tools.bytesWindow().repaint();
    QApplication::processEvents();
    std::printf("bytes-window-open-and-to-the-end-ms %lld\n", clock.elapsed());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool timings = arguments.removeAll(QStringLiteral("--timings")) > 0;
    const bool searchOnly = arguments.removeAll(QStringLiteral("--search-only")) > 0;
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: render-tools [--timings [--search-only]] MIDIFILE OUTDIR\n");
        return 2;
    }
    tracklens::ui::QtPlatform platform;
    auto window = std::make_unique<tracklens::ui::frmMAIN>(platform);
    if (!window->Form_Load()) {
        return 1;
    }
    window->show();
    QApplication::processEvents();
    window->openFile(arguments[0]);
    auto* grid = window->findChild<tracklens::ui::ListingGrid*>(QStringLiteral("GRID"));
    if (timings) {
        Timings(*window, *grid, searchOnly);
        window.reset();
        return 0;
    }
    const QString out = arguments[1] + QLatin1Char('/');
    GridTools& tools = window->tools();
    bool saved = true;

    grid->setCurrentRow(0);
    tools.findBar().setText(QStringLiteral("pitch bend"));
    tools.findNext();
    RunUntil([&] { return !tools.findBar().searching(); });
    QApplication::processEvents();
    saved &= Save(window->grab(), out + QStringLiteral("find-bar.png"));
    tools.findBar().close();

    tracklens::ui::RowFilter filter;
    filter.groups.reset()
        .set(static_cast<std::size_t>(tracklens::ui::RowGroup::Notes))
        .set(static_cast<std::size_t>(tracklens::ui::RowGroup::ProgramChanges));
    filter.channel = 1;
    filter.text = "la";
    tools.filterDialog().showFilter(filter);
    tools.openFilter();
    tools.filterDialog().apply(filter);
    RunUntil([&] { return !tools.filterDialog().building(); });
    QApplication::processEvents();
    saved &= Save(WindowWith(*window, tools.filterDialog()), out + QStringLiteral("filter.png"));
    tools.filterDialog().clear();
    tools.filterDialog().hide();

    grid->setCurrentRow(12);
    tools.openBytes();
    // The event's data, after its status, type and length.
    tracklens::ui::HexView& view = tools.bytesWindow().view();
    view.select(view.eventStart() + 3, view.markEnd() - 1);
    QApplication::processEvents();
    saved &= Save(tools.bytesWindow().grab(), out + QStringLiteral("bytes-window.png"));
    window.reset();
    return saved ? 0 : 1;
}
