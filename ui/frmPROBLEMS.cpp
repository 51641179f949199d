#include "ui/frmPROBLEMS.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

#include "engine/Conversions.h"

namespace tracklens::ui {

namespace {

constexpr std::array kTitles = {"Offset", "Track", "Tick", "Severity", "Code", "Message"};

QColor SeverityColour(Severity severity)
{
    switch (severity) {
    case Severity::Error:
        return QColor(0xC0, 0x00, 0x00);
    case Severity::Warning:
        return QColor(0xA0, 0x60, 0x00);
    case Severity::Info:
        return QColor(0x00, 0x50, 0xA0);
    }
    return {};
}

QString OffsetText(std::uint64_t offset)
{
    return QStringLiteral("%1").arg(offset, 8, 16, QLatin1Char('0')).toUpper();
}

std::array<QString, kTitles.size()> Cells(const Finding& finding)
{
    const FindingPlace& place = finding.place;
    return {OffsetText(place.offset),
            place.track != 0 ? QString::number(place.track) : QString(),
            place.tick ? QString::number(*place.tick) : QString(),
            QString::fromLatin1(SeverityName(finding.severity())),
            QString::fromLatin1(KindOf(finding.code).name),
            QString::fromStdString(finding.message)};
}

} // namespace

frmPROBLEMS::frmPROBLEMS(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , counts_(new QLabel(this))
    , table_(new QTableWidget(0, static_cast<int>(kTitles.size()), this))
{
    setWindowTitle(QStringLiteral("Problems"));
    setObjectName(QStringLiteral("frmPROBLEMS"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(counts_);
    layout->addWidget(table_);
    QStringList titles;
    for (const char* title : kTitles) {
        titles << QString::fromLatin1(title);
    }
    table_->setHorizontalHeaderLabels(titles);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    connect(table_, &QTableWidget::activated, this, [this](const QModelIndex& index) {
        if (index.row() >= 0 && index.row() < findingCount()) {
            emit findingActivated(findings_[static_cast<std::size_t>(index.row())].place.offset);
        }
    });
    resize(900, 400);
}

QString frmPROBLEMS::countsText() const
{
    std::array<int, 3> counts{};
    for (const Finding& finding : findings_) {
        ++counts[static_cast<std::size_t>(finding.severity())];
    }
    return QStringLiteral("Errors: %1    Warnings: %2    Info: %3")
        .arg(counts[0])
        .arg(counts[1])
        .arg(counts[2]);
}

void frmPROBLEMS::showFindings(const QString& fileName, std::vector<Finding> findings)
{
    findings_ = std::move(findings);
    setWindowTitle(QStringLiteral("Problems - ") + fileName);
    counts_->setText(countsText());
    table_->clearContents();
    table_->setRowCount(findingCount());
    for (int row = 0; row < findingCount(); ++row) {
        const Finding& finding = findings_[static_cast<std::size_t>(row)];
        const auto cells = Cells(finding);
        for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
            auto* item = new QTableWidgetItem(cells[static_cast<std::size_t>(column)]);
            item->setForeground(SeverityColour(finding.severity()));
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
}

} // namespace tracklens::ui
