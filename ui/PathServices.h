#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

class QUrl;

namespace tracklens::ui {

class Platform;

// The text before the last separator: "a/b/c.mid" gives "a/b", "c.mid" and "/c.mid" give "".
QString DirPart(const QString& path);

// The text after the last separator: "a/b/c.mid" gives "c.mid", "a/b/" gives "".
QString NamePart(const QString& path);

// A file name is bytes, which need not be UTF-8. As text, its UTF-8 is read as such and each
// byte that is not part of valid UTF-8 becomes U+DC80 to U+DCFF, which no valid UTF-8 gives;
// the way back turns those into their bytes again, so that every name the system accepts
// comes back the same. Names in valid UTF-8 read as QFile::decodeName and encodeName have them.
QString NameOfPath(QByteArrayView path);
QByteArray PathOfName(const QString& name);

// The name of a file: URL (a drop), from its percent-encoded bytes.
QString NameOfLocalUrl(const QUrl& url);

// The program's arguments as names, so that a file named on the command line keeps its bytes.
QStringList ArgumentNames(int argc, const char* const* argv);

// True when the path names an existing entry that is not a directory.
bool FileExists(const QString& path);

// The installation folder: the directory of the "ProgramDir" setting, else the program's own
// data folder; nothing when neither is there.
std::optional<QString> ReadInstallDir(Platform& platform);

// "Tracklens (TestRead.mid - 2048 bytes)"
QString FileTitle(const QString& path);

// The files QSettings reads for the system-wide settings of an organisation's application,
// first the one it looks at first: in each folder of XDG_CONFIG_DIRS, then in Qt's folder of
// settings, "<organisation>/<application>.conf" and "<organisation>.conf".
QStringList SystemSettingsFiles(const QString& organisation, const QString& application);

// The value of a key of the first of these settings files that holds it. A file is opened
// without waiting and read only when it is a regular file, so that a FIFO or a device put in its
// place can neither block nor feed the program.
std::optional<QString> SettingOfFiles(const QStringList& files, const QString& key);

} // namespace tracklens::ui
