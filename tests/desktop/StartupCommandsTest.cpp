// Start-up, the five commands, the name box and the window's geometry.

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>
#include <sys/stat.h>
#include <unistd.h>

#include "FakePlatform.h"
#include "ui/Twips.h"

namespace tracklens::desktop_testing {
namespace {

class StartupTest : public WindowTest {};

TEST_F(StartupTest, OffersTheTestFileOfTheInstallationFolderWhenThere)
{
    const QString path = inDir("TestRead.mid");
    for (const bool present : {false, true}) {
        if (present) {
            installTestRead();
        }
        ASSERT_TRUE(load());
        EXPECT_EQ(txIN()->text(), present ? path : QString());
        EXPECT_EQ(
            window_->windowTitle(),
            present
                ? QStringLiteral("Tracklens (TestRead.mid - %1 bytes)").arg(QFileInfo(path).size())
                : QStringLiteral("Tracklens"));
        EXPECT_EQ(window_->browseDir(), dir_.path());
        EXPECT_EQ(listing().rows(), 1);
        EXPECT_EQ(listing().fixedRows(), 0);
        EXPECT_TRUE(platform_.messages.empty());
    }
}

TEST_F(StartupTest, WithoutAnInstallationFolderTheProgramEnds)
{
    platform_.programDir.reset();
    platform_.dataDir.reset();
    EXPECT_FALSE(load());
    ASSERT_EQ(platform_.messages.size(), 1U);
    EXPECT_EQ(platform_.messages[0].text,
              QStringLiteral("Applicazione NON TROVATA !\r\nReinstallare l'applicazione !"));
    EXPECT_EQ(platform_.messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Tracklens"));
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(StartupTest, InstallationFolderIsTheSettingsDirectoryPart)
{
    const struct {
        std::optional<QString> setting;
        std::optional<QString> dataDir;
        QString installDir;
    } cases[] = {
        {QStringLiteral("/opt/x/"), std::nullopt, QStringLiteral("/opt/x")},
        {QStringLiteral("/opt/x"), std::nullopt, QStringLiteral("/opt")},
        {QStringLiteral("/opt/x/"), QStringLiteral("/usr/share/t"), QStringLiteral("/opt/x")},
        {std::nullopt, QStringLiteral("/usr/share/t"), QStringLiteral("/usr/share/t")},
    };
    for (const auto& c : cases) {
        platform_.programDir = c.setting;
        platform_.dataDir = c.dataDir;
        ASSERT_TRUE(load()) << c.installDir.toStdString();
        EXPECT_EQ(window_->installDir(), c.installDir);
        EXPECT_EQ(window_->browseDir(), c.installDir);
        EXPECT_EQ(txIN()->text(), QString());
    }
}

// What a command that is refused must leave as it was.
struct WindowState {
    QString title, name, status, browseDir;
    int rows, fixedRows;
    QString firstCells;
    bool operator==(const WindowState&) const = default;
};

class CommandTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        installTestRead();
        ASSERT_TRUE(load());
    }

    WindowState state() const
    {
        QString cells;
        for (int row = 0; row < std::min(listing().rows(), 3); ++row) {
            for (int column = 0; column < 6; ++column) {
                cells += listing().cellText(row, column) + u'|';
            }
        }
        return {window_->windowTitle(),
                txIN()->text(),
                lblStato()->text(),
                window_->browseDir(),
                listing().rows(),
                listing().fixedRows(),
                cells};
    }
};

TEST_F(CommandTest, AnalysisOfNoValidNameShowsTheMessageOnly)
{
    QDir(dir_.path()).mkdir(QStringLiteral("folder"));
    const QString names[] = {QString(), inDir("folder"), inDir("missing.mid")};
    click("cmdANALISI"); // a listing on screen, which the refused commands must keep
    ASSERT_EQ(listing().fixedRows(), 1);
    for (const QString& name : names) {
        txIN()->setText(name);
        platform_.messages.clear();
        const auto before = state();
        click("cmdANALISI");
        ASSERT_EQ(platform_.messages.size(), 1U) << name.toStdString();
        EXPECT_EQ(platform_.messages[0].text,
                  QStringLiteral("Indicare un Nome di Midifile valido !"));
        EXPECT_EQ(platform_.messages[0].icon, MessageIcon::Information);
        EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Tracklens"));
        EXPECT_TRUE(state() == before) << name.toStdString();
    }
}

// Names of things that exist but cannot be read as a file: a message says why, and the window
// keeps what it showed. None of them may block the program (a FIFO without a writer would).
TEST_F(CommandTest, AnalysisOfAnUnreadableFileReportsItAndChangesNothing)
{
    const QString fifo = inDir("pipe.mid");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = inDir("huge.mid");
    QFile(huge).open(QIODevice::WriteOnly);
    ASSERT_EQ(truncate(QFile::encodeName(huge).constData(), (off_t{1} << 32) + 1), 0);
    const QString locked = inDir("locked.mid");
    QFile(locked).open(QIODevice::WriteOnly);
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const bool lockedIsReadable = QFile(locked).open(QIODevice::ReadOnly); // as root

    const struct {
        QString name;
        const char* reason;
    } cases[] = {
        {fifo, "is not a regular file"},
        {QStringLiteral("/dev/zero"), "is not a regular file"},
        {huge, "too large"},
        {locked, "Permission denied"},
    };
    click("cmdANALISI");
    for (const auto& c : cases) {
        if (c.name == locked && lockedIsReadable) {
            continue;
        }
        SCOPED_TRACE(c.name.toStdString());
        txIN()->setText(c.name);
        platform_.messages.clear();
        const auto before = state();
        click("cmdANALISI");
        ASSERT_EQ(platform_.messages.size(), 1U);
        const QString& text = platform_.messages[0].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("Il file non pu\u00F2 essere letto !\r\n")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QLatin1String(c.reason))) << text.toStdString();
        EXPECT_EQ(platform_.messages[0].icon, MessageIcon::Critical);
        EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Tracklens"));
        EXPECT_TRUE(state() == before);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    // The program goes on working.
    txIN()->setText(inDir("TestRead.mid"));
    click("cmdANALISI");
    EXPECT_EQ(listing().fixedRows(), 1);
    EXPECT_GT(listing().rows(), 20);
}

TEST_F(CommandTest, InfoShowsTheVersion)
{
    click("cmdABOUT");
    ASSERT_EQ(platform_.aboutCount, 1);
    EXPECT_EQ(platform_.aboutApplication, QStringLiteral("Tracklens"));
    const QStringList lines = platform_.aboutText.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_FALSE(lines[0].isEmpty());
    EXPECT_EQ(lines[1], QStringLiteral("Ver. 1.1.0"));
}

TEST_F(CommandTest, HelpOpensTheHelpFileOfTheInstallationFolder)
{
    for (const QString& folder : {QString(), QStringLiteral("with some blanks")}) {
        QDir(dir_.path()).mkpath(folder.isEmpty() ? QStringLiteral(".") : folder);
        const QString install = folder.isEmpty() ? dir_.path() : inDir(folder);
        QFile::copy(DataFile("Help.txt"), install + QStringLiteral("/Help.txt"));
        platform_.programDir = install + QStringLiteral("/");
        platform_.openedDocuments.clear();
        ASSERT_TRUE(load());
        click("cmdHELP");
        ASSERT_EQ(platform_.openedDocuments.size(), 1U);
        EXPECT_EQ(platform_.openedDocuments[0], install + QStringLiteral("/Help.txt"));
        EXPECT_TRUE(platform_.messages.empty());
    }
}

TEST_F(CommandTest, HelpWithoutItsFileOrAViewerSaysSo)
{
    const QString help = inDir("Help.txt");
    for (const bool fileThere : {false, true}) {
        SCOPED_TRACE(fileThere ? "no viewer" : "no Help.txt");
        if (fileThere) {
            QFile::copy(DataFile("Help.txt"), help);
        }
        platform_.documentsOpen = false;
        platform_.messages.clear();
        ASSERT_TRUE(load());
        click("cmdHELP");
        ASSERT_EQ(platform_.messages.size(), 1U);
        EXPECT_EQ(platform_.messages[0].text, QStringLiteral("Help non disponibile !\r\n") + help);
        EXPECT_EQ(platform_.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Tracklens"));
    }
}

// Clicks a button the first time the wait window shows, that is in the middle of a run.
class ClickDuringRun final : public QObject {
public:
    explicit ClickDuringRun(QPushButton* button)
        : button_(button)
    {
        qApp->installEventFilter(this);
    }
    ~ClickDuringRun() override { qApp->removeEventFilter(this); }
    ClickDuringRun(const ClickDuringRun&) = delete;
    ClickDuringRun& operator=(const ClickDuringRun&) = delete;

    bool clicked = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!clicked && event->type() == QEvent::Show &&
            watched->objectName() == QStringLiteral("frmWAIT")) {
            clicked = true;
            button_->click();
        }
        return false;
    }

private:
    QPushButton* button_;
};

