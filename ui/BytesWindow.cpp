#include "ui/BytesWindow.h"

#include <QFontDatabase>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/GoToTarget.h"
#include "ui/ListingGrid.h"

namespace tracklens::ui {

namespace {

// Character columns of a line: the offset, then the bytes with a wider gap after the eighth,
// then their ASCII.
constexpr int kOffsetChars = 8;
constexpr int kFirstByteColumn = kOffsetChars + 2;
constexpr int kAsciiColumn = kFirstByteColumn + HexView::kBytesPerLine * 3 + 2;
constexpr int kLineChars = kAsciiColumn + HexView::kBytesPerLine;
constexpr int kMargin = 4;

int ByteColumn(int index)
{
    return kFirstByteColumn + index * 3 + (index >= HexView::kBytesPerLine / 2 ? 1 : 0);
}

QChar Printable(std::uint8_t byte)
{
    return byte >= 0x20 && byte < 0x7F ? QChar(byte) : QChar(u'.');
}

} // namespace

ByteReadings ReadBytesAt(ByteSpan file, std::uint64_t offset)
{
    ByteReadings readings;
    if (offset >= file.size()) {
        return readings;
    }
    const ByteSpan from = file.subspan(static_cast<std::size_t>(offset));
    if (!from.empty()) {
        readings.u8 = from[0];
        readings.s8 = static_cast<std::int8_t>(from[0]);
    }
    if (from.size() >= 2) {
        readings.u16 = static_cast<std::uint16_t>(BigEndian(from.first(2)));
        readings.s16 = static_cast<std::int16_t>(*readings.u16);
    }
    if (from.size() >= 4) {
        readings.u32 = static_cast<std::uint32_t>(BigEndian(from.first(4)));
        readings.s32 = static_cast<std::int32_t>(*readings.u32);
    }
    std::uint32_t quantity = 0;
    for (std::size_t at = 0; at < std::min<std::size_t>(from.size(), 4); ++at) {
        quantity = quantity << 7 | (from[at] & 0x7Fu);
        if ((from[at] & 0x80) == 0) {
            readings.quantity = quantity;
            readings.quantityLength = at + 1;
            break;
        }
    }
    return readings;
}

// HexView

HexView::HexView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("hexView"));
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(1);
    updateGeometries();
}

QColor HexView::deltaColour()
{
    return {0xFF, 0xE0, 0x80}; // amber
}

QColor HexView::eventColour()
{
    return {0xA0, 0xE0, 0xFF}; // light blue
}

void HexView::setFile(ByteSpan file)
{
    file_ = file;
    selected_ = false;
    anchor_ = cursor_ = 0;
    clearMark();
    verticalScrollBar()->setValue(0);
    updateGeometries();
}

std::int64_t HexView::lineCount() const
{
    return static_cast<std::int64_t>((file_.size() + kBytesPerLine - 1) / kBytesPerLine);
}

int HexView::linesInSight() const
{
    return std::max(1, viewport()->height() / lineHeight_);
}

std::int64_t HexView::topLine() const
{
    return verticalScrollBar()->value();
}

void HexView::updateGeometries()
{
    const QFontMetrics metrics(font());
    charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    lineHeight_ = std::max(1, metrics.height());
    QScrollBar* lines = verticalScrollBar();
    lines->setRange(0, static_cast<int>(std::max<std::int64_t>(0, lineCount() - linesInSight())));
    lines->setPageStep(linesInSight());
    QScrollBar* pixels = horizontalScrollBar();
    pixels->setRange(0, std::max(0, 2 * kMargin + kLineChars * charWidth_ - viewport()->width()));
    pixels->setPageStep(std::max(1, viewport()->width()));
    viewport()->update();
}

void HexView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateGeometries();
}

void HexView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateGeometries();
    }
}

void HexView::scrollToLine(std::int64_t line)
{
    const std::int64_t top = topLine();
    if (line < top || line >= top + linesInSight()) {
        verticalScrollBar()->setValue(
            static_cast<int>(std::max<std::int64_t>(0, line - linesInSight() / 3)));
    }
}

