#include "ui/FilterDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <future>
#include <system_error>

#include "ui/FindBar.h"
#include "ui/ListingGrid.h"
#include "ui/SliceRunner.h"

namespace tracklens::ui {

namespace {

// Enough for the second thread to be worth its start.
constexpr std::int64_t kRowsBetweenClocks = 1 << 15;
constexpr int kChannels = 16;

} // namespace

QString FilterDialog::groupName(RowGroup group)
{
    switch (group) {
    case RowGroup::HeaderAndChunks:
        return tr("Header and chunks");
    case RowGroup::Notes:
        return tr("Notes");
    case RowGroup::Controllers:
        return tr("Controllers");
    case RowGroup::ProgramChanges:
        return tr("Program changes");
    case RowGroup::PitchBend:
        return tr("Pitch bend");
    case RowGroup::Aftertouch:
        return tr("Aftertouch");
    case RowGroup::SystemExclusive:
        return tr("SysEx");
    case RowGroup::Meta:
        return tr("Meta events");
    case RowGroup::SystemMessages:
        return tr("System messages");
    case RowGroup::Problems:
        return tr("Problems");
    }
    return {};
}

FilterDialog::FilterDialog(ListingGrid& grid, QWidget* parent)
    : QDialog(parent)
    , grid_(grid)
    , runner_(new SliceRunner(this))
    , text_(new QLineEdit(this))
    , channel_(new QComboBox(this))
    , status_(new QLabel(this))
    , progress_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("filterDialog"));
    setWindowTitle(tr("Filter"));
    setModal(false);
    channel_->addItem(tr("Any"));
    for (int channel = 1; channel <= kChannels; ++channel) {
        channel_->addItem(QString::number(channel));
    }
    auto* fields = new QFormLayout;
    fields->addRow(tr("&Text:"), text_);
    fields->addRow(tr("&Channel:"), channel_);
    auto* kinds = new QGridLayout;
    for (std::size_t group = 0; group < kRowGroupCount; ++group) {
        groups_[group] = new QCheckBox(groupName(static_cast<RowGroup>(group)), this);
        groups_[group]->setChecked(true);
        kinds->addWidget(groups_[group], static_cast<int>(group / 2), static_cast<int>(group % 2));
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* apply = buttons->addButton(tr("&Apply"), QDialogButtonBox::ApplyRole);
    QPushButton* clear = buttons->addButton(tr("C&lear"), QDialogButtonBox::ResetRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    apply->setDefault(true);
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->hide();
    status_->setObjectName(QStringLiteral("filterStatus"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(kinds);
    layout->addWidget(progress_);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    connect(apply, &QPushButton::clicked, this, [this] { this->apply(chosenFilter()); });
    connect(clear, &QPushButton::clicked, this, &FilterDialog::clear);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    connect(runner_, &SliceRunner::ended, this, [this](bool cancelled) {
        progress_->hide();
        if (cancelled && building_) {
            building_.reset();
            releaseLooking();
            updateStatus();
        }
    });
    connect(&grid_.listing(), &ListingModel::tableChanged, this, [this] {
        runner_->cancel();
        updateStatus();
    });
}

RowFilter FilterDialog::chosenFilter() const
{
    RowFilter filter;
    filter.text = text_->text().toStdString();
    filter.channel = channel_->currentIndex();
    for (std::size_t group = 0; group < kRowGroupCount; ++group) {
        filter.groups.set(group, groups_[group]->isChecked());
    }
    return filter;
}

void FilterDialog::showFilter(const RowFilter& filter)
{
    text_->setText(QString::fromStdString(filter.text));
    channel_->setCurrentIndex(filter.channel);
    for (std::size_t group = 0; group < kRowGroupCount; ++group) {
        groups_[group]->setChecked(filter.groups.test(group));
    }
}

void FilterDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && building_) {
        runner_->cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FilterDialog::apply(const RowFilter& filter)
{
    runner_->cancel();
    const ListingModel& listing = grid_.listing();
    if (listing.table().empty()) {
        return;
    }
    const int current = grid_.currentRow();
    building_.emplace(Building{RowFilterMatch(filter, ShownColumns(grid_)),
                               RowFilterMatch(filter, ShownColumns(grid_)),
                               {},
                               0,
                               current >= 0 ? listing.tableRowOf(current) : -1});
    status_->setText(tr("Filtering\u2026"));
    progress_->setValue(0);
    runner_->start([this] { return buildSlice(); });
}

void FilterDialog::finishBuilding()
{
    runner_->finish();
}

bool FilterDialog::buildSlice()
{
    Building& building = *building_;
    const std::int64_t rows = grid_.listing().tableRows();
    while (building.next < rows) {
        const std::int64_t end = std::min(rows, building.next + kRowsBetweenClocks);
        const std::int64_t middle = building.next + (end - building.next) / 2;
        std::future<void> second;
        try {
            second = std::async(std::launch::async, [this, &building, middle, end] {
                lookAt(building.secondMatch, middle, end, secondLooking_);
            });
        } catch (const std::system_error&) {
            // No thread to be had: this one looks at both halves.
            lookAt(building.secondMatch, middle, end, secondLooking_);
        }
        lookAt(building.match, building.next, middle, looking_);
        if (second.valid()) {
            second.get();
        }
        building.rows.insert(building.rows.end(), looking_.shown.begin(), looking_.shown.end());
        building.rows.insert(building.rows.end(), secondLooking_.shown.begin(),
                             secondLooking_.shown.end());
        building.next = end;
        if (runner_->sliceIsUp() && building.next < rows) {
            progress_->show();
            progress_->setValue(static_cast<int>(building.next * 1000 / rows));
            return false;
        }
    }
    finishIndex();
    return true;
}

// The table rows from from to to that the filter shows, into looking.shown. Reads the
// table without changing it, so that two threads may look at once.
void FilterDialog::lookAt(RowFilterMatch& match, std::int64_t from, std::int64_t to,
                          Looking& looking) const
{
    const EventTable& table = grid_.listing().table();
    looking.rows.clear();
    table.listRows(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from),
                   looking.rows);
    looking.found.clear();
    looking.shown.clear();
    if (match.keepsEveryKind()) {
        match.text().findIn(table.content(), table.cellContext(), looking.rows, looking.found);
        for (const std::uint32_t at : looking.found) {
            looking.shown.push_back(static_cast<std::uint32_t>(from) + at);
        }
        return;
    }
    looking.kept.clear();
    looking.tableRows.clear();
    for (std::size_t at = 0; at < looking.rows.size(); ++at) {
        if (match.keepsKindOf(looking.rows[at])) {
            looking.kept.push_back(looking.rows[at]);
            looking.tableRows.push_back(static_cast<std::uint32_t>(from) +
                                        static_cast<std::uint32_t>(at));
        }
    }
    match.text().findIn(table.content(), table.cellContext(), looking.kept, looking.found);
    for (const std::uint32_t at : looking.found) {
        looking.shown.push_back(looking.tableRows[at]);
    }
}

// The rows and lines of a stretch are kept from one stretch to the next, not from one filter
// to the next.
void FilterDialog::releaseLooking()
{
    looking_ = {};
    secondLooking_ = {};
}

// The grid shows the rows kept; the current row stays, or the first shown after it becomes so.
void FilterDialog::finishIndex()
{
    Building building = std::move(*building_);
    building_.reset();
    releaseLooking();
    building.rows.shrink_to_fit();
    ListingModel& listing = grid_.listing();
    listing.setShownRows(std::move(building.rows));
    if (listing.rowCount() > 0) {
        const int at =
            listing.dataRowAtOrAfter(std::max<std::int64_t>(building.currentTableRow, 0));
        grid_.setCurrentRow(at >= 0 ? at : listing.rowCount() - 1);
    }
    updateStatus();
    emit shownRowsChanged();
}

void FilterDialog::clear()
{
    runner_->cancel();
    ListingModel& listing = grid_.listing();
    if (!listing.filtered()) {
        return;
    }
    const int current = grid_.currentRow();
    const std::int64_t tableRow = current >= 0 ? listing.tableRowOf(current) : -1;
    listing.setShownRows(std::nullopt);
    if (tableRow >= 0) {
        grid_.setCurrentRow(static_cast<int>(tableRow));
    }
    updateStatus();
    emit shownRowsChanged();
}

QString FilterDialog::status() const
{
    const ListingModel& listing = grid_.listing();
    if (!listing.filtered()) {
        return {};
    }
    return tr("%1 of %2 rows").arg(listing.rowCount()).arg(listing.tableRows());
}

void FilterDialog::updateStatus()
{
    status_->setText(status());
}

} // namespace tracklens::ui
