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

#include "ui/FindBar.h"
#include "ui/ListingGrid.h"
#include "ui/SliceRunner.h"

namespace tracklens::ui {

namespace {

constexpr int kRowsBetweenClocks = 4096;
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
    const ListingModel& listing = grid_.listing();
    const EventTable& table = listing.table();
    const ByteSpan file = table.content();
    const std::int64_t rows = listing.tableRows();
    const bool everyKind = building.match.keepsEveryKind();
    while (building.next < rows) {
        const std::int64_t end = std::min(rows, building.next + kRowsBetweenClocks);
        batch_.clear();
        batchRows_.clear();
        for (; building.next < end; ++building.next) {
            const auto index = static_cast<std::size_t>(building.next);
            const Row row = table.row(index);
            if (everyKind || building.match.keepsKindOf(row)) {
                batch_.push_back(row);
                batchRows_.push_back(static_cast<std::uint32_t>(index));
            }
        }
        found_.clear();
        building.match.text().findIn(file, table.cellContext(), batch_, found_);
        for (const std::uint32_t at : found_) {
            building.rows.push_back(batchRows_[at]);
        }
        if (runner_->sliceIsUp() && building.next < rows) {
            progress_->show();
            progress_->setValue(static_cast<int>(building.next * 1000 / rows));
            return false;
        }
    }
    finishIndex();
    return true;
}

// The grid shows the rows kept; the current row stays, or the first shown after it becomes so.
void FilterDialog::finishIndex()
{
    Building building = std::move(*building_);
    building_.reset();
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
