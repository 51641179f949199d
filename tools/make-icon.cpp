// Paints the program's icon, a lens over a piano roll, into a PNG. Usage: make-icon OUTPUT

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        return 2;
    }
    constexpr int size = 256;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath tile;
    tile.addRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    painter.fillPath(tile, QColor(0x1E, 0x2A, 0x44));

    // Piano-roll note bars.
    painter.setPen(Qt::NoPen);
    const struct {
        int x, y, width;
        QColor colour;
    } notes[] = {
        {36, 52, 70, {0xFF, 0x5A, 0x4E}},  {100, 76, 56, {0xFF, 0xC1, 0x4E}},
        {44, 100, 90, {0x4E, 0xD1, 0xFF}}, {140, 124, 70, {0x7C, 0xFF, 0x6B}},
        {60, 148, 60, {0xFF, 0x5A, 0x4E}}, {150, 172, 56, {0x4E, 0xD1, 0xFF}},
        {40, 196, 80, {0xFF, 0xC1, 0x4E}},
    };
    for (const auto& note : notes) {
        painter.setBrush(note.colour);
        painter.drawRoundedRect(QRectF(note.x, note.y, note.width, 14), 5, 5);
    }

    // The lens and its handle.
    painter.setBrush(QColor(255, 255, 255, 60));
    painter.setPen(QPen(QColor(0xF2, 0xF2, 0xF2), 14));
    painter.drawEllipse(QPointF(146, 118), 62, 62);
    painter.setPen(QPen(QColor(0xF2, 0xF2, 0xF2), 22, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(192, 164), QPointF(228, 200));
    painter.end();

    return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
