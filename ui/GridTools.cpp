#include "ui/GridTools.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <utility>

#include "ui/BytesWindow.h"
#include "ui/FilterDialog.h"
#include "ui/FindBar.h"
#include "ui/GoToDialog.h"
#include "ui/GridMenu.h"
#include "ui/ListingExport.h"
#include "ui/ListingGrid.h"

namespace tracklens::ui {

namespace {

struct ExportFormat {
    ListingFormat format;
    const char* filter;
    const char* suffix;
};
constexpr ExportFormat kExportFormats[] = {
    {ListingFormat::Tsv, "TSV (*.tsv)", "tsv"},
    {ListingFormat::Csv, "CSV (*.csv)", "csv"},
    {ListingFormat::Json, "JSON (*.json)", "json"},
};

// The save dialog: the format follows the filter chosen, and so does a name without a suffix.
GridTools::ExportChoice AskExportTarget(QWidget* parent)
{
    QStringList filters;
    for (const ExportFormat& format : kExportFormats) {
        filters << QString::fromLatin1(format.filter);
    }
    QString chosenFilter;
    QString path = QFileDialog::getSaveFileName(parent, QObject::tr("Export listing"), QString(),
                                                filters.join(QStringLiteral(";;")), &chosenFilter);
    if (path.isEmpty()) {
        return {};
    }
    const auto index = std::max<qsizetype>(0, filters.indexOf(chosenFilter));
    const ExportFormat& format = kExportFormats[static_cast<std::size_t>(index)];
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + QString::fromLatin1(format.suffix);
    }
    return {path, format.format};
}

} // namespace

GridTools::GridTools(ListingGrid& grid, QWidget& window)
    : QObject(&window)
    , grid_(grid)
    , window_(window)
    , findBar_(new FindBar(grid))
    , filter_(new FilterDialog(grid, &window))
    , goTo_(new GoToDialog([this](const GoToTarget& target) { return goTo(target); }, &window))
    , export_(new ListingExport(grid.listing(), this))
    , chooseExport_(AskExportTarget)
{
    makeMenu();
    grid_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { menu_->popup(&grid_, grid_.viewport()->mapToGlobal(at)); });
    connect(findBar_, &FindBar::filterToggled, this, [this](bool on, const QString& text) {
        if (!on) {
            filter_->clear();
            return;
        }
        RowFilter filter;
        filter.text = text.toStdString();
        filter_->showFilter(filter);
        filter_->apply(filter);
    });
    connect(filter_, &FilterDialog::shownRowsChanged, this,
            [this] { findBar_->showFilterState(grid_.listing().filtered(), filter_->status()); });
    connect(&grid_.listing(), &ListingModel::tableChanged, this, &GridTools::listingChanged);
    connect(export_, &ListingExport::ended, this, &GridTools::exportEnded);
    connect(export_, &ListingExport::progressed, this, [this](int perMille) {
        if (exportProgress_ != nullptr) {
            exportProgress_->setValue(perMille);
        }
    });
    listingChanged();
}

GridTools::~GridTools() = default;

QAction* GridTools::addAction(const QString& text, const QKeySequence& key,
                              const std::function<void()>& triggered)
{
    auto* action = new QAction(text, this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, triggered);
    window_.addAction(action);
    return action;
}

void GridTools::makeMenu()
{
    // Copy and Select all are the grid's own keys; the menu only shows them.
    auto* copy = new QAction(tr("&Copy"), this);
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, &grid_, &ListingGrid::copySelection);
    auto* selectAll = new QAction(tr("Select &all"), this);
    selectAll->setShortcut(QKeySequence::SelectAll);
    connect(selectAll, &QAction::triggered, &grid_, &ListingGrid::selectAll);

    GridMenu::Actions actions{
        copy,
        selectAll,
        addAction(tr("&Find\u2026"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] { openFind(); }),
        addAction(tr("F&ilter\u2026"), QKeySequence(Qt::CTRL | Qt::Key_L),
                  [this] { openFilter(); }),
        addAction(tr("&Go to\u2026"), QKeySequence(Qt::CTRL | Qt::Key_G), [this] { openGoTo(); }),
        addAction(tr("&Bytes\u2026"), QKeySequence(Qt::Key_F4), [this] { openBytes(); }),
        addAction(tr("&Export listing\u2026"), QKeySequence(Qt::CTRL | Qt::Key_S),
                  [this] { exportListing(); }),
    };
    addAction(tr("Find next"), QKeySequence(Qt::Key_F3), [this] { findNext(); });
    addAction(tr("Find previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
              [this] { findPrevious(); });
    listingActions_ = {actions.filter, actions.goTo, actions.exportListing};
    menu_ = new GridMenu(actions, this);
}

void GridTools::listingChanged()
{
    const bool listed = !grid_.listing().table().empty();
    for (QAction* action : listingActions_) {
        action->setEnabled(listed);
    }
    if (!listed) {
        export_->cancel();
    }
}

void GridTools::setAnalysedFile(const std::filesystem::path& path)
{
    analysedFile_ = IdentityOf(path);
}

void GridTools::openFind()
{
    findBar_->open();
}

