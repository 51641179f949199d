// tracklens: the desktop program.

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "engine/Program.h"
#include "engine/StandardDescriptors.h"
#include "ui/PathServices.h"
#include "ui/frmMAIN.h"
#include "ui/platform/QtPlatform.h"

int main(int argc, char** argv)
{
    tracklens::OpenClosedStandardDescriptors();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(tracklens::kApplicationTitle.data()));
    QApplication::setApplicationVersion(QString::fromUtf8(tracklens::kVersion.data()));
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setDesktopFileName(QStringLiteral("tracklens"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tracklens/tracklens.png")));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists every header field, chunk and event of a Standard MIDI File."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A Standard MIDI File to analyse at start."),
                                 QStringLiteral("[FILE]"));
    // The arguments Qt leaves, as names that keep their bytes (QApplication takes its own out).
    parser.process(tracklens::ui::ArgumentNames(argc, argv));

    tracklens::ui::QtPlatform platform;
    tracklens::ui::frmMAIN window(platform);
    if (!window.Form_Load()) {
        return 1;
    }
    window.show();

    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        window.openFileWhenShown(files.constFirst());
    }
    return QApplication::exec();
}
