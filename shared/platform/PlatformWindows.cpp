#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <csignal>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

// What Windows cannot give that Linux gives, said here once:
// - Owner and group: a file has an owner and access lists, but no group of the Unix kind, and an
//   ordinary user cannot give a file away. A replaced file takes the access rights the folder
//   hands on to new files; owner and group are not carried over.
// - Advisory locks (flock) and lock files: a COM port opens for one handle only, so the system
//   itself keeps a second program out.
// - FIFOs, devices and sockets in folders: none; every name in a folder is a file or a folder.
// - Symbolic links need rights ordinary users lack; a name is taken as its own target, and no
//   link of another user can lead a write elsewhere.
// - Signals: only Ctrl-C, Ctrl-Break and the closing of the console (or the end of the session)
//   reach a program; they are told as SIGINT and SIGHUP are on Linux.
// - A line that hangs up: the serial layer does not tell it; a lost line shows as a timeout.
// - Names are text (UTF-16), never bytes: nothing is kept apart, and every call takes the wide
//   form, so that names in any script work.
namespace Platform {

namespace {

// The numbers Linux gives these signals, so that messages and exit statuses read the same.
constexpr int interruptSignal = 2; // SIGINT: Ctrl-C, Ctrl-Break
constexpr int hangUpSignal = 1;    // SIGHUP: the console closed, the session ends

volatile LONG caughtSignal = 0;

BOOL WINAPI noteConsoleEvent(DWORD event)
{
    const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
    InterlockedCompareExchange(&caughtSignal, interrupt ? interruptSignal : hangUpSignal, 0);
    if (!interrupt) {
        // Windows ends the program as soon as this returns: wait for the main thread to reach
        // its safe point and end the program itself, within the few seconds Windows grants.
        Sleep(4500);
    }
    return TRUE;
}

void noteTermination(int)
{
    InterlockedCompareExchange(&caughtSignal, SIGTERM, 0);
    std::signal(SIGTERM, noteTermination); // the C runtime resets the handler on each signal
}

bool handleUsable(HANDLE handle)
{
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

bool displayAvailable(int, char **)
{
    return true;
}

bool stderrIsTerminal()
{
    DWORD mode = 0;
    return _isatty(_fileno(stderr)) != 0 || GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode);
}

void catchStopSignals()
{
    caughtSignal = 0;
    SetConsoleCtrlHandler(noteConsoleEvent, TRUE);
    std::signal(SIGTERM, noteTermination);
}

void releaseStopSignals()
{
    SetConsoleCtrlHandler(noteConsoleEvent, FALSE);
    std::signal(SIGTERM, SIG_DFL);
}

int stopSignal()
{
    return int(caughtSignal);
}

bool comPortNames()
{
    return true;
}

void useParentConsole()
{
    // The diagnostic lines go to stderr, as on Linux, not to a debugger.
    qputenv("QT_FORCE_STDERR_LOGGING", "1");
    // A program built for windows has no console; started from cmd or PowerShell, it writes
    // into the console it was started from. A stream the caller redirected keeps its place.
    const bool outMissing = !handleUsable(GetStdHandle(STD_OUTPUT_HANDLE));
    const bool errMissing = !handleUsable(GetStdHandle(STD_ERROR_HANDLE));
    if ((outMissing || errMissing) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (outMissing && std::freopen("CONOUT$", "w", stdout))
            std::setvbuf(stdout, nullptr, _IOFBF, 4096);
        if (errMissing && std::freopen("CONOUT$", "w", stderr))
            std::setvbuf(stderr, nullptr, _IONBF, 0);
    }
    // Lines end as on Linux, so that a file written through a redirection is the same.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

QStringList commandLineArguments(int argc, char **argv)
{
    // The 8-bit argv loses every character outside the system's code page; the wide command
    // line keeps them.
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    QStringList list;
    if (wide && count == argc) {
        for (int i = 0; i < count; ++i)
            list.append(QString::fromWCharArray(wide[i]));
    } else {
        for (int i = 0; i < argc; ++i)
            list.append(QString::fromLocal8Bit(argv[i]));
    }
    LocalFree(wide);
    return list;
}

const char *picturePlatform()
{
    // Windows always has its window system, which draws without showing a window.
    return "windows";
}

namespace {

std::wstring wide(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// A COM port as the system names it: COM10 and above only under the device prefix.
std::wstring portPath(const QString &port)
{
    const QString name = QDir::toNativeSeparators(port);
    return (name.startsWith(QLatin1String("\\\\.\\")) ? name : QStringLiteral("\\\\.\\") + name)
        .toStdWString();
}

} // namespace

DeviceLock lockDevice(const QString &path)
{
    // A COM port opens for one handle only; the system keeps out a second user. Opened and
    // closed again here, so that a port another program holds is told as busy, and a name
    // that is no port as such.
    DeviceLock lock;
    const HANDLE handle = CreateFileW(portPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (!handleUsable(handle)) {
        switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
            lock.claim = DeviceClaim::NotFound;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            lock.claim = DeviceClaim::Busy;
            break;
        default:
            lock.claim = DeviceClaim::Failed;
            break;
        }
        return lock;
    }
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    const bool serial = GetFileType(handle) == FILE_TYPE_CHAR && GetCommState(handle, &dcb);
    CloseHandle(handle);
    lock.claim = serial ? DeviceClaim::Held : DeviceClaim::NotATerminal;
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

void occupyClosedStandardStreams()
{
    // A program started without a stream (from Explorer) gets the null device for it, so that
    // writing fails quietly instead of landing in a file opened later.
    const DWORD streams[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (const DWORD stream : streams) {
        if (handleUsable(GetStdHandle(stream)))
            continue;
        const HANDLE null =
            CreateFileW(L"NUL", stream == STD_INPUT_HANDLE ? GENERIC_READ : 0,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handleUsable(null))
            SetStdHandle(stream, null);
    }
}

void failWritesToClosedPipes()
{
    // Nothing to do: a write to a pipe whose reader has gone fails (ERROR_NO_DATA) and never
    // ends the program.
}

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
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        r.error = FileError::NotFound;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        r.error = FileError::NoPermission;
        break;
    case ERROR_WRITE_PROTECT:
        r.error = FileError::ReadOnlyFileSystem;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        r.error = FileError::DiskFull;
        break;
    case ERROR_FILE_TOO_LARGE:
        r.error = FileError::FileTooLarge;
        break;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        r.error = FileError::NameTooLong;
        break;
    case ERROR_DIRECTORY:
        r.error = FileError::NotAFolder;
        break;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE:
        r.error = FileError::IoError;
        break;
    default: {
        r.error = FileError::Other;
        wchar_t *text = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
        r.detail = text ? QString::fromWCharArray(text).trimmed()
                        : QStringLiteral("Windows-Fehler %1").arg(error);
        LocalFree(text);
        break;
    }
    }
    return r;
}

FileResult lastError()
{
    return fromLastError(GetLastError());
}

QString folderOf(const QString &path)
{
    const QString native = QDir::fromNativeSeparators(path);
    const int slash = native.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral(".") : native.left(slash + 1);
}

bool exists(const QString &path)
{
    return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A name in folder that no file has: short, and never one of the converter's outputs.
QString unusedName(const QString &folder)
{
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (;;) {
        const QString name =
            prefix + QStringLiteral(".zor2conv-%1")
                         .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (!exists(name))
            return name;
    }
}

bool writeAll(HANDLE handle, const char *data, qint64 size)
{
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = DWORD(qMin<qint64>(size, 1 << 30));
        if (!WriteFile(handle, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

FileStatus fileStatus(const QString &path)
{
    FileStatus status;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            status.result = fromLastError(error);
        return status;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        status.kind = FileKind::Folder;
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
        status.kind = FileKind::Device;
    } else {
        status.kind = FileKind::Regular;
        status.size = (qint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return status;
}

ReadResult readRegularFile(const QString &path, qint64 maxBytes)
{
    ReadResult r;
    r.status = fileStatus(path);
    if (r.status.kind != FileKind::Regular || !r.status.result.ok())
        return r;
    const HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (!handleUsable(handle)) {
        r.status.result = lastError();
        return r;
    }
    LARGE_INTEGER size;
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        r.status.kind = FileKind::Device;
    } else if (!GetFileSizeEx(handle, &size)) {
        r.status.result = lastError();
    } else if (size.QuadPart > maxBytes) {
        r.status.size = size.QuadPart;
        r.tooLarge = true;
    } else {
        // The size may change while reading; never more than maxBytes are kept.
        r.data.resize(qsizetype(size.QuadPart) + 1);
        qint64 have = 0;
        for (;;) {
            if (have == r.data.size()) {
                if (have > maxBytes) {
                    r.tooLarge = true;
                    break;
                }
                r.data.resize(qsizetype(qMin<qint64>(have * 2 + 4096, maxBytes + 1)));
            }
            DWORD got = 0;
            const DWORD want = DWORD(qMin<qint64>(r.data.size() - have, 1 << 30));
            if (!ReadFile(handle, r.data.data() + have, want, &got, nullptr)) {
                r.status.result = lastError();
                break;
            }
            if (got == 0)
                break;
            have += got;
        }
        r.data.truncate(qsizetype(have));
        r.status.size = have;
        if (!r.ok())
            r.data.clear();
    }
    CloseHandle(handle);
    return r;
}

FileResult writeTemporaryFile(const QString &target, const QByteArray &content, QString &tempPath)
{
    tempPath = unusedName(folderOf(target));
    const std::wstring name = wide(tempPath);
    const HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!handleUsable(handle)) {
        const FileResult r = lastError();
        tempPath.clear();
        return r;
    }
    // Complete on disk before it replaces anything.
    DWORD error = ERROR_SUCCESS;
    if (!writeAll(handle, content.constData(), content.size()) || !FlushFileBuffers(handle))
        error = GetLastError();
    if (!CloseHandle(handle) && error == ERROR_SUCCESS)
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        DeleteFileW(name.c_str());
        tempPath.clear();
    }
    return fromLastError(error);
}

FileResult keepAside(const QString &path, QString &asidePath)
{
    asidePath = unusedName(folderOf(path));
    if (CreateHardLinkW(wide(asidePath).c_str(), wide(path).c_str(), nullptr) ||
        MoveFileExW(wide(path).c_str(), wide(asidePath).c_str(), MOVEFILE_WRITE_THROUGH))
        return FileResult();
    const FileResult r = lastError();
    asidePath.clear();
    return r;
}

FileResult replaceFile(const QString &from, const QString &to)
{
    // One rename in one folder: the old content or the new one, never a mixture, and on disk
    // before this returns.
    if (MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FileResult();
    return lastError();
}

void removeFile(const QString &path)
{
    DeleteFileW(wide(path).c_str());
}

FileResult makeFolders(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const FileStatus status = fileStatus(clean);
    if (status.kind == FileKind::Folder)
        return FileResult();
    if (status.kind != FileKind::Missing)
        return FileResult{FileError::NotAFolder, QString()};
    if (!status.result.ok())
        return status.result;
    const int slash = clean.lastIndexOf(QLatin1Char('/'));
    // Not above a drive ("C:") or a share's root.
    if (slash > 0 && !clean.left(slash).endsWith(QLatin1Char(':'))) {
        const FileResult above = makeFolders(clean.left(slash));
        if (!above.ok())
            return above;
    }
    if (CreateDirectoryW(wide(clean).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return FileResult();
    return lastError();
}

FileResult folderWritable(const QString &path)
{
    const FileStatus status = fileStatus(path);
    if (!status.result.ok())
        return status.result;
    if (status.kind == FileKind::Missing)
        return FileResult{FileError::NotFound, QString()};
    if (status.kind != FileKind::Folder)
        return FileResult{FileError::NotAFolder, QString()};
    // Windows' access lists are only judged by trying: a file that goes when it is closed.
    const HANDLE probe = CreateFileW(wide(unusedName(path)).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (!handleUsable(probe))
        return lastError();
    CloseHandle(probe);
    return FileResult();
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
    // The longest part that exists, resolved; the rest as written.
    QString there = absoluteName(path);
    QString rest;
    for (;;) {
        const QString canonical = QFileInfo(there).canonicalFilePath();
        if (!canonical.isEmpty())
            return QDir::cleanPath(canonical + rest);
        const qsizetype slash = there.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0 || there.endsWith(QLatin1String(":/")))
            return absoluteName(path);
        rest.prepend(there.mid(slash));
        there = there.left(slash);
        if (there.endsWith(QLatin1Char(':')))
            there += QLatin1Char('/');
    }
}

// Links on Windows need rights ordinary users lack; a name is its own target, judged by kind.
OutputTarget outputTarget(const QString &name)
{
    OutputTarget t;
    t.path = name;
    const FileStatus status = fileStatus(name);
    t.kind = status.kind;
    t.result = status.result;
    if (t.kind != FileKind::Missing && t.kind != FileKind::Regular)
        t.problem = OutputTarget::Problem::NotRegular;
    return t;
}

} // namespace Platform