void GridTools::findNext()
{
    findBar_->findNext();
}

void GridTools::findPrevious()
{
    findBar_->findPrevious();
}

void GridTools::openFilter()
{
    filter_->show();
    filter_->raise();
    filter_->activateWindow();
}

void GridTools::openGoTo()
{
    goTo_->show();
    goTo_->raise();
    goTo_->activateWindow();
}

BytesWindow& GridTools::bytesWindow()
{
    if (bytes_ == nullptr) {
        bytes_ = new BytesWindow(grid_, &window_);
    }
    return *bytes_;
}

void GridTools::openBytes()
{
    BytesWindow& window = bytesWindow();
    window.show();
    window.raise();
    window.followCurrentRow();
}

std::optional<QString> GridTools::goTo(const GoToTarget& target)
{
    const ListingModel& listing = grid_.listing();
    const EventTable& table = listing.table();
    if (table.empty()) {
        return tr("There is no listing.");
    }
    std::int64_t tableRow = -1;
    // A tick, a time or a bar is looked for from the top, which may take a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    switch (target.form) {
    case GoToForm::Row:
        if (target.value > static_cast<std::uint64_t>(listing.tableRows())) {
            return tr("The listing has %1 rows.").arg(listing.tableRows());
        }
        tableRow = static_cast<std::int64_t>(target.value) - 1;
        break;
    case GoToForm::AbsTick:
        tableRow = TableRowAtTick(table, target.value);
        if (tableRow < 0) {
            return tr("No event is at or after tick %1.").arg(target.value);
        }
        break;
    case GoToForm::Offset:
        if (target.value >= table.content().size()) {
            return tr("The file has %1 bytes: its last offset is %2.")
                .arg(table.content().size())
                .arg(QString::number(table.content().size() - 1, 16).toUpper());
        }
        tableRow = TableRowAtOffset(table, target.value);
        break;
    case GoToForm::Time:
    case GoToForm::Bar:
        tableRow = TableRowAtPlace(table, target);
        if (tableRow < 0) {
            return target.form == GoToForm::Time ? tr("No event is at or after that time.")
                                                 : tr("No event is at or after that bar.");
        }
        break;
    }
    const int dataRow = tableRow >= 0 ? listing.dataRowAtOrAfter(tableRow) : -1;
    if (dataRow < 0) {
        return tr("No row is shown at or after it.");
    }
    grid_.setCurrentRow(dataRow);
    grid_.setFocus();
    return std::nullopt;
}

void GridTools::exportListing()
{
    if (grid_.listing().table().empty() || export_->running()) {
        return;
    }
    const ExportChoice choice = chooseExport_(&window_);
    if (choice.path.isEmpty()) {
        return;
    }
    bool shownRowsOnly = false;
    const ListingModel& listing = grid_.listing();
    if (listing.filtered()) {
        QMessageBox ask(QMessageBox::Question, tr("Export listing"),
                        tr("A filter shows %1 of %2 rows. Which rows are exported?")
                            .arg(listing.rowCount())
                            .arg(listing.tableRows()),
                        QMessageBox::Cancel, &window_);
        QPushButton* shown = ask.addButton(tr("&Shown rows"), QMessageBox::AcceptRole);
        QPushButton* all = ask.addButton(tr("&All rows"), QMessageBox::AcceptRole);
        ask.exec();
        if (ask.clickedButton() != shown && ask.clickedButton() != all) {
            return;
        }
        shownRowsOnly = ask.clickedButton() == shown;
    }
    if (const std::optional<QString> refusal =
            exportTo(choice.path, choice.format, shownRowsOnly)) {
        showFailure(*refusal);
        return;
    }
    askedExport_ = true;
    showExportProgress();
}

std::optional<QString> GridTools::exportTo(const QString& path, ListingFormat format,
                                           bool shownRowsOnly)
{
    if (grid_.listing().table().empty()) {
        return tr("There is no listing.");
    }
    return export_->start(std::filesystem::path(path.toStdString()), format, ShownColumns(grid_),
                          shownRowsOnly, analysedFile_);
}

void GridTools::showExportProgress()
{
    if (exportProgress_ == nullptr) {
        exportProgress_ =
            new QProgressDialog(tr("Exporting the listing\u2026"), tr("Cancel"), 0, 1000, &window_);
        exportProgress_->setWindowTitle(tr("Export listing"));
        exportProgress_->setMinimumDuration(300);
        exportProgress_->setAutoReset(false);
        exportProgress_->setAutoClose(false);
        connect(exportProgress_, &QProgressDialog::canceled, export_, &ListingExport::cancel);
    }
    exportProgress_->setValue(0);
}

void GridTools::exportEnded(bool cancelled, const QString& failure)
{
    if (exportProgress_ != nullptr) {
        exportProgress_->reset();
        exportProgress_->hide();
    }
    if (!cancelled && !failure.isEmpty() && std::exchange(askedExport_, false)) {
        showFailure(failure);
    }
    askedExport_ = false;
}

void GridTools::showFailure(const QString& text)
{
    QMessageBox::warning(&window_, tr("Export listing"), text);
}

} // namespace tracklens::ui