TEST_F(CommandTest, AnalysisAskedForDuringARunIsIgnored)
{
    installTestRead();
    ASSERT_TRUE(load());
    txIN()->setText(inDir("TestRead.mid"));
    click("cmdANALISI");
    const int rows = listing().rows();

    WaitWindowWatch watch;
    ClickDuringRun clicker(window_->findChild<QPushButton*>(QStringLiteral("cmdANALISI")));
    click("cmdANALISI");
    EXPECT_TRUE(clicker.clicked);
    EXPECT_EQ(watch.shown, 1);
    EXPECT_EQ(listing().rows(), rows);
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(CommandTest, QuitClosesTheWindow)
{
    ASSERT_TRUE(window_->isVisible());
    click("cmdQUIT");
    EXPECT_FALSE(window_->isVisible());
}

// A cancelled dialog, or a file gone by the time it is taken.
TEST_F(CommandTest, FindWithoutAFilePutsTheOldNameBackAndClearsTheListing)
{
    for (const QString& chosen : {QString(), inDir("gone.mid")}) {
        click("cmdANALISI");
        ASSERT_GT(listing().rows(), 1);
        const QString title = window_->windowTitle();
        const QString name = txIN()->text();
        platform_.chosenFile = chosen;
        click("cmdSFOGLIA");
        EXPECT_EQ(txIN()->text(), name);
        EXPECT_EQ(window_->windowTitle(), title);
        EXPECT_EQ(listing().rows(), 1);
        EXPECT_EQ(listing().fixedRows(), 0);
        for (int column = 0; column < 6; ++column) {
            EXPECT_EQ(listing().cellText(0, column), QString()) << column;
        }
        EXPECT_EQ(lblStato()->text(), QString());
    }
}

TEST_F(CommandTest, FindPassesTheDialogItsSettingsAndTakesTheChosenFile)
{
    const QString other = inDir("Other Song.mid");
    QFile::copy(DataFile("TestRead.mid"), other);
    const QString name = txIN()->text();
    const QString browse = window_->browseDir();
    platform_.chosenFile = other;
    click("cmdSFOGLIA");

    ASSERT_EQ(platform_.choices.size(), 1U);
    const FileChoice& choice = platform_.choices[0];
    EXPECT_EQ(choice.title, QStringLiteral("Open"));
    EXPECT_EQ(choice.initialName, name);
    EXPECT_EQ(choice.initialDir, browse);
    EXPECT_EQ(choice.defaultSuffix, QStringLiteral("mid"));
    ASSERT_EQ(choice.filters.size(), 2);
    const QRegularExpression patterns(QStringLiteral("\\(([^)]*)\\)"));
    const QString firstPatterns = patterns.match(choice.filters[0]).captured(1);
    ASSERT_FALSE(firstPatterns.isEmpty());
    for (const QString& file : {QStringLiteral("song.mid"), QStringLiteral("SONG.MID")}) {
        bool matched = false;
        for (const QString& pattern : firstPatterns.split(u' ', Qt::SkipEmptyParts)) {
            matched = matched ||
                      QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern))
                          .match(file)
                          .hasMatch();
        }
        EXPECT_TRUE(matched) << file.toStdString();
    }

    EXPECT_EQ(txIN()->text(), other);
    EXPECT_EQ(window_->windowTitle(),
              QStringLiteral("Tracklens (Other Song.mid - %1 bytes)").arg(QFileInfo(other).size()));
}

