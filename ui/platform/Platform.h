#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>
#include <optional>

#include "engine/RunOutcome.h"

class QWidget;

namespace tracklens::ui {

// The few desktop services the program uses, behind one interface so that every command can
// run in a test without a modal dialog.
class Platform {
public:
    virtual ~Platform() = default;

    // A modal message box with an OK button.
    virtual void showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                             const QString& title) = 0;

    // The open-file dialog; the chosen full path, or empty text when cancelled.
    virtual QString chooseFile(QWidget* parent, const QString& title, const QString& initialName,
                               const QStringList& filters, const QString& initialDir,
                               const QString& defaultSuffix) = 0;

    virtual void showAbout(QWidget* parent, const QString& application, const QString& text,
                           const QIcon& icon) = 0;

    // Opens a document with the desktop's default program for it.
    virtual bool openDocument(const QString& path) = 0;

    // The "ProgramDir" value of the system-wide settings, when it is set.
    virtual std::optional<QString> programDirSetting() = 0;

    // The data folder installed beside the program, or the build tree's when run from there.
    virtual std::optional<QString> ownDataDir() = 0;

protected:
    Platform() = default;
    Platform(const Platform&) = default;
    Platform& operator=(const Platform&) = default;
};

} // namespace tracklens::ui
