// The window readable in any style and at any scale: each coloured control's text stands out
// from its face under a dark palette, and the window opens within the screen's free area.

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPalette>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <map>

#include "FakePlatform.h"

namespace tracklens::desktop_testing {
namespace {

double Luminance(QRgb pixel)
{
    const auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(pixel)) + 0.7152 * channel(qGreen(pixel)) +
           0.0722 * channel(qBlue(pixel));
}

double Contrast(QRgb a, QRgb b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of the text drawn in an area of a widget with the area's face: the colour most
// of its pixels have, against the pixel that stands out most from it.
double TextContrast(QWidget* widget, const QRect& area)
{
    const QPixmap pixmap = widget->grab();
    const QImage image = pixmap.toImage();
    const qreal ratio = pixmap.devicePixelRatio();
    const QRect pixels = QRect(QPoint(qRound(area.left() * ratio), qRound(area.top() * ratio)),
                               QPoint(qRound((area.right() + 1) * ratio) - 1,
                                      qRound((area.bottom() + 1) * ratio) - 1))
                             .intersected(image.rect());
    std::map<QRgb, int> counts;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    const QRgb face =
        std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
            return a.second < b.second;
        })->first;
    double most = 1.0;
    for (const auto& [pixel, count] : counts) {
        most = std::max(most, Contrast(face, pixel));
    }
    return most;
}

QPalette DarkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Base, QColor(0x2A, 0x2A, 0x2A));
    dark.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    dark.setColor(QPalette::Text, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    dark.setColor(QPalette::HighlightedText, QColor(0xFF, 0xFF, 0xFF));
    dark.setColor(QPalette::Mid, QColor(0x60, 0x60, 0x60));
    return dark;
}

class ReadableWindowTest : public WindowTest {
protected:
    void TearDown() override { QApplication::setPalette(QPalette()); }
};

// Enough for text to be read (the common guideline for normal text asks 4.5).
constexpr double kReadable = 4.5;

TEST_F(ReadableWindowTest, ColouredControlsStayReadableUnderADarkPalette)
{
    QApplication::setPalette(DarkPalette());
    installTestRead();
    ASSERT_TRUE(load());
    ASSERT_FALSE(txIN()->text().isEmpty());
    click("cmdANALISI");
    grid()->setCurrentRow(1);

    for (const char* name : {"txIN", "cmdSFOGLIA", "cmdANALISI"}) {
        auto* control = window_->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_GE(TextContrast(control, control->rect().adjusted(4, 4, -4, -4)), kReadable) << name;
    }
    // A cell of a row that is not selected, and the titles.
    const int column = grid()->horizontalHeader()->sectionViewportPosition(4);
    const int row = 3 * grid()->rowHeight();
    EXPECT_GE(
        TextContrast(grid()->viewport(), QRect(column + 1, row + 1, grid()->columnWidth(4) - 2,
                                               grid()->rowHeight() - 2)),
        kReadable);
    QWidget* titles = grid()->horizontalHeader();
    EXPECT_GE(TextContrast(titles, titles->rect().adjusted(2, 2, -2, -2)), 3.0);
}

TEST_F(ReadableWindowTest, WindowOpensWithinTheScreensFreeArea)
{
    ASSERT_TRUE(load());
    const QRect available = window_->screen()->availableGeometry();
    const QRect frame = window_->frameGeometry();
    EXPECT_TRUE(available.contains(frame))
        << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height() << " in "
        << available.width() << "x" << available.height();
    EXPECT_GT(frame.width(), available.width() / 2);
    EXPECT_GT(frame.height(), available.height() / 2);
}

} // namespace
} // namespace tracklens::desktop_testing