TEST_F(CommandTest, BrowseFolderFollowsTheName)
{
    const struct {
        QString text;
        QString browseDir;
    } steps[] = {
        {QString(), dir_.path()},
        {QStringLiteral("x"), dir_.path()},
        {QStringLiteral("/a/b"), QStringLiteral("/a")},
        {QStringLiteral("/"), QStringLiteral("/a")},
        {QStringLiteral("/m/"), QStringLiteral("/m")},
        {QStringLiteral("ab"), QString()},
    };
    for (const auto& step : steps) {
        txIN()->setText(step.text);
        EXPECT_EQ(window_->browseDir(), step.browseDir) << step.text.toStdString();
    }
}

TEST_F(CommandTest, ResizeFitsTheGridAndTheStatusLineToTheWindow)
{
    const int dpi = window_->logicalDpiX();
    const int margin = ui::TwipsToPixels(250, dpi);
    QWidget* status = lblStato();
    const int statusTop = status->y();
    const int gridHeight = grid()->height();
    for (const int width : {900, 1200, 640, margin + 1, margin - 3, 1}) {
        window_->resize(width, 500);
        QApplication::processEvents();
        const int expected = std::max(0, window_->frameGeometry().width() - margin);
        EXPECT_EQ(grid()->width(), expected) << width;
        EXPECT_EQ(status->x(), grid()->x()) << width;
        EXPECT_EQ(status->width(), grid()->width()) << width;
        EXPECT_EQ(grid()->x(), ui::TwipsToPixels(60, dpi));
        EXPECT_EQ(status->y(), statusTop);
        EXPECT_EQ(grid()->height(), gridHeight);
    }
    window_->resize(1, 500);
    QApplication::processEvents();
    ASSERT_LT(window_->frameGeometry().width(), margin);
    EXPECT_EQ(grid()->width(), 0);
}

