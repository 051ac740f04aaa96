#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <csignal>
#include <cstdio>
#include <string>

#include <io.h>
#include <windows.h>

namespace Platform {

namespace {

volatile std::sig_atomic_t caughtSignal = 0;

void noteStopSignal(int number)
{
    if (caughtSignal == 0)
        caughtSignal = number;
    std::signal(number, noteStopSignal); // the C runtime resets the handler on each signal
}

constexpr int stopSignals[] = {SIGINT, SIGTERM, SIGBREAK};

} // namespace

bool displayAvailable(int, char **)
{
    return true;
}

bool stderrIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

void catchStopSignals()
{
    caughtSignal = 0;
    for (const int number : stopSignals)
        std::signal(number, noteStopSignal);
}

void releaseStopSignals()
{
    for (const int number : stopSignals)
        std::signal(number, SIG_DFL);
}

int stopSignal()
{
    return caughtSignal;
}

bool comPortNames()
{
    return true;
}

DeviceLock lockDevice(const QString &)
{
    // A COM port opens for one handle only; the system keeps out a second user.
    DeviceLock lock;
    lock.claim = DeviceClaim::Held;
    return lock;
}

void releaseDevice(DeviceLock &lock)
{
    lock = DeviceLock();
}

bool lineHungUp(qintptr)
{
    return true;
}

// Handles have no limit that a port search could reach.
void raiseDescriptorLimit() {}

int freeDescriptors()
{
    return -1;
}

void occupyClosedStandardStreams() {}

void failWritesToClosedPipes() {}

// Files ------------------------------------------------------------------------------------

namespace {

FileResult fromLastError(DWORD error)
{
    FileResult r;
    switch (error) {
    case ERROR_SUCCESS:
        return r;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        r.error = FileError::NotFound;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        r.error = FileError::NoPermission;
        break;
    case ERROR_WRITE_PROTECT:
        r.error = FileError::ReadOnlyFileSystem;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        r.error = FileError::DiskFull;
        break;
    case ERROR_FILENAME_EXCED_RANGE:
        r.error = FileError::NameTooLong;
        break;
    default:
        r.error = FileError::Other;
        r.detail = QStringLiteral("Windows error %1").arg(error);
        break;
    }
    return r;
}

FileResult fromFile(const QFile &file)
{
    FileResult r;
    switch (file.error()) {
    case QFileDevice::NoError:
        return r;
    case QFileDevice::ResourceError:
        r.error = FileError::DiskFull;
        break;
    case QFileDevice::PermissionsError:
        r.error = FileError::NoPermission;
        break;
    default:
        r.error = FileError::Other;
        r.detail = file.errorString();
        break;
    }
    return r;
}

QString unusedName(const QString &folder)
{
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (;;) {
        const QString name =
            prefix + QStringLiteral(".zor2conv-%1")
                         .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (!QFileInfo::exists(name))
            return name;
    }
}

std::wstring wide(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

} // namespace

FileStatus fileStatus(const QString &path)
{
    FileStatus status;
    const QFileInfo info(path);
    if (!info.exists()) {
        status.kind = info.isSymLink() ? FileKind::DanglingLink : FileKind::Missing;
        return status;
    }
    status.kind = info.isDir()    ? FileKind::Folder
                  : info.isFile() ? FileKind::Regular
                                  : FileKind::Other;
    status.size = info.size();
    return status;
}

ReadResult readRegularFile(const QString &path, qint64 maxBytes)
{
    ReadResult r;
    r.status = fileStatus(path);
    if (r.status.kind != FileKind::Regular)
        return r;
    if (r.status.size > maxBytes) {
        r.tooLarge = true;
        return r;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        r.status.result = fromFile(file);
        return r;
    }
    r.data = file.read(maxBytes + 1);
    r.tooLarge = r.data.size() > maxBytes;
    if (file.error() != QFileDevice::NoError)
        r.status.result = fromFile(file);
    if (!r.ok())
        r.data.clear();
    return r;
}

FileResult writeTemporaryFile(const QString &target, const QByteArray &content, QString &tempPath)
{
    tempPath = unusedName(QFileInfo(target).path());
    QFile file(tempPath);
    FileResult r;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        r = fromFile(file);
    } else if (file.write(content) != content.size() || !file.flush()) {
        r = fromFile(file);
        file.close();
        file.remove();
    } else {
        file.close();
        if (file.error() != QFileDevice::NoError) {
            r = fromFile(file);
            file.remove();
        }
    }
    if (!r.ok())
        tempPath.clear();
    return r;
}

FileResult keepAside(const QString &path, QString &asidePath)
{
    asidePath = unusedName(QFileInfo(path).path());
    if (CreateHardLinkW(wide(asidePath).c_str(), wide(path).c_str(), nullptr) ||
        MoveFileExW(wide(path).c_str(), wide(asidePath).c_str(), MOVEFILE_WRITE_THROUGH))
        return FileResult();
    const FileResult r = fromLastError(GetLastError());
    asidePath.clear();
    return r;
}

FileResult replaceFile(const QString &from, const QString &to)
{
    if (MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FileResult();
    return fromLastError(GetLastError());
}

void removeFile(const QString &path)
{
    QFile::remove(path);
}

FileResult makeFolders(const QString &path)
{
    if (QDir().mkpath(path))
        return FileResult();
    return fromLastError(GetLastError());
}

FileResult folderWritable(const QString &path)
{
    const QFileInfo info(path);
    FileResult r;
    if (!info.exists())
        r.error = FileError::NotFound;
    else if (!info.isDir())
        r.error = FileError::NotAFolder;
    return r;
}

bool namesIgnoreCase(const QString &)
{
    return true;
}

QString settingsFile(const QString &, const QString &)
{
    return QString(); // the settings live in the registry
}

// Names are text on Windows: nothing is kept apart.

QString nameFromNative(const QByteArray &bytes)
{
    return QString::fromLocal8Bit(bytes);
}

QByteArray nativeName(const QString &name)
{
    return name.toLocal8Bit();
}

QString nameAsText(const QString &name)
{
    return name;
}

int keptByte(QChar)
{
    return -1;
}

QString storedName(const QString &path)
{
    return path;
}

QString absoluteName(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString resolvedPath(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? absoluteName(path) : canonical;
}

// Links on Windows need rights ordinary users lack; a name is its own target, judged by kind.
OutputTarget outputTarget(const QString &name)
{
    OutputTarget t;
    t.path = name;
    t.kind = fileStatus(name).kind;
    if (t.kind == FileKind::DanglingLink)
        t.kind = FileKind::Missing;
    if (t.kind != FileKind::Missing && t.kind != FileKind::Regular)
        t.problem = OutputTarget::Problem::NotRegular;
    return t;
}

} // namespace Platform
