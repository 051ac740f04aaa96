// zor2devsim: a device of the ZOR family on a pseudo-terminal, for trying the firmware loader
// without a device and for its tests. It answers the identification command and takes a new
// firmware block by block as the device's flash-writing mode does; options add faults.
//
// The first line on stdout is the path of the terminal to open. The simulator ends on SIGTERM,
// SIGINT or SIGHUP, when the process that started it is gone, after --max-seconds, and with
// --exit-after-flash once a whole transfer went through.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <getopt.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t stopRequested = 0;

void onSignal(int)
{
    stopRequested = 1;
}

struct Options
{
    std::string family = "Z2";
    int fwVersion = 105;
    int variant = 2;
    std::string linkPath;
    std::string saveImage;
    int kDelayMs = 0;
    long stopAfter = -1;
    long hangupAfter = -1;
    long garbageAt = -1;
    long doubleKAt = -1;
    int chatterMs = -1;
    bool exitAfterFlash = false;
    bool silent = false;
    bool reportInput = false;
    double maxSeconds = 0;
};

void usage(FILE *out)
{
    std::fprintf(
        out, "usage: zor2devsim [--family XX] [--fw-version N] [--variant N] [--link PATH]\n"
             "                  [--save-image FILE] [--k-delay MS] [--stop-after N]\n"
             "                  [--hangup-after N] [--garbage-at N] [--double-k-at N]\n"
             "                  [--chatter MS] [--exit-after-flash] [--silent]\n"
             "                  [--report-input] [--max-seconds S]\n"
             "       zor2devsim --help | --version\n"
             "Plays a device of the ZOR family on a pseudo-terminal and prints its path as the\n"
             "first line. Blocks N count from 0: --stop-after N sends no request after N\n"
             "blocks, --hangup-after N closes the line, --garbage-at N sends a stray byte\n"
             "before the request for block N, --double-k-at N asks for blocks N and N+1 at\n"
             "once. --chatter MS sends a stray byte every MS ms (0: without pause)\n"
             "instead of the requests that --stop-after withholds (from block 0 without\n"
             "it). --link PATH makes PATH a symbolic link to the terminal; an existing\n"
             "PATH other than such a link is refused. --save-image writes the received\n"
             "firmware after the end mark. --silent plays a port where nothing answers.\n"
             "--report-input prints \"input N\" with the bytes received so far after each\n"
             "read, so that a test can count what reached the device.\n");
}

bool parseNumber(const char *text, long low, long high, long *value)
{
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high)
        return false;
    *value = v;
    return true;
}

bool takeInt(const char *text, long high, int *target)
{
    long value = 0;
    if (!parseNumber(text, 0, high, &value))
        return false;
    *target = int(value);
    return true;
}

// A block number for the fault options.
bool takeBlock(const char *text, long *target)
{
    return parseNumber(text, 0, 1L << 30, target);
}

// One long option: its name, whether it takes a value, and how it is taken (false: refused).
struct OptionRule
{
    const char *name;
    bool takesValue;
    bool (*take)(Options &options, const char *value);
};

const OptionRule optionRules[] = {
    {"family", true,
     [](Options &o, const char *v) { return std::strlen(v) == 2 && (o.family = v, true); }},
    {"fw-version", true, [](Options &o, const char *v) { return takeInt(v, 999, &o.fwVersion); }},
    {"variant", true, [](Options &o, const char *v) { return takeInt(v, 999, &o.variant); }},
    {"link", true, [](Options &o, const char *v) { return o.linkPath = v, true; }},
    {"save-image", true, [](Options &o, const char *v) { return o.saveImage = v, true; }},
    {"k-delay", true, [](Options &o, const char *v) { return takeInt(v, 600000, &o.kDelayMs); }},
    {"stop-after", true, [](Options &o, const char *v) { return takeBlock(v, &o.stopAfter); }},
    {"hangup-after", true, [](Options &o, const char *v) { return takeBlock(v, &o.hangupAfter); }},
    {"garbage-at", true, [](Options &o, const char *v) { return takeBlock(v, &o.garbageAt); }},
    {"double-k-at", true, [](Options &o, const char *v) { return takeBlock(v, &o.doubleKAt); }},
    {"chatter", true, [](Options &o, const char *v) { return takeInt(v, 600000, &o.chatterMs); }},
    {"exit-after-flash", false, [](Options &o, const char *) { return o.exitAfterFlash = true; }},
    {"silent", false, [](Options &o, const char *) { return o.silent = true; }},
    {"report-input", false, [](Options &o, const char *) { return o.reportInput = true; }},
    {"max-seconds", true,
     [](Options &o, const char *v) {
         char *end = nullptr;
         o.maxSeconds = std::strtod(v, &end);
         return end != v && *end == '\0' && o.maxSeconds > 0;
     }},
};

