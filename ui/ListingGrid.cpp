#include "ui/ListingGrid.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QToolTip>
#include <algorithm>

#include "cli/ListingWriter.h"
#include "ui/Twips.h"

namespace tracklens::ui {

namespace {

// Blank space left and right of a cell's text, in pixels.
constexpr int kCellPadding = 3;

int ClampRow(std::int64_t row, int rows)
{
    return static_cast<int>(std::clamp<std::int64_t>(row, 0, std::max(rows - 1, 0)));
}

// The hourglass for as long as it lives.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace

// The titles of the header row, for the header view: a model of columns without rows.
class ColumnTitles final : public QAbstractTableModel {
public:
    ColumnTitles(const ListingModel& listing, QObject* parent)
        : QAbstractTableModel(parent)
        , listing_(listing)
    {
    }

    int rowCount(const QModelIndex&) const override { return 0; }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(kAllColumnCount);
    }
    QVariant data(const QModelIndex&, int) const override { return {}; }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal) {
            return {};
        }
        if (role == Qt::DisplayRole) {
            return listing_.title(section);
        }
        if (role == Qt::TextAlignmentRole) {
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        }
        return {};
    }

    void refresh()
    {
        emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(kAllColumnCount) - 1);
    }

private:
    const ListingModel& listing_;
};

ListingGrid::ListingGrid(QWidget* parent)
    : QAbstractScrollArea(parent)
    , model_(this)
    , titles_(new ColumnTitles(model_, this))
    , header_(new QHeaderView(Qt::Horizontal, this))
    , backdrop_(palette().color(QPalette::Window))
{
    header_->setModel(titles_);
    header_->setSectionResizeMode(QHeaderView::Interactive);
    header_->setStretchLastSection(false);
    header_->setHighlightSections(false);
    header_->setSectionsClickable(false);
    header_->setMinimumSectionSize(1);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header_->setFocusPolicy(Qt::NoFocus);
    header_->setContextMenuPolicy(Qt::CustomContextMenu);
    header_->hide();
    placeColumns();

    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(20);
    setAccessibleName(QStringLiteral("Listing"));

    connect(header_, &QHeaderView::sectionResized, this, [this] {
        updateGeometries();
        viewport()->update();
    });
    connect(header_, &QHeaderView::sectionMoved, this, [this] { viewport()->update(); });
    connect(header_, &QHeaderView::sectionHandleDoubleClicked, this, &ListingGrid::fitColumn);
    connect(header_, &QHeaderView::customContextMenuRequested, this, &ListingGrid::showHeaderMenu);
    connect(&model_, &ListingModel::rowsChanged, this, &ListingGrid::rowsChanged);
    connect(&model_, &ListingModel::titlesChanged, this, [this] { titles_->refresh(); });
    updateRowHeight();
}

ListingGrid::~ListingGrid() = default;

namespace {

constexpr std::array kPlacingColumns = {Column::Track, Column::Offset, Column::Time, Column::Bar};

int Section(Column column)
{
    return static_cast<int>(column);
}

QString TitleOf(Column column)
{
    const std::string_view title = ColumnTitle(column);
    return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

} // namespace

// The header's sections are the columns by their number; they stand in the order of
// kAllColumns, the columns that place rows hidden.
void ListingGrid::placeColumns()
{
    for (int visual = 0; visual < static_cast<int>(kAllColumns.size()); ++visual) {
        const int section = Section(kAllColumns[static_cast<std::size_t>(visual)]);
        header_->moveSection(header_->visualIndex(section), visual);
    }
    for (const Column column : kPlacingColumns) {
        header_->setSectionHidden(Section(column), true);
    }
}

void ListingGrid::setColumnShown(Column column, bool shown)
{
    header_->setSectionHidden(Section(column), !shown);
    if (shown) {
        fitColumn(Section(column));
        const int longest = fontMetrics().horizontalAdvance(model_.longestPlacingText(column)) +
                            2 * kCellPadding + 1;
        header_->resizeSection(Section(column),
                               std::max(header_->sectionSize(Section(column)), longest));
    }
    updateGeometries();
    viewport()->update();
}

bool ListingGrid::isColumnShown(Column column) const
{
    return !header_->isSectionHidden(Section(column));
}

void ListingGrid::showHeaderMenu(const QPoint& position)
{
    QMenu menu(this);
    addColumnToggles(menu);
    menu.exec(header_->viewport()->mapToGlobal(position));
}

void ListingGrid::addColumnToggles(QMenu& menu)
{
    for (const Column column : kPlacingColumns) {
        QAction* action = menu.addAction(TitleOf(column));
        action->setCheckable(true);
        action->setChecked(isColumnShown(column));
        connect(action, &QAction::toggled, this,
                [this, column](bool shown) { setColumnShown(column, shown); });
    }
}

void ListingGrid::clearCells()
{
    currentRow_ = -1;
    emit currentRowChanged(-1);
    anchorRow_ = -1;
    selection_.clear();
    verticalScrollBar()->setValue(0);
    model_.clearCells();
}

void ListingGrid::setFixedRows(int fixedRows)
{
    model_.setFixedRows(fixedRows);
    header_->setVisible(model_.fixedRows() == 1);
    updateGeometries();
}

void ListingGrid::setColumnWidthTwips(int column, int twips)
{
    const int pixels = TwipsToPixels(twips, logicalDpiX());
    setColumnWidth(column, pixels);
    const auto index = static_cast<std::size_t>(column);
    setTwips_[index] = twips;
    setPixels_[index] = pixels;
}

int ListingGrid::columnWidthTwips(int column) const
{
    const int pixels = columnWidth(column);
    const auto index = static_cast<std::size_t>(column);
    return pixels == setPixels_[index] ? setTwips_[index] : PixelsToTwips(pixels, logicalDpiX());
}

void ListingGrid::setColumnWidth(int column, int pixels)
{
    header_->resizeSection(column, pixels);
}

int ListingGrid::columnWidth(int column) const
{
    return header_->sectionSize(column);
}

void ListingGrid::setHeaderColours(const QColor& background, const QColor& text)
{
    header_->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: %1; color: %2; "
                                          "border: 1px solid #C0C0C0; padding-left: 2px; }")
                               .arg(background.name(), text.name()));
    updateGeometries();
}

