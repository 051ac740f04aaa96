#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#endif

namespace Platform {

namespace {

// Written only by the signal handler, read by stopSignal().
volatile std::sig_atomic_t caughtSignal = 0;

void noteStopSignal(int number)
{
    if (caughtSignal == 0)
        caughtSignal = number;
}

void setStopHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
}

bool environmentSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

} // namespace

bool displayAvailable(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
#ifdef __APPLE__
    return true;
#else
    return environmentSet("QT_QPA_PLATFORM") || environmentSet("DISPLAY") ||
           environmentSet("WAYLAND_DISPLAY");
#endif
}

bool stderrIsTerminal()
{
    return isatty(fileno(stderr)) != 0;
}

void catchStopSignals()
{
    caughtSignal = 0;
    setStopHandler(noteStopSignal);
}

void releaseStopSignals()
{
    setStopHandler(SIG_DFL);
}

int stopSignal()
{
    return caughtSignal;
}

bool comPortNames()
{
    return false;
}

void useParentConsole() {}

QStringList commandLineArguments(int argc, char **argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(nameFromNative(QByteArray(argv[i])));
    return list;
}

const char *picturePlatform()
{
    return "offscreen";
}

namespace {

// The process id a lock file names, in the forms terminal programs write: ten ASCII digits
// padded with blanks and a line end, a bare number with or without line end, "PID name user",
// Qt's "PID\nname\nhost", or the id as a binary int. 0: none can be read.
pid_t lockFileHolder(const QByteArray &content)
{
    // A binary id of a Linux process always holds a zero byte: ids stay below 2^22.
    if (content.size() == qsizetype(sizeof(int)) && content.contains('\0')) {
        int id = 0;
        std::memcpy(&id, content.constData(), sizeof id);
        return id > 0 ? pid_t(id) : 0;
    }
    qsizetype i = 0;
    while (i < content.size() && (content.at(i) == ' ' || content.at(i) == '\t'))
        ++i;
    long long id = 0;
    const qsizetype first = i;
    for (; i < content.size() && content.at(i) >= '0' && content.at(i) <= '9' && id < INT_MAX; ++i)
        id = id * 10 + (content.at(i) - '0');
    return i > first && id > 0 && id < INT_MAX ? pid_t(id) : 0;
}

bool processAlive(pid_t id)
{
    return kill(id, 0) == 0 || errno == EPERM;
}

// The names of the lock files other programs may hold for the device: "LCK.." and the name
// below /dev with "/" as "_" (Qt, lockdev), "LCK.." and the last part of the name (minicom and
// the like for a port in a folder below /dev), and lockdev's "LCK.major.minor".
std::vector<QByteArray> lockFileNames(const QByteArray &device, const struct stat &st)
{
    QByteArray below = device.startsWith("/dev/") ? device.mid(5) : device;
    const QByteArray last = below.mid(below.lastIndexOf('/') + 1);
    below.replace('/', '_');
    std::vector<QByteArray> names{"LCK.." + below};
    if (last != below)
        names.push_back("LCK.." + last);
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "LCK.%03u.%03u", unsigned(major(st.st_rdev)),
                  unsigned(minor(st.st_rdev)));
    names.emplace_back(numbers);
    return names;
}

// Whether a lock file at path keeps us off the device: its process lives, or it cannot be told
// whose it is. A lock file whose process is gone is removed, unless it changed meanwhile.
bool lockFileHeld(const QByteArray &path)
{
    const int fd = open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno != ENOENT && errno != ENOTDIR; // one we may not read is someone's
    struct stat before;
    char content[128];
    ssize_t n;
    do {
        n = fstat(fd, &before) == 0 ? ::read(fd, content, sizeof content) : -1;
    } while (n < 0 && errno == EINTR);
    close(fd);
    const pid_t holder = n > 0 ? lockFileHolder(QByteArray(content, int(n))) : 0;
    if (holder == 0 || processAlive(holder))
        return true;
    struct stat now;
    if (lstat(path.constData(), &now) == 0 && now.st_ino == before.st_ino &&
        now.st_dev == before.st_dev && now.st_mtime == before.st_mtime)
        unlink(path.constData());
    return false;
}

