#pragma once

#include "ui/platform/Platform.h"

namespace tracklens::ui {

// The desktop services as Qt provides them.
class QtPlatform final : public Platform {
public:
    void showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                     const QString& title) override;
    QString chooseFile(QWidget* parent, const QString& title, const QString& initialName,
                       const QStringList& filters, const QString& initialDir,
                       const QString& defaultSuffix) override;
    void showAbout(QWidget* parent, const QString& application, const QString& text,
                   const QIcon& icon) override;
    bool openDocument(const QString& path) override;
    std::optional<QString> programDirSetting() override;
    std::optional<QString> ownDataDir() override;
};

} // namespace tracklens::ui