TEST_F(CommandTest, WidthsDraggedBeforeAnAnalysisAreKept)
{
    const int dpi = window_->logicalDpiX();
    grid()->setColumnWidth(2, 300);
    grid()->setColumnWidth(4, 77);
    click("cmdANALISI");
    ASSERT_EQ(listing().fixedRows(), 1);
    EXPECT_EQ(window_->columnWidths()[2], ui::PixelsToTwips(300, dpi));
    EXPECT_EQ(window_->columnWidths()[4], ui::PixelsToTwips(77, dpi));
    EXPECT_EQ(window_->columnWidths()[0], 800);
    EXPECT_EQ(window_->columnWidths()[5], 10050);
    EXPECT_EQ(grid()->columnWidth(2), 300);
    EXPECT_EQ(grid()->columnWidth(4), 77);
    EXPECT_EQ(grid()->columnWidth(0), ui::TwipsToPixels(800, dpi));
}

TEST_F(CommandTest, OpenFileAndADroppedFileAreAnalysed)
{
    const QString other = inDir("dropped.mid");
    QFile::copy(DataFile("TestRead.mid"), other);
    window_->openFile(other);
    EXPECT_EQ(txIN()->text(), other);
    EXPECT_EQ(listing().fixedRows(), 1);
    EXPECT_TRUE(window_->windowTitle().endsWith(QStringLiteral(" events)")));

    txIN()->clear();
    click("cmdSFOGLIA"); // clears the listing
    ASSERT_EQ(listing().fixedRows(), 0);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(other)});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &drop);
    // The drop returns first; the analysis follows from the event loop.
    EXPECT_EQ(listing().fixedRows(), 0);
    QApplication::processEvents();
    EXPECT_EQ(txIN()->text(), other);
    EXPECT_EQ(listing().fixedRows(), 1);
    EXPECT_GT(listing().rows(), 6);
    EXPECT_TRUE(platform_.messages.empty());
}

} // namespace
} // namespace tracklens::desktop_testing