void ListingGrid::setBackdropColour(const QColor& colour)
{
    backdrop_ = colour;
    viewport()->update();
}

int ListingGrid::topRow() const
{
    return verticalScrollBar()->value();
}

int ListingGrid::rowsInSight() const
{
    return std::max(1, viewport()->height() / rowHeight_);
}

int ListingGrid::rowAt(int y) const
{
    if (y < 0) {
        return -1;
    }
    const std::int64_t row = std::int64_t{topRow()} + y / rowHeight_;
    return row < model_.rowCount() ? static_cast<int>(row) : -1;
}

void ListingGrid::rowsChanged()
{
    const int rows = model_.rowCount();
    if (currentRow_ >= rows) {
        currentRow_ = -1;
    }
    if (anchorRow_ >= rows) {
        anchorRow_ = -1;
    }
    selection_.dropFrom(rows);
    updateGeometries();
    viewport()->update();
    describeCurrentRow();
    emit currentRowChanged(currentRow_);
}

void ListingGrid::updateRowHeight()
{
    rowHeight_ = std::max(1, fontMetrics().height() + 4);
    updateGeometries();
    viewport()->update();
}

void ListingGrid::updateGeometries()
{
    const int headerHeight = header_->isHidden() ? 0 : header_->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, bottomMargin_);
    const QRect area = viewport()->geometry();
    header_->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);

    const int shown = rowsInSight();
    QScrollBar* rows = verticalScrollBar();
    rows->setRange(0, std::max(0, model_.rowCount() - shown));
    rows->setPageStep(shown);
    QScrollBar* pixels = horizontalScrollBar();
    pixels->setRange(0, std::max(0, header_->length() - area.width()));
    pixels->setPageStep(std::max(1, area.width()));
    header_->setOffset(pixels->value());
}

void ListingGrid::setBottomMargin(int pixels)
{
    bottomMargin_ = std::max(0, pixels);
    updateGeometries();
    viewport()->update();
}

QRect ListingGrid::rowsArea() const
{
    return viewport()->geometry();
}

void ListingGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateGeometries();
}

void ListingGrid::scrollContentsBy(int dx, int)
{
    if (dx != 0) {
        header_->setOffset(horizontalScrollBar()->value());
    }
    viewport()->update();
}

void ListingGrid::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateRowHeight();
    } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        viewport()->update();
    }
}

void ListingGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ListingGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// Drawing.

void ListingGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    const int right = std::min(header_->length() - header_->offset(), area.width());
    const std::int64_t end = std::min<std::int64_t>(
        model_.rowCount(), std::int64_t{topRow()} + area.height() / rowHeight_ + 1);
    int y = 0;
    for (int row = topRow(); row < end; ++row, y += rowHeight_) {
        paintRow(painter, row, y, right);
    }
    painter.fillRect(QRect(right, 0, area.width() - right, area.height()), backdrop_);
    painter.fillRect(QRect(0, y, right, area.height() - y), backdrop_);
}

