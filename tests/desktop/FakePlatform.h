#pragma once

// The desktop services faked for the window tests, and the few helpers the tests share.

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "ui/ListingGrid.h"
#include "ui/frmMAIN.h"
#include "ui/platform/Platform.h"

// Failures print the texts, not their code units.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tracklens::desktop_testing {

using Bytes = std::vector<std::uint8_t>;

struct ShownMessage {
    QString text;
    MessageIcon icon;
    QString title;
};

struct FileChoice {
    QString title;
    QString initialName;
    QStringList filters;
    QString initialDir;
    QString defaultSuffix;
};

class FakePlatform final : public ui::Platform {
public:
    void showMessage(QWidget*, const QString& text, MessageIcon icon, const QString& title) override
    {
        messages.push_back({text, icon, title});
    }

    QString chooseFile(QWidget*, const QString& title, const QString& initialName,
                       const QStringList& filters, const QString& initialDir,
                       const QString& defaultSuffix) override
    {
        choices.push_back({title, initialName, filters, initialDir, defaultSuffix});
        return chosenFile;
    }

    void showAbout(QWidget*, const QString& application, const QString& text, const QIcon&) override
    {
        aboutApplication = application;
        aboutText = text;
        ++aboutCount;
    }

    bool openDocument(const QString& path) override
    {
        openedDocuments.push_back(path);
        return documentsOpen;
    }

    std::optional<QString> programDirSetting() override { return programDir; }
    std::optional<QString> ownDataDir() override { return dataDir; }

    std::optional<QString> programDir;
    std::optional<QString> dataDir;
    QString chosenFile;
    bool documentsOpen = true; // whether the desktop has a viewer for them

    std::vector<ShownMessage> messages;
    std::vector<FileChoice> choices;
    QString aboutApplication;
    QString aboutText;
    int aboutCount = 0;
    std::vector<QString> openedDocuments;
};

// Counts the times a wait window is shown.
class WaitWindowWatch final : public QObject {
public:
    WaitWindowWatch() { qApp->installEventFilter(this); }
    ~WaitWindowWatch() override { qApp->removeEventFilter(this); }
    WaitWindowWatch(const WaitWindowWatch&) = delete;
    WaitWindowWatch& operator=(const WaitWindowWatch&) = delete;

    int shown = 0;

    static bool anyVisible()
    {
        for (const QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("frmWAIT") && widget->isVisible()) {
                return true;
            }
        }
        return false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QStringLiteral("frmWAIT")) {
            ++shown;
        }
        return false;
    }
};

inline QString DataFile(const char* name)
{
    return QStringLiteral(TRACKLENS_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

inline Bytes ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

inline void WriteBytes(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
}

// A window over an installation folder of its own, holding the files each test puts there.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        platform_.programDir = dir_.path() + QStringLiteral("/");
    }

    QString inDir(const QString& name) const { return dir_.path() + u'/' + name; }

    void installTestRead() { QFile::copy(DataFile("TestRead.mid"), inDir("TestRead.mid")); }

    // Form_Load, then shown as the program does.
    bool load()
    {
        window_ = std::make_unique<ui::frmMAIN>(platform_);
        const bool loaded = window_->Form_Load();
        if (loaded) {
            window_->show();
            QApplication::processEvents();
        }
        return loaded;
    }

    QLineEdit* txIN() const { return window_->findChild<QLineEdit*>(QStringLiteral("txIN")); }
    QLabel* lblStato() const { return window_->findChild<QLabel*>(QStringLiteral("lblStato")); }
    ui::ListingGrid* grid() const
    {
        return window_->findChild<ui::ListingGrid*>(QStringLiteral("GRID"));
    }
    const ui::ListingModel& listing() const { return grid()->listing(); }
    void click(const char* button) const
    {
        window_->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }

    // Writes the bytes to a new file of the folder and runs Analysis on it; gives its path.
    QString analyse(const Bytes& bytes)
    {
        const QString path = inDir(QStringLiteral("file%1.mid").arg(++files_));
        WriteBytes(path, bytes);
        txIN()->setText(path);
        click("cmdANALISI");
        return path;
    }

    QTemporaryDir dir_;
    int files_ = 0;
    FakePlatform platform_;
    std::unique_ptr<ui::frmMAIN> window_;
};

} // namespace tracklens::desktop_testing