// Whether another program holds the open terminal by its exclusive mode or a record lock, or
// the device by a lock file. Asks without changing anything on the line.
bool heldElsewhere(int fd, const QByteArray &device, const struct stat &st)
{
#ifdef TIOCGEXCL
    int exclusive = 0;
    if (ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0)
        return true;
#endif
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    if (fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        return true;
#ifdef F_OFD_GETLK
    probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    if (fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        return true;
#endif
    for (const char *folder : {"/var/lock/", "/run/lock/"}) {
        for (const QByteArray &name : lockFileNames(device, st)) {
            if (lockFileHeld(folder + name))
                return true;
        }
    }
    return false;
}

} // namespace

DeviceLock lockDevice(const QString &path)
{
    DeviceLock lock;
    const QByteArray name = nativeName(path);
    struct stat st;
    if (stat(name.constData(), &st) != 0) {
        lock.claim = errno == ENOENT || errno == ENOTDIR ? DeviceClaim::NotFound
                     : errno == EACCES                   ? DeviceClaim::NoPermission
                                                         : DeviceClaim::Failed;
        return lock;
    }
    if (!S_ISCHR(st.st_mode)) {
        lock.claim = DeviceClaim::NotATerminal;
        return lock;
    }
    // Without waiting for a carrier and without becoming our controlling terminal; a port that
    // another program opened exclusively refuses us (EBUSY) unless we are root. Opening changes
    // no line setting.
    const int fd = open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        lock.claim = errno == EACCES || errno == EPERM    ? DeviceClaim::NoPermission
                     : errno == EBUSY                     ? DeviceClaim::Busy
                     : errno == EMFILE || errno == ENFILE ? DeviceClaim::NoDescriptors
                     : errno == ENOENT || errno == ENXIO || errno == ENODEV ? DeviceClaim::NotFound
                                                                            : DeviceClaim::Failed;
        return lock;
    }
    if (!isatty(fd)) {
        close(fd);
        lock.claim = DeviceClaim::NotATerminal;
        return lock;
    }
    int locked;
    do {
        locked = flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        lock.claim = errno == EWOULDBLOCK ? DeviceClaim::Busy : DeviceClaim::Failed;
        close(fd);
        return lock;
    }
    // Asked only once our own lock is held, so that two loaders never remove each other's file.
    if (heldElsewhere(fd, name, st)) {
        lock.claim = DeviceClaim::Busy;
        close(fd);
        return lock;
    }
    lock.claim = DeviceClaim::Held;
    lock.handle = fd;
    return lock;
}

void releaseDevice(DeviceLock &lock)
{
    if (lock.handle >= 0)
        close(lock.handle); // the lock goes with the last descriptor of this open
    lock = DeviceLock();
}

bool lineHungUp(qintptr handle)
{
    pollfd p{int(handle), POLLIN, 0};
    int ready;
    do {
        ready = poll(&p, 1, 0);
    } while (ready < 0 && errno == EINTR);
    return ready < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void raiseDescriptorLimit()
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

int freeDescriptors()
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return -1;
    const long allowed = long(std::min<rlim_t>(limit.rlim_cur, INT_MAX));
    long open = 0;
    if (DIR *folder = opendir("/proc/self/fd")) {
        while (const dirent *entry = readdir(folder))
            open += entry->d_name[0] != '.';
        closedir(folder);
        --open; // the folder's own descriptor
    } else if (errno == EMFILE || errno == ENFILE) {
        return 0;
    } else {
        for (int fd = 0; fd < std::min(allowed, 65536L); ++fd)
            open += fcntl(fd, F_GETFD) != -1;
    }
    return int(std::max(0L, allowed - open));
}

void occupyClosedStandardStreams()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int null = open("/dev/null", O_RDONLY);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            close(null);
        }
    }
}

void failWritesToClosedPipes()
{
    struct sigaction action = {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPIPE, &action, nullptr);
}

// Files ------------------------------------------------------------------------------------

