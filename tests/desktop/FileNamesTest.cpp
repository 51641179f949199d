// File names as the system has them: bytes, which need not be UTF-8, from the command line, a
// drop or the name box to the file; and the settings files, which must not block the start.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

#include "FakePlatform.h"
#include "ui/PathServices.h"
#include "ui/platform/QtPlatform.h"

namespace tracklens::desktop_testing {
namespace {

bool IsValidUtf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

TEST(FileNames, EveryByteStringComesBackTheSame)
{
    const QByteArray names[] = {
        "",
        "/plain/song.mid",
        "/canzoni/perch\xC3\xA8.mid",          // valid UTF-8
        "/music/\xF0\x9F\x8E\xB5.mid",         // beyond the first plane
        "/latin1/perch\xE8.mid",               // Latin-1, not UTF-8
        "/bytes/\xFF\xFE.mid",                 // never in UTF-8
        "/cut/\xE2\x82",                       // a sequence cut short at the end
        "/cut/\xE2\x82.mid",                   // and in the middle
        "/overlong/\xC0\xAF.mid",              // an overlong '/'
        "/surrogate/\xED\xA0\x80\xED\xB2\x80", // surrogates written as UTF-8
        "/escape/\xED\xB2\x80.mid",            // what U+DC80 would be in UTF-8
        "/beyond/\xF4\x90\x80\x80.mid",        // beyond U+10FFFF
        "/mixed/\xC3\xA8\xFF\xC3\xA8\x80\x41",
    };
    for (const QByteArray& name : names) {
        SCOPED_TRACE(name.toHex().toStdString());
        const QString text = ui::NameOfPath(name);
        EXPECT_EQ(ui::PathOfName(text), name);
        if (IsValidUtf8(name)) {
            EXPECT_EQ(text, QFile::decodeName(name));
            EXPECT_EQ(ui::PathOfName(text), QFile::encodeName(text));
        } else {
            EXPECT_NE(text, QFile::decodeName(name)); // which could not come back
        }
    }
}

TEST(FileNames, ArgumentsKeepTheirBytes)
{
    const char* const argv[] = {"tracklens", "/bytes/\xFF\xFE.mid", "/canzoni/perch\xC3\xA8.mid"};
    const QStringList names = ui::ArgumentNames(3, argv);
    ASSERT_EQ(names.size(), 3);
    for (int index = 0; index < 3; ++index) {
        EXPECT_EQ(ui::PathOfName(names[index]), QByteArray(argv[index]));
    }
}

class NonUtf8NameTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        installTestRead();
        ASSERT_TRUE(load());
        path_ = QFile::encodeName(dir_.path()) + "/perch\xE8 \xFF.mid";
        const Bytes song = ReadBytes(inDir("TestRead.mid"));
        const int descriptor = open(path_.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(descriptor, 0);
        ASSERT_EQ(write(descriptor, song.data(), song.size()), static_cast<ssize_t>(song.size()));
        close(descriptor);
    }

    void expectListed()
    {
        EXPECT_TRUE(platform_.messages.empty())
            << (platform_.messages.empty() ? "" : platform_.messages[0].text.toStdString());
        EXPECT_EQ(listing().fixedRows(), 1);
        EXPECT_GT(listing().rows(), 20);
        EXPECT_EQ(ui::PathOfName(txIN()->text()), path_);
    }

    QByteArray path_;
};

TEST_F(NonUtf8NameTest, DroppedFileIsAnalysed)
{
    QMimeData mime;
    mime.setUrls({QUrl::fromEncoded("file://" + path_.toPercentEncoding("/"))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &drop);
    QApplication::processEvents(); // the analysis follows the drop from the event loop
    expectListed();
}

TEST_F(NonUtf8NameTest, FileNamedOnTheCommandLineOrInTheBoxIsAnalysed)
{
    const char* const argv[] = {"tracklens", path_.constData()};
    window_->openFile(ui::ArgumentNames(2, argv).at(1));
    expectListed();
    EXPECT_TRUE(window_->windowTitle().endsWith(QStringLiteral(" events)")));

    click("cmdSFOGLIA"); // the dialog's answer is empty: the name stays, the listing goes
    ASSERT_EQ(listing().fixedRows(), 0);
    click("cmdANALISI");
    expectListed();
}

// A FIFO in place of a settings file would block the start while no program writes to it: it
// is not read, and the next file gives the setting.
TEST(SettingsFiles, FifoInPlaceOfASettingsFileIsNotRead)
{
    QTemporaryDir fifoFolder;
    QTemporaryDir fileFolder;
    ASSERT_TRUE(fifoFolder.isValid() && fileFolder.isValid());
    ASSERT_TRUE(QDir(fifoFolder.path()).mkpath(QStringLiteral("Orvane")));
    ASSERT_TRUE(QDir(fileFolder.path()).mkpath(QStringLiteral("Orvane")));
    const QByteArray fifo = QFile::encodeName(fifoFolder.path()) + "/Orvane/Tracklens.conf";
    ASSERT_EQ(mkfifo(fifo.constData(), 0644), 0);
    QFile file(fileFolder.path() + QStringLiteral("/Orvane/Tracklens.conf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General]\nProgramDir=/opt/tracklens/\n");
    file.close();

    const QByteArray kept = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS",
            QFile::encodeName(fifoFolder.path()) + ':' + QFile::encodeName(fileFolder.path()));
    auto reading =
        std::async(std::launch::async, [] { return ui::QtPlatform().programDirSetting(); });
    const bool blocked = reading.wait_for(std::chrono::seconds(60)) != std::future_status::ready;
    if (blocked) {
        // A writer that comes and goes lets the blocked open return.
        const int writer = open(fifo.constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            close(writer);
        }
    }
    const std::optional<QString> setting = reading.get();
    qputenv("XDG_CONFIG_DIRS", kept);

    EXPECT_FALSE(blocked) << "reading the settings blocked on " << fifo.toStdString();
    EXPECT_EQ(setting, std::optional<QString>(QStringLiteral("/opt/tracklens/")));
}

TEST(SettingsFiles, FirstFileThatHoldsTheKeyGivesItsValue)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const struct {
        const char* name;
        QByteArray content;
    } files[] = {
        {"empty.conf", ""},
        {"other.conf", "[General]\nSomethingElse=1\n"},
        {"first.conf", "[General]\nProgramDir=/first/\n"},
        {"second.conf", "[General]\nProgramDir=/second/\n"},
    };
    QStringList paths{folder.filePath(QStringLiteral("missing.conf")), folder.path()};
    for (const auto& f : files) {
        QFile file(folder.filePath(QString::fromLatin1(f.name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(f.content);
        paths.append(file.fileName());
    }
    EXPECT_EQ(ui::SettingOfFiles(paths, QStringLiteral("ProgramDir")),
              std::optional<QString>(QStringLiteral("/first/")));
    EXPECT_EQ(ui::SettingOfFiles(paths.mid(0, 4), QStringLiteral("ProgramDir")), std::nullopt);
}

} // namespace
} // namespace tracklens::desktop_testing
