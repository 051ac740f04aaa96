#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

// What the fuzz targets share: the input as a file in memory, for readers that take a path, and
// the check of an invariant, which stops the run so that the fuzzer saves the input.

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// One file in memory per process (memfd_create), rewritten for every input: no disk file is
// created per run, and a reader opens it by its path like any regular file.
class MemoryFile
{
public:
    MemoryFile()
        : fd(memfd_create("zor2-fuzz-input", 0))
    {
        if (fd < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    }

    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;

    // Replaces the content with the input; returns the path to open it by.
    const QString &write(const std::uint8_t *data, std::size_t size)
    {
        std::size_t done = 0;
        bool ok = ftruncate(fd, 0) == 0;
        while (ok && done < size) {
            const ssize_t n = pwrite(fd, data + done, size - done, off_t(done));
            ok = n > 0;
            done += ok ? std::size_t(n) : 0;
        }
        if (!ok) {
            std::perror("memory file");
            std::abort();
        }
        return path;
    }

private:
    int fd;
    QString path;
};

// An invariant of the code under test: when it does not hold, the run ends with the reason.
inline void invariant(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}