namespace {

QByteArray nativePath(const QString &path)
{
    return nativeName(path);
}

FileResult fromErrno(int error)
{
    FileResult r;
    switch (error) {
    case 0:
        return r;
    case ENOENT:
        r.error = FileError::NotFound;
        break;
    case EACCES:
    case EPERM:
        r.error = FileError::NoPermission;
        break;
    case EROFS:
        r.error = FileError::ReadOnlyFileSystem;
        break;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        r.error = FileError::DiskFull;
        break;
    case EFBIG:
        r.error = FileError::FileTooLarge;
        break;
    case ENAMETOOLONG:
        r.error = FileError::NameTooLong;
        break;
    case ENOTDIR:
        r.error = FileError::NotAFolder;
        break;
    case EISDIR:
        r.error = FileError::IsAFolder;
        break;
    case EIO:
        r.error = FileError::IoError;
        break;
    default:
        r.error = FileError::Other;
        r.detail = QString::fromLocal8Bit(std::strerror(error));
        break;
    }
    return r;
}

FileKind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::Regular;
    if (S_ISDIR(mode))
        return FileKind::Folder;
    if (S_ISFIFO(mode))
        return FileKind::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return FileKind::Device;
    if (S_ISSOCK(mode))
        return FileKind::Socket;
    return FileKind::Other;
}

// A name in folder that no file has: hidden, short (so that it fits wherever the target's
// name fits) and never one of the converter's outputs.
QString unusedName(const QString &folder)
{
    const QString prefix =
        folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (;;) {
        const QString name =
            prefix + QStringLiteral(".zor2conv-%1")
                         .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        struct stat st;
        if (lstat(nativePath(name).constData(), &st) != 0 && errno == ENOENT)
            return name;
    }
}

QString folderOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral(".") : path.left(slash + 1);
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, std::size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

FileStatus fileStatus(const QString &path)
{
    FileStatus status;
    struct stat st;
    const QByteArray name = nativePath(path);
    if (stat(name.constData(), &st) == 0) {
        status.kind = kindOf(st.st_mode);
        status.size = qint64(st.st_size);
        return status;
    }
    const int error = errno;
    if (error == ENOENT) {
        if (lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode))
            status.kind = FileKind::DanglingLink;
        return status;
    }
    status.result = fromErrno(error);
    return status;
}

ReadResult readRegularFile(const QString &path, qint64 maxBytes)
{
    ReadResult r;
    r.status = fileStatus(path);
    if (r.status.kind != FileKind::Regular || !r.status.result.ok())
        return r;
    // Without blocking: should a FIFO have taken the file's place since, open does not wait.
    const int fd = open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        r.status.result = fromErrno(errno);
        return r;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        r.status.result = fromErrno(errno);
    } else if (!S_ISREG(st.st_mode)) {
        r.status.kind = kindOf(st.st_mode);
    } else if (qint64(st.st_size) > maxBytes) {
        r.status.size = qint64(st.st_size);
        r.tooLarge = true;
    } else {
        // The size may change while reading; never more than maxBytes are kept.
        r.data.resize(qsizetype(st.st_size) + 1);
        qint64 have = 0;
        for (;;) {
            if (have == r.data.size()) {
                if (have > maxBytes) {
                    r.tooLarge = true;
                    break;
                }
                r.data.resize(qsizetype(std::min<qint64>(have * 2 + 4096, maxBytes + 1)));
            }
            const ssize_t n = ::read(fd, r.data.data() + have, std::size_t(r.data.size() - have));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                r.status.result = fromErrno(errno);
                break;
            }
            if (n == 0)
                break;
            have += n;
        }
        r.data.truncate(qsizetype(have));
        r.status.size = have;
        if (!r.ok())
            r.data.clear();
    }
    close(fd);
    return r;
}

