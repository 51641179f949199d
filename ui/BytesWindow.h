#pragma once

#include <QAbstractScrollArea>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "engine/Bytes.h"

class QLabel;

namespace tracklens::ui {

class ListingGrid;

// The selected bytes read as numbers, from the first of them on: big-endian unsigned and
// signed integers of 8, 16 and 32 bits, and a variable-length quantity of up to four bytes.
// A width for which the file has too few bytes is left out.
struct ByteReadings {
    std::optional<std::uint8_t> u8;
    std::optional<std::int8_t> s8;
    std::optional<std::uint16_t> u16;
    std::optional<std::int16_t> s16;
    std::optional<std::uint32_t> u32;
    std::optional<std::int32_t> s32;
    std::optional<std::uint32_t> quantity;
    std::size_t quantityLength = 0; // bytes the quantity takes
};
ByteReadings ReadBytesAt(ByteSpan file, std::uint64_t offset);

// The file in hexadecimal, 16 bytes a line: the offset in 8 digits, the bytes, and their
// printable ASCII. It draws only the lines in sight and keeps nothing per line, so that a file
// of any size opens at once. The bytes of one row are marked, its delta time and its event in
// colours of their own; a click selects a byte, a drag a run of bytes.
class HexView final : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kBytesPerLine = 16;

    explicit HexView(QWidget* parent = nullptr);

    void setFile(ByteSpan file);
    // The bytes marked: [deltaStart, eventStart) as the delta time, [eventStart, end) as the
    // event. Brought into sight when none of them is.
    void markRow(std::uint64_t deltaStart, std::uint64_t eventStart, std::uint64_t end);
    void clearMark();
    // The bytes marked: the delta time from markStart() to eventStart(), the event to markEnd().
    std::uint64_t markStart() const { return deltaStart_; }
    std::uint64_t eventStart() const { return eventStart_; }
    std::uint64_t markEnd() const { return markEnd_; }
    void select(std::uint64_t first, std::uint64_t last);
    std::uint64_t selectionStart() const { return std::min(anchor_, cursor_); }
    std::uint64_t selectionEnd() const { return std::max(anchor_, cursor_) + 1; }
    bool hasSelection() const { return selected_; }
    std::int64_t topLine() const;
    // The byte at a point of the viewport, or nothing.
    std::optional<std::uint64_t> byteAt(const QPoint& point) const;
    // Where a byte is drawn in the viewport, in its hexadecimal column.
    QPoint pointOf(std::uint64_t offset) const;

    static QColor deltaColour();
    static QColor eventColour();

signals:
    void byteClicked(std::uint64_t offset);
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::int64_t lineCount() const;
    int linesInSight() const;
    void updateGeometries();
    void scrollToLine(std::int64_t line);
    QColor backgroundOf(std::uint64_t offset) const;

    ByteSpan file_;
    std::uint64_t deltaStart_ = 0;
    std::uint64_t eventStart_ = 0;
    std::uint64_t markEnd_ = 0;
    std::uint64_t anchor_ = 0;
    std::uint64_t cursor_ = 0;
    bool selected_ = false;
    int charWidth_ = 1;
    int lineHeight_ = 1;
};

// A window beside the main one with the file's bytes and the inspector of the selected ones.
// It follows the grid's current row, and a click on a byte makes the row that holds it current.
class BytesWindow final : public QWidget {
    Q_OBJECT

public:
    explicit BytesWindow(ListingGrid& grid, QWidget* parent = nullptr);

    HexView& view() { return *view_; }
    // The inspector's lines, as shown.
    QString readingsText() const;
    // Marks the current row's bytes and brings them into sight.
    void followCurrentRow();

private:
    void showReadings();
    void rowOfByte(std::uint64_t offset);

    ListingGrid& grid_;
    HexView* view_;
    QLabel* readings_;
    bool following_ = false; // a click is making a row current
};

} // namespace tracklens::ui