void HexView::markRow(std::uint64_t deltaStart, std::uint64_t eventStart, std::uint64_t end)
{
    deltaStart_ = deltaStart;
    eventStart_ = eventStart;
    markEnd_ = end;
    const auto first = static_cast<std::int64_t>(deltaStart / kBytesPerLine);
    const auto last =
        static_cast<std::int64_t>((std::max(end, deltaStart + 1) - 1) / kBytesPerLine);
    const std::int64_t top = topLine();
    if (last < top || first >= top + linesInSight()) {
        scrollToLine(first);
    }
    viewport()->update();
}

void HexView::clearMark()
{
    deltaStart_ = eventStart_ = markEnd_ = 0;
    viewport()->update();
}

void HexView::select(std::uint64_t first, std::uint64_t last)
{
    if (file_.empty()) {
        return;
    }
    anchor_ = std::min<std::uint64_t>(first, file_.size() - 1);
    cursor_ = std::min<std::uint64_t>(last, file_.size() - 1);
    selected_ = true;
    scrollToLine(static_cast<std::int64_t>(cursor_ / kBytesPerLine));
    viewport()->update();
    emit selectionChanged();
}

QColor HexView::backgroundOf(std::uint64_t offset) const
{
    if (selected_ && offset >= selectionStart() && offset < selectionEnd()) {
        return palette().color(QPalette::Highlight);
    }
    if (offset >= deltaStart_ && offset < eventStart_) {
        return deltaColour();
    }
    if (offset >= eventStart_ && offset < markEnd_) {
        return eventColour();
    }
    return palette().color(QPalette::Base);
}

void HexView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const int left = kMargin - horizontalScrollBar()->value();
    const QFontMetrics metrics(font());
    const int ascent = metrics.ascent();
    const std::int64_t lines = std::min<std::int64_t>(lineCount() - topLine(), linesInSight() + 1);
    for (std::int64_t index = 0; index < lines; ++index) {
        const std::uint64_t lineStart =
            static_cast<std::uint64_t>(topLine() + index) * kBytesPerLine;
        const int y = static_cast<int>(index) * lineHeight_;
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(
            left, y + ascent,
            QStringLiteral("%1").arg(lineStart, kOffsetChars, 16, QLatin1Char('0')).toUpper());
        for (int byteIndex = 0; byteIndex < kBytesPerLine; ++byteIndex) {
            const std::uint64_t offset = lineStart + static_cast<std::uint64_t>(byteIndex);
            if (offset >= file_.size()) {
                break;
            }
            const std::uint8_t byte = file_[static_cast<std::size_t>(offset)];
            const QColor background = backgroundOf(offset);
            const bool selected = background == palette().color(QPalette::Highlight);
            const int hexX = left + ByteColumn(byteIndex) * charWidth_;
            const int asciiX = left + (kAsciiColumn + byteIndex) * charWidth_;
            if (background != palette().color(QPalette::Base)) {
                painter.fillRect(hexX, y, 2 * charWidth_, lineHeight_, background);
                painter.fillRect(asciiX, y, charWidth_, lineHeight_, background);
            }
            painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
            painter.drawText(hexX, y + ascent,
                             QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper());
            painter.drawText(asciiX, y + ascent, QString(Printable(byte)));
        }
    }
}

std::optional<std::uint64_t> HexView::byteAt(const QPoint& point) const
{
    if (point.y() < 0) {
        return std::nullopt;
    }
    const int x = point.x() - kMargin + horizontalScrollBar()->value();
    const int column = x / charWidth_;
    int index = -1;
    if (column >= kAsciiColumn && column < kLineChars) {
        index = column - kAsciiColumn;
    } else {
        for (int byteIndex = 0; byteIndex < kBytesPerLine; ++byteIndex) {
            if (column >= ByteColumn(byteIndex) && column < ByteColumn(byteIndex) + 2) {
                index = byteIndex;
            }
        }
    }
    if (index < 0) {
        return std::nullopt;
    }
    const std::uint64_t offset =
        static_cast<std::uint64_t>(topLine() + point.y() / lineHeight_) * kBytesPerLine +
        static_cast<std::uint64_t>(index);
    return offset < file_.size() ? std::optional(offset) : std::nullopt;
}

QPoint HexView::pointOf(std::uint64_t offset) const
{
    const auto line = static_cast<std::int64_t>(offset / kBytesPerLine) - topLine();
    const int index = static_cast<int>(offset % kBytesPerLine);
    return {kMargin - horizontalScrollBar()->value() + ByteColumn(index) * charWidth_ +
                charWidth_ / 2,
            static_cast<int>(line) * lineHeight_ + lineHeight_ / 2};
}

