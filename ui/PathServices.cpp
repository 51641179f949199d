#include "ui/PathServices.h"

#include <QLibraryInfo>
#include <QSettings>
#include <QTemporaryFile>
#include <QUrl>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ui/platform/Platform.h"

namespace tracklens::ui {

namespace {

constexpr char16_t kFirstEscapedByte = 0xDC80; // U+DC80 to U+DCFF stand for bytes 80 to FF
constexpr char16_t kLastEscapedByte = 0xDCFF;
constexpr char16_t kEscapeBase = 0xDC00;
// Larger than any settings file of this program; a larger one is not read.
constexpr qint64 kLargestSettingsFile = qint64{1} << 20;

qsizetype LastSeparator(const QString& path)
{
#ifdef Q_OS_WIN
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
#else
    return path.lastIndexOf(u'/');
#endif
}

// The length of the valid UTF-8 sequence that bytes begin with, or 0 for an invalid one
// (overlong forms, surrogates and code points beyond U+10FFFF are invalid).
qsizetype Utf8SequenceLength(QByteArrayView bytes)
{
    const auto at = [bytes](qsizetype index) {
        return static_cast<unsigned char>(bytes[index]);
    };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    qsizetype length = 0;
    unsigned char lowest = 0x80; // of the second byte
    unsigned char highest = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = lead == 0xE0 ? 0xA0 : 0x80;
        highest = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = lead == 0xF0 ? 0x90 : 0x80;
        highest = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < lowest || at(1) > highest) {
        return 0;
    }
    for (qsizetype index = 2; index < length; ++index) {
        if (at(index) < 0x80 || at(index) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// The whole of a regular file of at most the given size; nothing for anything else. It is
// opened without waiting, so that a FIFO opens at once, and looked at once open.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 largest)
{
    const int descriptor =
        ::open(PathOfName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return std::nullopt;
    }
    std::optional<QByteArray> content;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= largest) {
        QByteArray bytes(static_cast<qsizetype>(status.st_size), Qt::Uninitialized);
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(descriptor, bytes.data() + done,
                                       static_cast<std::size_t>(bytes.size() - done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            done += got;
        }
        bytes.truncate(done);
        content = bytes;
    }
    ::close(descriptor);
    return content;
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

QString NameOfPath(QByteArrayView path)
{
    QString name;
    name.reserve(path.size());
    qsizetype textStart = 0;
    qsizetype index = 0;
    while (index < path.size()) {
        const qsizetype length = Utf8SequenceLength(path.sliced(index));
        if (length > 0) {
            index += length;
            continue;
        }
        name += QString::fromUtf8(path.sliced(textStart, index - textStart));
        name += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(path[index])));
        textStart = ++index;
    }
    name += QString::fromUtf8(path.sliced(textStart));
    return name;
}

QByteArray PathOfName(const QString& name)
{
    QByteArray path;
    path.reserve(name.size());
    qsizetype textStart = 0;
    qsizetype index = 0;
    while (index < name.size()) {
        const char16_t unit = name[index].unicode();
        if (QChar::isHighSurrogate(unit) && index + 1 < name.size() &&
            name[index + 1].isLowSurrogate()) {
            index += 2;
            continue;
        }
        if (unit < kFirstEscapedByte || unit > kLastEscapedByte) {
            ++index;
            continue;
        }
        path += QStringView(name).sliced(textStart, index - textStart).toUtf8();
        path += static_cast<char>(unit - kEscapeBase);
        textStart = ++index;
    }
    path += QStringView(name).sliced(textStart).toUtf8();
    return path;
}

QString NameOfLocalUrl(const QUrl& url)
{
    const QByteArray path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    const QString host = url.host();
    return host.isEmpty() ? NameOfPath(path) : QStringLiteral("//") + host + NameOfPath(path);
}

QStringList ArgumentNames(int argc, const char* const* argv)
{
    QStringList names;
    for (int index = 0; index < argc; ++index) {
        names.append(NameOfPath(argv[index]));
    }
    return names;
}

bool FileExists(const QString& path)
{
    if (path.isEmpty()) {
        return false;
    }
    struct stat status {};
    return ::stat(PathOfName(path).constData(), &status) == 0 && !S_ISDIR(status.st_mode);
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
    struct stat status {};
    const qint64 size =
        ::stat(PathOfName(path).constData(), &status) == 0 ? qint64{status.st_size} : 0;
    return QStringLiteral("Tracklens (%1 - %2 bytes)").arg(NamePart(path)).arg(size);
}

QStringList SystemSettingsFiles(const QString& organisation, const QString& application)
{
    QStringList folders;
    for (const QString& folder : NameOfPath(qgetenv("XDG_CONFIG_DIRS")).split(u':')) {
        if (!folder.isEmpty()) {
            folders.append(folder);
        }
    }
    folders.append(QLibraryInfo::path(QLibraryInfo::SettingsPath));
    QStringList files;
    for (const QString& folder : folders) {
        files.append(folder + u'/' + organisation + u'/' + application + QStringLiteral(".conf"));
        files.append(folder + u'/' + organisation + QStringLiteral(".conf"));
    }
    return files;
}

std::optional<QString> SettingOfFiles(const QStringList& files, const QString& key)
{
    for (const QString& file : files) {
        const std::optional<QByteArray> content = ReadRegularFile(file, kLargestSettingsFile);
        if (!content) {
            continue;
        }
        // QSettings reads files by name only: it is given a private copy of what was read.
        QTemporaryFile copy;
        if (!copy.open() || copy.write(*content) != content->size() || !copy.flush()) {
            continue;
        }
        const QSettings settings(copy.fileName(), QSettings::IniFormat);
        const QVariant value = settings.value(key);
        if (value.isValid()) {
            return value.toString();
        }
    }
    return std::nullopt;
}

} // namespace tracklens::ui
