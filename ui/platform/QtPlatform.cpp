#include "ui/platform/QtPlatform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include "ui/PathServices.h"

namespace tracklens::ui {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtPlatform::showMessage(QWidget* parent, const QString& text, MessageIcon icon,
                             const QString& title)
{
    QMessageBox box(BoxIcon(icon), title, QString(text).replace(QStringLiteral("\r\n"), "\n"),
                    QMessageBox::Ok, parent);
    box.exec();
}

QString QtPlatform::chooseFile(QWidget* parent, const QString& title, const QString& initialName,
                               const QStringList& filters, const QString& initialDir,
                               const QString& defaultSuffix)
{
    QFileDialog dialog(parent, title, initialDir);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(0));
    dialog.setDefaultSuffix(defaultSuffix);
    if (!initialName.isEmpty()) {
        dialog.selectFile(initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void QtPlatform::showAbout(QWidget* parent, const QString& application, const QString& text,
                           const QIcon& icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(QCoreApplication::translate("Tracklens", "About %1").arg(application));
    box.setText(QStringLiteral("<b>%1</b>").arg(application.toHtmlEscaped()));
    box.setInformativeText(QString(text).replace(QStringLiteral("\r\n"), "\n"));
    box.setIconPixmap(icon.pixmap(64, 64));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtPlatform::openDocument(const QString& path)
{
    // From the name's bytes, which need not be UTF-8.
    const QByteArray bytes = PathOfName(path);
    return QDesktopServices::openUrl(
        bytes.startsWith('/') ? QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"))
                              : QUrl::fromLocalFile(path));
}

std::optional<QString> QtPlatform::programDirSetting()
{
    // The files QSettings would read, read so that none of them can block the start.
    return SettingOfFiles(
        SystemSettingsFiles(QStringLiteral("Orvane"), QStringLiteral("Tracklens")),
        QStringLiteral("ProgramDir"));
}

std::optional<QString> QtPlatform::ownDataDir()
{
    // Installed: <prefix>/bin/tracklens and <prefix>/share/tracklens. In the build tree the
    // data folder is copied beside the program's folder.
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {QStringLiteral("../share/tracklens"), QStringLiteral("../data")}) {
        const QString path = QDir::cleanPath(programDir.absoluteFilePath(candidate));
        if (QDir(path).exists()) {
            return path;
        }
    }
    return std::nullopt;
}

} // namespace tracklens::ui
