// Draws the program's icon, a lens over a piano roll, into an icon theme folder: a PNG for
// every size the hicolor theme asks of an application and the same drawing as SVG.
// Usage: make-icon FOLDER   (writes FOLDER/hicolor/<N>x<N>/apps/tracklens.png and
//                                   FOLDER/hicolor/scalable/apps/tracklens.svg)

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <array>
#include <cstdio>

namespace {

// The drawing, on a 256-unit square.
constexpr double kCanvas = 256;

struct Colour {
    int red, green, blue;
};

constexpr Colour kTile{0x1E, 0x2A, 0x44};
constexpr double kTileInset = 8;
constexpr double kTileCorner = 40;

struct NoteBar {
    double x, y, width;
    Colour colour;
};
constexpr double kNoteHeight = 14;
constexpr double kNoteCorner = 5;
constexpr Colour kRed{0xFF, 0x5A, 0x4E};
constexpr Colour kAmber{0xFF, 0xC1, 0x4E};
constexpr Colour kBlue{0x4E, 0xD1, 0xFF};
constexpr Colour kGreen{0x7C, 0xFF, 0x6B};
constexpr std::array kNotes{
    NoteBar{36, 52, 70, kRed},     NoteBar{100, 76, 56, kAmber}, NoteBar{44, 100, 90, kBlue},
    NoteBar{140, 124, 70, kGreen}, NoteBar{60, 148, 60, kRed},   NoteBar{150, 172, 56, kBlue},
    NoteBar{40, 196, 80, kAmber},
};

constexpr Colour kLensRim{0xF2, 0xF2, 0xF2};
constexpr int kLensGlassAlpha = 60; // white glass over the notes, out of 255
constexpr double kLensX = 146;
constexpr double kLensY = 118;
constexpr double kLensRadius = 62;
constexpr double kLensRimWidth = 14;
constexpr double kHandleWidth = 22;
constexpr double kHandleFromX = 192;
constexpr double kHandleFromY = 164;
constexpr double kHandleToX = 228;
constexpr double kHandleToY = 200;

constexpr std::array kPixelSizes{16, 32, 48, 64, 128, 256};

QColor qColour(Colour colour, int alpha = 255)
{
    return QColor(colour.red, colour.green, colour.blue, alpha);
}

QImage paintIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kCanvas, size / kCanvas);

    QPainterPath tile;
    tile.addRoundedRect(
        QRectF(kTileInset, kTileInset, kCanvas - 2 * kTileInset, kCanvas - 2 * kTileInset),
        kTileCorner, kTileCorner);
    painter.fillPath(tile, qColour(kTile));

    painter.setPen(Qt::NoPen);
    for (const NoteBar& note : kNotes) {
        painter.setBrush(qColour(note.colour));
        painter.drawRoundedRect(QRectF(note.x, note.y, note.width, kNoteHeight), kNoteCorner,
                                kNoteCorner);
    }

    painter.setBrush(QColor(255, 255, 255, kLensGlassAlpha));
    painter.setPen(QPen(qColour(kLensRim), kLensRimWidth));
    painter.drawEllipse(QPointF(kLensX, kLensY), kLensRadius, kLensRadius);
    painter.setPen(QPen(qColour(kLensRim), kHandleWidth, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(kHandleFromX, kHandleFromY), QPointF(kHandleToX, kHandleToY));
    painter.end();
    return image;
}

QString svgColour(Colour colour)
{
    return QStringLiteral("#%1%2%3")
        .arg(colour.red, 2, 16, QLatin1Char('0'))
        .arg(colour.green, 2, 16, QLatin1Char('0'))
        .arg(colour.blue, 2, 16, QLatin1Char('0'));
}

QString svgIcon()
{
    QString svg;
    svg += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                          "viewBox=\"0 0 %1 %1\">\n")
               .arg(kCanvas);
    svg += QStringLiteral("  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" "
                          "fill=\"%4\"/>\n")
               .arg(kTileInset)
               .arg(kCanvas - 2 * kTileInset)
               .arg(kTileCorner)
               .arg(svgColour(kTile));
    for (const NoteBar& note : kNotes) {
        svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
                              "fill=\"%6\"/>\n")
                   .arg(note.x)
                   .arg(note.y)
                   .arg(note.width)
                   .arg(kNoteHeight)
                   .arg(kNoteCorner)
                   .arg(svgColour(note.colour));
    }
    svg += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"#ffffff\" "
                          "fill-opacity=\"%4\" stroke=\"%5\" stroke-width=\"%6\"/>\n")
               .arg(kLensX)
               .arg(kLensY)
               .arg(kLensRadius)
               .arg(kLensGlassAlpha / 255.0, 0, 'f', 3)
               .arg(svgColour(kLensRim))
               .arg(kLensRimWidth);
    svg += QStringLiteral("  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" "
                          "stroke-width=\"%6\" stroke-linecap=\"round\"/>\n")
               .arg(kHandleFromX)
               .arg(kHandleFromY)
               .arg(kHandleToX)
               .arg(kHandleToY)
               .arg(svgColour(kLensRim))
               .arg(kHandleWidth);
    svg += QStringLiteral("</svg>\n");
    return svg;
}

bool writeText(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    return file.write(bytes) == bytes.size();
}

bool writeIcons(const QString& folder)
{
    const QDir root(folder);
    for (const int size : kPixelSizes) {
        const QString apps = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        if (!root.mkpath(apps) ||
            !paintIcon(size).save(root.filePath(apps + QStringLiteral("/tracklens.png")), "PNG")) {
            return false;
        }
    }
    const QString scalable = QStringLiteral("hicolor/scalable/apps");
    return root.mkpath(scalable) &&
           writeText(root.filePath(scalable + QStringLiteral("/tracklens.svg")), svgIcon());
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make-icon FOLDER\n", stderr);
        return 2;
    }
    if (!writeIcons(QString::fromLocal8Bit(argv[1]))) {
        std::fputs("make-icon: the icons could not be written\n", stderr);
        return 1;
    }
    return 0;
}
