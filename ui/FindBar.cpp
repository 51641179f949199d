#include "ui/FindBar.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QToolButton>

#include "ui/ListingGrid.h"
#include "ui/SliceRunner.h"

namespace tracklens::ui {

namespace {

// Rows looked at between two looks at the clock.
constexpr int kRowsBetweenClocks = 4096;

} // namespace

std::vector<Column> ShownColumns(const ListingGrid& grid)
{
    std::vector<Column> columns;
    const QHeaderView* header = grid.horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column)) {
            columns.push_back(static_cast<Column>(column));
        }
    }
    return columns;
}

FindBar::FindBar(ListingGrid& grid)
    : QWidget(&grid)
    , grid_(grid)
    , runner_(new SliceRunner(this))
    , text_(new QLineEdit(this))
    , previous_(new QToolButton(this))
    , next_(new QToolButton(this))
    , filter_(new QToolButton(this))
    , message_(new QLabel(this))
    , progress_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("findBar"));
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto* label = new QLabel(tr("Find:"), this);
    label->setBuddy(text_);
    text_->setObjectName(QStringLiteral("findText"));
    text_->setClearButtonEnabled(true);
    previous_->setText(tr("Previous"));
    previous_->setToolTip(tr("Previous match (Shift+F3)"));
    next_->setText(tr("Next"));
    next_->setToolTip(tr("Next match (F3)"));
    filter_->setText(tr("Filter"));
    filter_->setToolTip(tr("Show only the rows that show this text"));
    filter_->setCheckable(true);
    filter_->setObjectName(QStringLiteral("findFilter"));
    message_->setObjectName(QStringLiteral("findMessage"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->setMaximumWidth(120);
    progress_->hide();
    auto* hide = new QToolButton(this);
    hide->setText(QStringLiteral("\u00D7"));
    hide->setToolTip(tr("Close the find bar (Esc)"));
    layout->addWidget(label);
    layout->addWidget(text_, 1);
    layout->addWidget(previous_);
    layout->addWidget(next_);
    layout->addWidget(filter_);
    layout->addWidget(progress_);
    layout->addWidget(message_, 1);
    layout->addWidget(hide);

    connect(text_, &QLineEdit::returnPressed, this, [this] {
        if (QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier)) {
            findPrevious();
        } else {
            findNext();
        }
    });
    connect(previous_, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(next_, &QToolButton::clicked, this, &FindBar::findNext);
    connect(hide, &QToolButton::clicked, this, &FindBar::close);
    connect(filter_, &QToolButton::toggled, this,
            [this](bool on) { emit filterToggled(on, text_->text()); });
    connect(runner_, &SliceRunner::ended, this, [this](bool cancelled) {
        progress_->hide();
        if (cancelled && search_) {
            search_.reset();
            say(tr("Search cancelled"));
        }
    });
    QWidget::hide();
    grid_.installEventFilter(this);
    connect(&grid_.listing(), &ListingModel::tableChanged, this, [this] {
        runner_->cancel();
        say(QString());
    });
    // The rows a search counts through are those shown when it began.
    connect(&grid_.listing(), &ListingModel::rowsChanged, this, [this] {
        if (search_) {
            runner_->cancel();
        }
    });
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &grid_ && event->type() == QEvent::Resize && isVisible()) {
        place();
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::place()
{
    const QRect rows = grid_.rowsArea();
    const int height = sizeHint().height();
    setGeometry(rows.left(), rows.bottom() + 1, rows.width(), height);
}

void FindBar::open()
{
    grid_.setBottomMargin(sizeHint().height());
    place();
    show();
    raise();
    text_->setFocus();
    text_->selectAll();
}

void FindBar::close()
{
    if (search_) {
        runner_->cancel();
    }
    hide();
    grid_.setBottomMargin(0);
    grid_.setFocus();
}

void FindBar::setText(const QString& text)
{
    text_->setText(text);
}

QString FindBar::text() const
{
    return text_->text();
}

QString FindBar::message() const
{
    return message_->text();
}

void FindBar::showFilterState(bool on, const QString& status)
{
    const QSignalBlocker quiet(filter_);
    filter_->setChecked(on);
    say(status);
}

void FindBar::say(const QString& text)
{
    message_->setText(text);
}

void FindBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (search_) {
            runner_->cancel();
        } else {
            close();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void FindBar::finishSearch()
{
    runner_->finish();
}

void FindBar::findNext()
{
    find(1);
}

void FindBar::findPrevious()
{
    find(-1);
}

void FindBar::find(int step)
{
    if (isHidden()) {
        open();
    }
    const int rows = grid_.listing().rowCount();
    if (text_->text().isEmpty() || grid_.listing().table().empty() || rows == 0) {
        say(text_->text().isEmpty() ? QString() : tr("Not found"));
        return;
    }
    runner_->cancel();
    const int current = grid_.currentRow();
    int first = current < 0 ? (step > 0 ? 0 : rows - 1) : current + step;
    bool wrapped = false;
    if (first >= rows || first < 0) {
        first = step > 0 ? 0 : rows - 1;
        wrapped = current >= 0;
    }
    search_.emplace(Search{BatchMatch(text_->text().toStdString(), ShownColumns(grid_)), first,
                           step, 0, rows, wrapped});
    say(tr("Searching\u2026"));
    progress_->setValue(0);
    runner_->start([this] { return searchSlice(); });
}

// Looks at rows a batch at a time until one matches, every row has been looked at, or the
// slice's time is up. A batch runs towards the end the search goes to, and stops there.
bool FindBar::searchSlice()
{
    Search& search = *search_;
    const ListingModel& listing = grid_.listing();
    const EventTable& table = listing.table();
    const ByteSpan file = table.content();
    const auto rows = static_cast<int>(search.total);
    while (search.visited < search.total) {
        const auto left = static_cast<int>(
            std::min<std::int64_t>(kRowsBetweenClocks, search.total - search.visited));
        const int count =
            search.step > 0 ? std::min(left, rows - search.next) : std::min(left, search.next + 1);
        const int first = search.step > 0 ? search.next : search.next - count + 1;
        batch_.clear();
        for (int row = first; row < first + count; ++row) {
            batch_.push_back(table.row(static_cast<std::size_t>(listing.tableRowOf(row))));
        }
        found_.clear();
        search.match.findIn(file, table.cellContext(), batch_, found_);
        if (!found_.empty()) {
            const int row =
                first + static_cast<int>(search.step > 0 ? found_.front() : found_.back());
            const bool wrapped = search.wrapped;
            search_.reset();
            say(wrapped ? tr("Wrapped around") : QString());
            grid_.setCurrentRow(row);
            return true;
        }
        search.visited += count;
        search.next += search.step * count;
        if (search.next >= rows || search.next < 0) {
            search.next = search.step > 0 ? 0 : rows - 1;
            search.wrapped = true;
        }
        if (runner_->sliceIsUp() && search.visited < search.total) {
            progress_->show();
            progress_->setValue(static_cast<int>(search.visited * 1000 / search.total));
            return false;
        }
    }
    search_.reset();
    say(tr("Not found"));
    return true;
}

} // namespace tracklens::ui
