#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What differs between the systems the tools run on, in one place: whether a window can be
// shown at all, whether a stream goes to a terminal, how serial ports are named and claimed,
// and how files are judged and written. One source file per
// system implements it (chosen in CMake), so no #ifdef spreads through the programs.
namespace Platform {

// --- Display, terminal, signals, ports

// Whether a window start can reach a display. On Linux there is none when no "-platform"
// argument is given, QT_QPA_PLATFORM is unset and neither DISPLAY nor WAYLAND_DISPLAY is set;
// asking Qt then would abort the program. Elsewhere there always is one.
bool displayAvailable(int argc, char **argv);

// Whether standard error goes to a terminal, where a progress bar can be drawn.
bool stderrIsTerminal();

// From catchStopSignals() until releaseStopSignals(), the requests to end the program (SIGINT,
// SIGTERM, SIGHUP; on Windows Ctrl-C and Ctrl-Break) no longer end it at once: the first one is
// noted, and stopSignal() names it, so that work that must not be cut off ends at a safe point.
// stopSignal() is 0 while none came; 128 + stopSignal() is the exit status a shell expects.
void catchStopSignals();
void releaseStopSignals();
int stopSignal();

// Whether serial ports are named "COM1", "COM2" ... (Windows) rather than by device files.
bool comPortNames();

// The command-line modes call this first: where a program with a window has no terminal of
// its own (Windows), its output then reaches the console it was started from.
void useParentConsole();

// The program's arguments as text, every character of a name kept (see nameFromNative).
QStringList commandLineArguments(int argc, char **argv);

// The Qt platform that draws pictures without showing a window ("offscreen" where Qt has it).
const char *picturePlatform();

// --- Serial devices and standard streams

// What came of claiming a serial device for this process alone. NoDescriptors: this process may
// open no further file.
enum class DeviceClaim { Held, NotFound, NotATerminal, NoPermission, Busy, NoDescriptors, Failed };

struct DeviceLock
{
    DeviceClaim claim = DeviceClaim::Failed;
    int handle = -1; // the descriptor that holds the lock; -1 where none is needed
};

// Opens the device at path (a resolved name) on a descriptor of its own and takes an exclusive
// advisory lock on it, without waiting. Every loader asks for it before it opens the port, so
// a second one finds the port Busy whatever name it used, root included; the system drops the
// lock when the process ends. A port that another program holds by the usual means is Busy as
// well: its exclusive mode, a record lock on the device, or a lock file in /var/lock or
// /run/lock whose process is alive. Only a lock file whose process is gone is removed. Nothing
// is changed on the line. Where ports are opened exclusively by the system itself (Windows),
// the port is only opened and closed again, to tell a busy or missing one; no lock is held.
DeviceLock lockDevice(const QString &path);
// Gives the lock up; harmless on a lock that is not held.
void releaseDevice(DeviceLock &lock);

// Whether the terminal open on handle has hung up (its device or the other side of a
// pseudo-terminal is gone). Where the system cannot tell, true: every read error ends the line.
bool lineHungUp(qintptr handle);

// Raises the soft limit of open descriptors to the hard limit, so that many ports can be asked
// at once. Where the system sets no such limit, nothing.
void raiseDescriptorLimit();
// How many more descriptors this process may open now; -1 where the system sets no limit.
int freeDescriptors();

// Standard input, output and error that are closed at start are opened on the null device, so
// that no file or port the program opens later takes their place. Output and error are opened
// read-only there: writing to them still fails, as it did on the closed descriptor.
void occupyClosedStandardStreams();

// A write to a pipe whose reader has gone fails instead of ending the program, so that work
// that must not be cut off (a transfer) runs to its end and the failure is told afterwards.
void failWritesToClosedPipes();

// --- Files: judging an input before it is read, and writing an output so that it is complete
// on disk before it replaces anything. Failures carry their cause, so a user can be told why.

enum class FileKind { Missing, DanglingLink, Regular, Folder, Fifo, Device, Socket, Other };

enum class FileError {
    None,
    NotFound,
    NoPermission,
    ReadOnlyFileSystem,
    DiskFull,
    FileTooLarge, // beyond the size the system allows this process or this file system
    NameTooLong,
    NotAFolder, // a part of the path is no folder
    IsAFolder,
    IoError,
    Other, // detail holds the system's text
};

struct FileResult
{
    FileError error = FileError::None;
    QString detail;
    bool ok() const { return error == FileError::None; }
};

// What is at path, links followed; size in bytes for a regular file.
struct FileStatus
{
    FileKind kind = FileKind::Missing;
    qint64 size = 0;
    FileResult result; // why the kind could not be told (no permission on a folder, ...);
                       // a path that does not exist is no failure: its kind is Missing
};
FileStatus fileStatus(const QString &path);

// Reads a regular file of at most maxBytes whole. Anything else (a folder, FIFO, device, a
// larger file) is refused from what it is, without reading and without waiting on it.
struct ReadResult
{
    FileStatus status;
    bool tooLarge = false;
    QByteArray data;
    bool ok() const { return status.kind == FileKind::Regular && status.result.ok() && !tooLarge; }
};
ReadResult readRegularFile(const QString &path, qint64 maxBytes);

// Writes content into a new file with a hidden, unused name in the folder of target, complete
// and flushed to disk, with the access rights of target where it exists; on success tempPath
// names it. On failure nothing is left behind.
FileResult writeTemporaryFile(const QString &target, const QByteArray &content, QString &tempPath);

// Gives the file at path a second, hidden name in its folder (a hard link where the file system
// allows it, else by moving it there), so that its content survives a replacement.
FileResult keepAside(const QString &path, QString &asidePath);

// Moves from over to in one step, replacing what is at to; both lie in one folder.
FileResult replaceFile(const QString &from, const QString &to);

// Removes a file; a missing file is no failure.
void removeFile(const QString &path);

// Makes the folder and every missing folder above it.
FileResult makeFolders(const QString &path);

// Whether new files can be made in the existing folder.
FileResult folderWritable(const QString &path);

// Whether the file system that holds the existing folder treats names that differ only in
// letter case as one name.
bool namesIgnoreCase(const QString &folder);

// The file in which Qt's native settings store keeps an application's settings under the user's
// configuration folder, so that it can be judged before it is read; empty where that store is
// no file (the registry on Windows).
QString settingsFile(const QString &organisation, const QString &application);

// --- Names as the system stores them. On Unix a name is bytes; those that are no UTF-8 (Latin-1
// names from old disks and shares) are kept as lone surrogates U+DC80 to U+DCFF, one per byte,
// so that a name goes from the command line to the system calls unchanged. Qt's own conversion
// would turn such a byte into U+FFFD. Elsewhere names are text and these change nothing.

// The name from the system's bytes, every byte that is no part of valid UTF-8 kept.
QString nameFromNative(const QByteArray &bytes);
// The system's bytes of a name, the kept bytes put back.
QByteArray nativeName(const QString &name);
// The name as text: the kept bytes as U+FFFD, as Qt decodes them.
QString nameAsText(const QString &name);
// The byte a character keeps (0x80 to 0xFF), or -1 for any other character.
int keptByte(QChar c);

// The name as the system stores it, for a name that came as text from Qt (a file dialog, a
// dropped file), which shows each byte that is no UTF-8 as U+FFFD: each part of the path that
// holds U+FFFD is matched against the names in its folder, and where exactly one matches, that
// name is taken with its bytes. Other names, and names without U+FFFD, come back unchanged.
QString storedName(const QString &path);

// The path made absolute against the current folder, without asking Qt (which would lose the
// kept bytes of the current folder's name), and cleaned of "." and "..".
QString absoluteName(const QString &path);

// The path with every link and "." or ".." resolved as far as it exists; the rest as written.
// Two names of one file give one resolved path.
QString resolvedPath(const QString &path);

// Where a file named name is written. A link at the name is followed, so that the file it points
// to gets the new content and the link stays, but only a link of the user running the program:
// a link someone else planted could send the content into any file this user may write.
struct OutputTarget
{
    enum class Problem { None, ForeignLink, LinkLoop, NotRegular };
    Problem problem = Problem::None;
    QString path;                      // the file that is replaced or made, links followed
    FileKind kind = FileKind::Missing; // what is there now: Missing, Regular, or what refuses it
    QString link;                      // the foreign link
    FileResult result;                 // why the name could not be judged
    bool ok() const { return problem == Problem::None && result.ok(); }
};
OutputTarget outputTarget(const QString &name);

} // namespace Platform
