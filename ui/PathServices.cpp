#include "ui/PathServices.h"

#include <QFileInfo>

#include "ui/platform/Platform.h"

namespace tracklens::ui {

namespace {

qsizetype LastSeparator(const QString& path)
{
#ifdef Q_OS_WIN
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
#else
    return path.lastIndexOf(u'/');
#endif
}

} // namespace

QString DirPart(const QString& path)
{
    const qsizetype separator = LastSeparator(path);
    return separator < 0 ? QString() : path.left(separator);
}

QString NamePart(const QString& path)
{
    return path.mid(LastSeparator(path) + 1);
}

bool FileExists(const QString& path)
{
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

std::optional<QString> ReadInstallDir(Platform& platform)
{
    if (const std::optional<QString> programDir = platform.programDirSetting()) {
        return DirPart(*programDir);
    }
    return platform.ownDataDir();
}

QString FileTitle(const QString& path)
{
    return QStringLiteral("Tracklens (%1 - %2 bytes)")
        .arg(NamePart(path))
        .arg(QFileInfo(path).size());
}

} // namespace tracklens::ui
