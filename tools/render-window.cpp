// Renders the main window, after analysing a file, into a PNG.
// Usage: render-window MIDIFILE OUTPUT.png

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include "ui/frmMAIN.h"
#include "ui/platform/QtPlatform.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        return 2;
    }
    tracklens::ui::QtPlatform platform;
    tracklens::ui::frmMAIN window(platform);
    if (!window.Form_Load()) {
        return 1;
    }
    window.show();
    window.openFile(QString::fromLocal8Bit(argv[1]));
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