// 0: run, 1: usage error, 2: help asked for, 3: version asked for.
int parseOptions(int argc, char **argv, Options *options)
{
    constexpr int firstRule = 1000;
    constexpr int help = firstRule - 1;
    constexpr int version = firstRule - 2;
    std::vector<option> longOptions;
    for (size_t i = 0; i < std::size(optionRules); ++i)
        longOptions.push_back({optionRules[i].name,
                               optionRules[i].takesValue ? required_argument : no_argument, nullptr,
                               firstRule + int(i)});
    longOptions.push_back({"help", no_argument, nullptr, help});
    longOptions.push_back({"version", no_argument, nullptr, version});
    longOptions.push_back({nullptr, 0, nullptr, 0});
    int c;
    while ((c = getopt_long(argc, argv, "", longOptions.data(), nullptr)) != -1) {
        if (c == help)
            return 2;
        if (c == version)
            return 3;
        if (c < firstRule || !optionRules[c - firstRule].take(*options, optarg))
            return 1;
    }
    // A chattering device chatters instead of asking: from the first block, unless told later.
    if (options->chatterMs >= 0 && options->stopAfter < 0)
        options->stopAfter = 0;
    return optind == argc ? 0 : 1;
}

double now()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

void sleepMs(int ms)
{
    timespec ts{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR && !stopRequested) {
    }
}

bool writeAll(int fd, const char *data, size_t length)
{
    while (length > 0) {
        const ssize_t n = write(fd, data, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, 100);
            continue;
        }
        if (n <= 0)
            return false;
        data += n;
        length -= size_t(n);
    }
    return true;
}

// Writes to a temporary file first so that a reader never sees half an image.
bool saveImage(const std::string &path, const std::vector<int> &cells)
{
    const std::string temporary = path + ".part";
    FILE *file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    std::vector<unsigned char> bytes(cells.begin(), cells.end());
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

// The target of a symbolic link; empty when path is none.
std::string linkTarget(const std::string &path)
{
    char target[4096];
    const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, size_t(n)) : std::string();
}

// --link replaces nothing but a link that a simulator made: one to a pseudo-terminal.
bool mayReplaceLink(const std::string &path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return errno == ENOENT;
    return S_ISLNK(info.st_mode) && linkTarget(path).rfind("/dev/pts/", 0) == 0;
}

class Device
{
public:
    Device(const Options &options, int master)
        : options(options)
        , master(master)
    {
    }

    // false: the line was closed on purpose or is gone.
    bool take(const char *data, size_t length)
    {
        for (size_t i = 0; i < length; ++i) {
            if (!takeByte(static_cast<unsigned char>(data[i])))
                return false;
        }
        return true;
    }

    bool hungUp() const { return hangup; }
    // Sends stray bytes instead of the requests it withholds.
    bool chattering() const { return withholding && options.chatterMs >= 0; }
    bool flashDone() const { return transfersDone > 0; }

private:
    bool takeByte(unsigned char byte)
    {
        if (options.silent)
            return true;
        if (flashing)
            return takeFlashByte(byte);
        if (byte == '@')
            command.clear();
        command.push_back(char(byte));
        if (command.size() > 64)
            command.clear();
        if (byte != ';')
            return true;
        const std::string done = command;
        command.clear();
        if (done == "@v;")
            return identify();
        if (done == "@g*****;")
            return startFlash();
        return true;
    }

    bool identify()
    {
        char reply[16];
        std::snprintf(reply, sizeof reply, "#v%2.2s%03d%03d;", options.family.c_str(),
                      options.fwVersion % 1000, options.variant % 1000);
        return writeAll(master, reply, 11);
    }

    bool startFlash()
    {
        flashing = true;
        withholding = false;
        blocks = 0;
        pendingK = 0;
        frame.clear();
        cells.assign(0, 255);
        return requestBlock();
    }

    // Asks for block number `blocks`, with the faults that were ordered for it.
    bool requestBlock()
    {
        const long n = blocks;
        if (options.hangupAfter >= 0 && n >= options.hangupAfter) {
            hangup = true;
            return false;
        }
        if (options.stopAfter >= 0 && n >= options.stopAfter) {
            withholding = true;
            return true;
        }
        if (options.kDelayMs > 0)
            sleepMs(options.kDelayMs);
        std::string request;
        if (n == options.garbageAt)
            request += 'x';
        request += n == options.doubleKAt ? "kk" : "k";
        pendingK = request.size() - (n == options.garbageAt ? 1 : 0);
        return writeAll(master, request.data(), request.size());
    }

    bool takeFlashByte(unsigned char byte)
    {
        frame.push_back(byte);
        if (frame.size() == 2 && frame[0] == 0xFF && frame[1] == 0xFF)
            return endFlash();
        if (frame.size() < 66)
            return true;
        const size_t address = size_t(frame[0]) | size_t(frame[1]) << 8;
        if (cells.size() < address + 64)
            cells.resize(address + 64, 255);
        for (size_t i = 0; i < 64; ++i)
            cells[address + i] = frame[2 + i];
        frame.clear();
        ++blocks;
        if (pendingK > 0)
            --pendingK;
        return pendingK > 0 ? true : requestBlock();
    }