void ListingGrid::paintRow(QPainter& painter, int row, int y, int right) const
{
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    const bool selected = selection_.contains(row);
    const QColor background =
        palette().color(group, selected ? QPalette::Highlight : QPalette::Base);
    // The problems a walk that kept going listed are in red.
    const QColor text = selected ? palette().color(group, QPalette::HighlightedText)
                        : model_.isProblemRow(row) ? QColor(Qt::red)
                                                   : palette().color(group, QPalette::Text);
    const QColor lines = palette().color(group, QPalette::Mid);
    const QFontMetrics metrics = fontMetrics();
    for (int visual = 0; visual < header_->count(); ++visual) {
        const int column = header_->logicalIndex(visual);
        const int x = header_->sectionViewportPosition(column);
        const int width = header_->sectionSize(column);
        if (header_->isSectionHidden(column) || width <= 0 || x + width <= 0 || x >= right) {
            continue;
        }
        const QRect cell(x, y, width, rowHeight_);
        painter.fillRect(cell, background);
        const QRect textArea = cell.adjusted(kCellPadding, 0, -kCellPadding, -1);
        if (textArea.width() > 0) {
            painter.setPen(text);
            painter.drawText(textArea,
                             static_cast<int>(model_.alignment(column)) | Qt::TextSingleLine,
                             metrics.elidedText(model_.shownText(row, column), Qt::ElideRight,
                                                textArea.width()));
        }
        painter.setPen(lines);
        painter.drawLine(cell.topRight(), cell.bottomRight());
        painter.drawLine(cell.bottomLeft(), cell.bottomRight());
    }
    if (row == currentRow_ && hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = QRect(-header_->offset(), y, header_->length(), rowHeight_);
        option.backgroundColor = background;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

bool ListingGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        if (!showToolTip(static_cast<QHelpEvent*>(event)->pos())) {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

// The whole text of a cell that is drawn cut short.
bool ListingGrid::showToolTip(const QPoint& position)
{
    const int row = rowAt(position.y());
    const int column = header_->logicalIndexAt(position.x());
    if (row < 0 || column < 0) {
        return false;
    }
    QString full = model_.cellText(row + model_.fixedRows(), column);
    while (full.endsWith(u' ')) {
        full.chop(1);
    }
    const int room = header_->sectionSize(column) - 2 * kCellPadding;
    if (full.isEmpty() || fontMetrics().horizontalAdvance(model_.shownText(row, column)) <= room) {
        return false;
    }
    const QRect cell(header_->sectionViewportPosition(column), (row - topRow()) * rowHeight_,
                     header_->sectionSize(column), rowHeight_);
    QToolTip::showText(viewport()->mapToGlobal(position), full, viewport(), cell);
    return true;
}

// The current row and the selection.

void ListingGrid::ensureVisible(int row)
{
    const int top = topRow();
    const int shown = rowsInSight();
    if (row < top) {
        verticalScrollBar()->setValue(row);
    } else if (std::int64_t{row} >= std::int64_t{top} + shown) {
        verticalScrollBar()->setValue(row - shown + 1);
    }
}

void ListingGrid::describeCurrentRow()
{
    QString text;
    if (currentRow_ >= 0) {
        text = tr("Row %1 of %2").arg(currentRow_ + 1).arg(model_.rowCount());
        for (int visual = 0; visual < header_->count(); ++visual) {
            const int column = header_->logicalIndex(visual);
            if (!header_->isSectionHidden(column)) {
                text += QStringLiteral(", %1: %2")
                            .arg(TitleOf(static_cast<Column>(column)),
                                 model_.shownText(currentRow_, column));
            }
        }
    }
    if (text != accessibleDescription()) {
        setAccessibleDescription(text);
    }
}

void ListingGrid::setCurrentRow(int row)
{
    if (model_.rowCount() > 0) {
        moveTo(ClampRow(row, model_.rowCount()), Qt::NoModifier);
    }
}

void ListingGrid::moveTo(int row, Qt::KeyboardModifiers modifiers)
{
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        if (anchorRow_ < 0) {
            anchorRow_ = currentRow_ >= 0 ? currentRow_ : row;
        }
        selection_.clear();
        selection_.add(anchorRow_, row);
    } else {
        // Ctrl with a key moves like the key alone: the rows left behind do not stay selected.
        selection_.clear();
        selection_.add(row, row);
        anchorRow_ = row;
    }
    makeCurrent(row);
}

// The row becomes the current one, in sight and described for screen readers.
void ListingGrid::makeCurrent(int row)
{
    currentRow_ = row;
    ensureVisible(row);
    viewport()->update();
    describeCurrentRow();
    emit currentRowChanged(row);
}

void ListingGrid::clickRow(int row, Qt::KeyboardModifiers modifiers)
{
    const bool extend = modifiers.testFlag(Qt::ShiftModifier);
    const bool add = modifiers.testFlag(Qt::ControlModifier);
    if (extend) {
        if (anchorRow_ < 0) {
            anchorRow_ = currentRow_ >= 0 ? currentRow_ : row;
        }
        if (!add) {
            selection_.clear();
        }
        selection_.add(anchorRow_, row);
    } else if (add) {
        selection_.toggle(row);
        anchorRow_ = row;
    } else {
        selection_.clear();
        selection_.add(row, row);
        anchorRow_ = row;
    }
    makeCurrent(row);
}

void ListingGrid::selectAll()
{
    if (model_.rowCount() == 0) {
        return;
    }
    selection_.clear();
    selection_.add(0, model_.rowCount() - 1);
    viewport()->update();
}

void ListingGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const int rows = model_.rowCount();
    const std::int64_t from = currentRow_;
    const std::int64_t page = rowsInSight();
    std::int64_t target = 0;
    switch (event->key()) {
    case Qt::Key_Up:
        target = from - 1;
        break;
    case Qt::Key_Down:
        target = from + 1;
        break;
    case Qt::Key_PageUp:
        target = from - page;
        break;
    case Qt::Key_PageDown:
        target = from + page;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = rows - 1;
        break;
    case Qt::Key_Left:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return;
    case Qt::Key_Right:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return;
    case Qt::Key_Space:
        if (event->modifiers().testFlag(Qt::ControlModifier) && currentRow_ >= 0) {
            selection_.toggle(currentRow_);
            anchorRow_ = currentRow_;
            viewport()->update();
            return;
        }
        event->ignore();
        return;
    default:
        // Letters and every other key select nothing: there is no search by typing.
        event->ignore();
        return;
    }
    if (rows == 0) {
        return;
    }
    // The first step of a grid without a current row goes to the first row in sight.
    const bool step = event->key() != Qt::Key_Home && event->key() != Qt::Key_End;
    moveTo(ClampRow(from < 0 && step ? topRow() : target, rows), event->modifiers());
}

void ListingGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int row = rowAt(event->position().toPoint().y());
    if (row >= 0) {
        clickRow(row, event->modifiers());
    }
}

void ListingGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (!event->buttons().testFlag(Qt::LeftButton) || anchorRow_ < 0 || viewport()->height() <= 0) {
        return;
    }
    const int y = event->position().toPoint().y();
    int row = rowAt(std::clamp(y, 0, viewport()->height() - 1));
    if (y < 0) {
        row = std::max(0, topRow() - 1);
    } else if (y >= viewport()->height() || row < 0) {
        row = ClampRow(std::int64_t{topRow()} + rowsInSight(), model_.rowCount());
    }
    selection_.clear();
    selection_.add(anchorRow_, row);
    makeCurrent(row);
}

void ListingGrid::fitColumn(int column)
{
    int widest = header_->sectionSizeHint(column);
    const QFontMetrics metrics = fontMetrics();
    const std::int64_t end =
        std::min<std::int64_t>(model_.rowCount(), std::int64_t{topRow()} + rowsInSight() + 1);
    for (int row = topRow(); row < end; ++row) {
        widest = std::max(widest, metrics.horizontalAdvance(model_.shownText(row, column)) +
                                      2 * kCellPadding + 1);
    }
    header_->resizeSection(column, widest);
}

// Copy.

std::string ListingGrid::selectionAsTsv() const
{
    std::string text;
    for (const RowRanges::Range& range : selection_.ranges()) {
        for (int row = range.first; row <= range.last; ++row) {
            bool first = true;
            for (int visual = 0; visual < header_->count(); ++visual) {
                const int column = header_->logicalIndex(visual);
                if (header_->isSectionHidden(column)) {
                    continue;
                }
                if (!first) {
                    text += '\t';
                }
                first = false;
                AppendTsvEscaped(text, model_.exportText(row, column));
            }
            text += '\n';
        }
    }
    return text;
}

bool ListingGrid::copySelection()
{
    const std::int64_t rows = selection_.count();
    if (rows == 0) {
        return false;
    }
    if (rows > kMostRowsCopied) {
        emit copyRefused(rows);
        return false;
    }
    // Up to a million rows take a second or two: the pointer says so.
    const BusyPointer busy;
    try {
        const std::string text = selectionAsTsv();
        QApplication::clipboard()->setText(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    } catch (const std::bad_alloc&) {
        emit copyRefused(rows);
        return false;
    }
    return true;
}

} // namespace tracklens::ui