FileResult writeTemporaryFile(const QString &target, const QByteArray &content, QString &tempPath)
{
    tempPath = unusedName(folderOf(target));
    const QByteArray name = nativePath(tempPath);
    const int fd = open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const FileResult r = fromErrno(errno);
        tempPath.clear();
        return r;
    }
    int error = 0;
    struct stat st;
    if (stat(nativePath(target).constData(), &st) == 0 && S_ISREG(st.st_mode)) {
        // Owner, group and mode of the file it replaces, as far as this user may set them: the
        // owner first, since a change of owner clears the set-ID bits. A refusal is no failure.
        if (fchown(fd, st.st_uid, st.st_gid) != 0 && fchown(fd, uid_t(-1), st.st_gid) != 0)
            errno = 0;
        fchmod(fd, st.st_mode & 07777);
    }
    if (!writeAll(fd, content.constData(), content.size()) || fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        unlink(name.constData());
        tempPath.clear();
    }
    return fromErrno(error);
}

FileResult keepAside(const QString &path, QString &asidePath)
{
    asidePath = unusedName(folderOf(path));
    const QByteArray from = nativePath(path);
    const QByteArray to = nativePath(asidePath);
    if (link(from.constData(), to.constData()) == 0 ||
        rename(from.constData(), to.constData()) == 0)
        return FileResult();
    const FileResult r = fromErrno(errno);
    asidePath.clear();
    return r;
}

FileResult replaceFile(const QString &from, const QString &to)
{
    if (rename(nativePath(from).constData(), nativePath(to).constData()) == 0)
        return FileResult();
    return fromErrno(errno);
}

void removeFile(const QString &path)
{
    unlink(nativePath(path).constData());
}

