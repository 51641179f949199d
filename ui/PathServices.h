#pragma once

#include <QString>
#include <optional>

namespace tracklens::ui {

class Platform;

// The text before the last separator: "a/b/c.mid" gives "a/b", "c.mid" and "/c.mid" give "".
QString DirPart(const QString& path);

// The text after the last separator: "a/b/c.mid" gives "c.mid", "a/b/" gives "".
QString NamePart(const QString& path);

// True when the path names an existing entry that is not a directory.
bool FileExists(const QString& path);

// The installation folder: the directory of the "ProgramDir" setting, else the program's own
// data folder; nothing when neither is there.
std::optional<QString> ReadInstallDir(Platform& platform);

// "Tracklens (TestRead.mid - 2048 bytes)"
QString FileTitle(const QString& path);

} // namespace tracklens::ui