void HexView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const std::optional<std::uint64_t> offset = byteAt(event->position().toPoint());
    if (!offset) {
        return;
    }
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier) && selected_;
    select(extend ? anchor_ : *offset, *offset);
    emit byteClicked(*offset);
}

void HexView::mouseMoveEvent(QMouseEvent* event)
{
    if (!event->buttons().testFlag(Qt::LeftButton) || !selected_) {
        return;
    }
    if (const std::optional<std::uint64_t> offset = byteAt(event->position().toPoint())) {
        select(anchor_, *offset);
    }
}

// BytesWindow

BytesWindow::BytesWindow(ListingGrid& grid, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , grid_(grid)
    , view_(new HexView(this))
    , readings_(new QLabel(this))
{
    setObjectName(QStringLiteral("bytesWindow"));
    setWindowTitle(tr("Bytes"));
    readings_->setObjectName(QStringLiteral("byteReadings"));
    readings_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    readings_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* legend =
        new QLabel(tr("<span style='background:%1'>&nbsp;delta time&nbsp;</span> "
                      "<span style='background:%2'>&nbsp;event&nbsp;</span>")
                       .arg(HexView::deltaColour().name(), HexView::eventColour().name()),
                   this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addWidget(legend);
    layout->addWidget(readings_);
    const QFontMetrics metrics(view_->font());
    resize(metrics.horizontalAdvance(QLatin1Char('0')) * (kLineChars + 6) + 40,
           metrics.height() * 32);

    connect(view_, &HexView::byteClicked, this, &BytesWindow::rowOfByte);
    connect(view_, &HexView::selectionChanged, this, &BytesWindow::showReadings);
    connect(&grid_, &ListingGrid::currentRowChanged, this, [this] {
        if (isVisible()) {
            followCurrentRow();
        }
    });
    connect(&grid_.listing(), &ListingModel::tableChanged, this, [this] {
        view_->setFile(grid_.listing().table().content());
        showReadings();
    });
    view_->setFile(grid_.listing().table().content());
    showReadings();
}

void BytesWindow::followCurrentRow()
{
    const ListingModel& listing = grid_.listing();
    const int current = grid_.currentRow();
    const std::int64_t tableRow = current >= 0 ? listing.tableRowOf(current) : -1;
    if (tableRow < 0) {
        view_->clearMark();
        return;
    }
    const Row row = listing.table().row(static_cast<std::size_t>(tableRow));
    view_->markRow(RowOffset(row), row.offset, RowEnd(row));
    if (!following_) {
        view_->select(RowOffset(row), RowOffset(row));
    }
}

void BytesWindow::rowOfByte(std::uint64_t offset)
{
    const ListingModel& listing = grid_.listing();
    const std::int64_t tableRow = TableRowAtOffset(listing.table(), offset);
    const int dataRow = tableRow >= 0 ? listing.dataRowAtOrAfter(tableRow) : -1;
    if (dataRow < 0) {
        return;
    }
    following_ = true;
    grid_.setCurrentRow(dataRow);
    following_ = false;
}

QString BytesWindow::readingsText() const
{
    return readings_->text();
}

void BytesWindow::showReadings()
{
    if (!view_->hasSelection()) {
        readings_->setText(tr("Click a byte to read it."));
        return;
    }
    const std::uint64_t start = view_->selectionStart();
    const ByteReadings r = ReadBytesAt(grid_.listing().table().content(), start);
    const auto number = [](const auto& value) {
        return value ? QString::number(*value) : QStringLiteral("-");
    };
    QString text = tr("Offset %1 (%2 selected)\n")
                       .arg(QStringLiteral("%1").arg(start, 8, 16, QLatin1Char('0')).toUpper())
                       .arg(view_->selectionEnd() - start);
    text += tr("8 bit   unsigned %1  signed %2\n").arg(number(r.u8), number(r.s8));
    text += tr("16 bit  unsigned %1  signed %2\n").arg(number(r.u16), number(r.s16));
    text += tr("32 bit  unsigned %1  signed %2\n").arg(number(r.u32), number(r.s32));
    text += tr("Variable-length quantity %1")
                .arg(r.quantity ? tr("%1 (%2 bytes)").arg(*r.quantity).arg(r.quantityLength)
                                : QStringLiteral("-"));
    readings_->setText(text);
}

} // namespace tracklens::ui