FileResult makeFolders(const QString &path)
{
    const QByteArray name = nativePath(path);
    struct stat st;
    if (stat(name.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? FileResult() : fromErrno(ENOTDIR);
    const int slash = path.lastIndexOf(QLatin1Char('/'), path.endsWith(QLatin1Char('/')) ? -2 : -1);
    if (slash > 0) {
        const FileResult above = makeFolders(path.left(slash));
        if (!above.ok())
            return above;
    }
    if (mkdir(name.constData(), 0777) == 0 || errno == EEXIST)
        return FileResult();
    return fromErrno(errno);
}

FileResult folderWritable(const QString &path)
{
    const QByteArray name = nativePath(path);
    struct stat st;
    if (stat(name.constData(), &st) != 0)
        return fromErrno(errno);
    if (!S_ISDIR(st.st_mode))
        return fromErrno(ENOTDIR);
    if (access(name.constData(), W_OK | X_OK) != 0)
        return fromErrno(errno);
    return FileResult();
}

bool namesIgnoreCase(const QString &folder)
{
#if defined(__APPLE__) && defined(_PC_CASE_SENSITIVE)
    return pathconf(nativePath(folder).constData(), _PC_CASE_SENSITIVE) == 0;
#elif defined(__linux__)
    struct statfs fs;
    if (statfs(nativePath(folder).constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x4d44UL:     // FAT
    case 0x2011BAB0UL: // exFAT
    case 0x5346544eUL: // NTFS
        return true;
    default:
        return false;
    }
#else
    Q_UNUSED(folder);
    return false;
#endif
}

QString settingsFile(const QString &organisation, const QString &application)
{
    // Where QSettings keeps its native format here: the XDG configuration folder.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + organisation + QLatin1Char('/') + application +
           QStringLiteral(".conf");
}

// Names ------------------------------------------------------------------------------------

QString nameFromNative(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        int length = 0;
        char32_t c = b;
        char32_t least = 0;
        if (b < 0x80)
            length = 1;
        else if (b >= 0xC2 && b <= 0xDF)
            length = 2, c = b & 0x1F, least = 0x80;
        else if (b >= 0xE0 && b <= 0xEF)
            length = 3, c = b & 0x0F, least = 0x800;
        else if (b >= 0xF0 && b <= 0xF4)
            length = 4, c = b & 0x07, least = 0x10000;
        bool valid = length > 0 && i + length <= n;
        for (int k = 1; valid && k < length; ++k) {
            valid = (p[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (p[i + k] & 0x3F);
        }
        // No overlong forms, no surrogates, nothing beyond U+10FFFF: as Qt's own check.
        valid = valid && c >= least && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        if (!valid) {
            out.append(QChar(char16_t(0xDC00 + b)));
            ++i;
        } else if (c > 0xFFFF) {
            out.append(QChar(QChar::highSurrogate(c)));
            out.append(QChar(QChar::lowSurrogate(c)));
            i += length;
        } else {
            out.append(QChar(char16_t(c)));
            i += length;
        }
    }
    return out;
}

int keptByte(QChar c)
{
    return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF ? c.unicode() - 0xDC00 : -1;
}

QByteArray nativeName(const QString &name)
{
    QByteArray out;
    out.reserve(name.size());
    qsizetype from = 0; // start of the text not yet encoded
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            ++i; // a pair is text
        } else if (keptByte(c) >= 0) {
            out.append(QStringView(name).mid(from, i - from).toUtf8());
            out.append(char(keptByte(c)));
            from = i + 1;
        }
    }
    out.append(QStringView(name).mid(from).toUtf8());
    return out;
}

QString nameAsText(const QString &name)
{
    return QString::fromUtf8(nativeName(name));
}

QString storedName(const QString &path)
{
    if (!path.contains(QChar::ReplacementCharacter))
        return path;
    const QStringList parts = path.split(QLatin1Char('/'));
    QString done;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString part = parts.at(i);
        if (part.contains(QChar::ReplacementCharacter)) {
            const QString folder = i == 0           ? QStringLiteral(".")
                                   : done.isEmpty() ? QStringLiteral("/")
                                                    : done;
            QString match;
            int matches = 0;
            if (DIR *d = opendir(nativePath(folder).constData())) {
                while (const dirent *entry = readdir(d)) {
                    const QString name = nameFromNative(QByteArray(entry->d_name));
                    if (nameAsText(name) == part) {
                        match = name;
                        ++matches;
                    }
                }
                closedir(d);
            }
            if (matches == 1)
                part = match;
        }
        done = i == 0 ? part : done + QLatin1Char('/') + part;
    }
    return done;
}

QString absoluteName(const QString &path)
{
    if (path.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(path);
    QByteArray here(PATH_MAX, '\0');
    if (!getcwd(here.data(), std::size_t(here.size())))
        return QDir::cleanPath(path);
    here.truncate(qsizetype(std::strlen(here.constData())));
    return QDir::cleanPath(nameFromNative(here) + QLatin1Char('/') + path);
}

QString resolvedPath(const QString &path)
{
    QString there = absoluteName(path);
    QString rest;
    for (;;) {
        char resolved[PATH_MAX];
        if (realpath(nativePath(there).constData(), resolved))
            return QDir::cleanPath(nameFromNative(QByteArray(resolved)) + rest);
        const qsizetype slash = there.lastIndexOf(QLatin1Char('/'));
        if (slash < 0 || there == QLatin1String("/"))
            return absoluteName(path);
        rest.prepend(there.mid(slash));
        there = slash == 0 ? QStringLiteral("/") : there.left(slash);
    }
}

OutputTarget outputTarget(const QString &name)
{
    OutputTarget t;
    t.path = name;
    const uid_t me = geteuid();
    for (int hops = 0;; ++hops) {
        struct stat st;
        const QByteArray native = nativePath(t.path);
        if (lstat(native.constData(), &st) != 0) {
            if (errno != ENOENT)
                t.result = fromErrno(errno);
            t.kind = FileKind::Missing;
            return t;
        }
        if (!S_ISLNK(st.st_mode)) {
            t.kind = kindOf(st.st_mode);
            if (t.kind != FileKind::Regular)
                t.problem = OutputTarget::Problem::NotRegular;
            return t;
        }
        if (st.st_uid != me) {
            t.problem = OutputTarget::Problem::ForeignLink;
            t.link = t.path;
            return t;
        }
        if (hops == 40) {
            t.problem = OutputTarget::Problem::LinkLoop;
            return t;
        }
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n = readlink(native.constData(), target.data(), std::size_t(target.size()));
        if (n < 0) {
            t.result = fromErrno(errno);
            return t;
        }
        target.truncate(n);
        const QString next = nameFromNative(target);
        const qsizetype slash = t.path.lastIndexOf(QLatin1Char('/'));
        t.path = next.startsWith(QLatin1Char('/')) ? next : t.path.left(slash + 1) + next;
    }
}

} // namespace Platform