    bool endFlash()
    {
        flashing = false;
        frame.clear();
        ++transfersDone;
        std::printf("flash written: %ld blocks, %zu bytes\n", blocks, cells.size());
        std::fflush(stdout);
        if (!options.saveImage.empty() && !saveImage(options.saveImage, cells))
            std::fprintf(stderr, "zor2devsim: cannot write %s\n", options.saveImage.c_str());
        return true;
    }

    const Options &options;
    int master;
    std::string command;
    bool flashing = false;
    bool hangup = false;
    bool withholding = false;
    long blocks = 0;
    size_t pendingK = 0;
    std::vector<unsigned char> frame;
    std::vector<int> cells;
    int transfersDone = 0;
};

// Ends us with the process that started us (a test that crashed, for instance) and on the
// usual requests to stop. False when that process is already gone.
bool followParent(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return getppid() == parent;
}

// A raw 57600-baud pseudo-terminal. We hold its slave side open, so the line stays usable
// while the loader closes and reopens it.
bool openLine(int *master, int *slave, std::string *slavePath)
{
    *master = posix_openpt(O_RDWR | O_NOCTTY);
    if (*master < 0 || grantpt(*master) != 0 || unlockpt(*master) != 0) {
        std::perror("zor2devsim: pseudo-terminal");
        return false;
    }
    const char *slaveName = ptsname(*master);
    if (!slaveName) {
        std::perror("zor2devsim: ptsname");
        return false;
    }
    *slavePath = slaveName;
    *slave = open(slaveName, O_RDWR | O_NOCTTY);
    if (*slave < 0) {
        std::perror("zor2devsim: open");
        return false;
    }
    termios raw;
    if (tcgetattr(*slave, &raw) == 0) {
        cfmakeraw(&raw);
        cfsetispeed(&raw, B57600);
        cfsetospeed(&raw, B57600);
        tcsetattr(*slave, TCSANOW, &raw);
    }
    fcntl(*master, F_SETFL, fcntl(*master, F_GETFL) | O_NONBLOCK);
    return true;
}

// --link PATH: 0 done (or not asked for), otherwise the exit status.
int makeLink(const std::string &linkPath, const std::string &slavePath)
{
    if (linkPath.empty())
        return 0;
    if (!mayReplaceLink(linkPath)) {
        std::fprintf(stderr,
                     "zor2devsim: --link %s: exists and is no link to a pseudo-terminal; "
                     "left alone\n",
                     linkPath.c_str());
        return 2;
    }
    unlink(linkPath.c_str());
    if (symlink(slavePath.c_str(), linkPath.c_str()) != 0) {
        std::perror("zor2devsim: --link");
        return 1;
    }
    return 0;
}

// Plays the device on the line until it is told to stop; the exit status.
int serve(const Options &options, int master, pid_t parent)
{
    Device device(options, master);
    const double deadline = options.maxSeconds > 0 ? now() + options.maxSeconds : 0;
    double nextChatter = 0;
    long received = 0;
    char buffer[4096];
    while (!stopRequested && getppid() == parent && (deadline == 0 || now() < deadline)) {
        int waitMs = 100;
        if (device.chattering()) {
            const double t = now();
            if (t >= nextChatter) {
                if (!writeAll(master, "x", 1))
                    break;
                nextChatter = t + options.chatterMs / 1000.0;
            }
            waitMs = int(std::min(100.0, std::max(0.0, (nextChatter - t) * 1000.0)));
        }
        pollfd p{master, POLLIN, 0};
        const int ready = poll(&p, 1, waitMs);
        if (ready < 0 && errno != EINTR)
            return 1;
        if (ready <= 0)
            continue;
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0)
            return 1; // cannot happen while we hold the slave open; leave rather than spin
        if (options.reportInput) {
            received += long(n);
            std::printf("input %ld\n", received);
            std::fflush(stdout);
        }
        if (!device.take(buffer, size_t(n)) || (options.exitAfterFlash && device.flashDone()))
            break;
    }
    if (device.hungUp())
        std::printf("line hung up\n");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    switch (parseOptions(argc, argv, &options)) {
    case 0:
        break;
    case 2:
        usage(stdout);
        return 0;
    case 3:
        std::printf("zor2devsim %s\n", ZOR2_VERSION);
        return 0;
    default:
        usage(stderr);
        return 2;
    }

    const pid_t parent = getppid();
    if (!followParent(parent))
        return 0;
    int master = -1;
    int slave = -1;
    std::string slavePath;
    if (!openLine(&master, &slave, &slavePath))
        return 1;
    if (const int status = makeLink(options.linkPath, slavePath))
        return status;
    std::printf("%s\n", slavePath.c_str());
    std::fflush(stdout);

    const int status = serve(options, master, parent);
    std::fflush(stdout);
    close(slave);
    close(master);
    // Someone may have put something else there meanwhile: only our own link goes.
    if (!options.linkPath.empty() && linkTarget(options.linkPath) == slavePath)
        unlink(options.linkPath.c_str());
    return status;
}
