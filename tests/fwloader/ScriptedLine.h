#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

// A terminal whose other side the test plays itself, for replies the simulator never gives and
// for looking at every byte the loader sends.
class ScriptedLine
{
public:
    ScriptedLine()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            return;
        slavePath = QString::fromLocal8Bit(ptsname(master));
        // Raw from the start, so that nothing is echoed or held back for a line end.
        // Closed on exec: they would count against the descriptor limit of a program started.
        slave = ::open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        fcntl(master, F_SETFD, FD_CLOEXEC);
        termios raw;
        if (slave >= 0 && tcgetattr(slave, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(slave, TCSANOW, &raw);
        }
    }
    ScriptedLine(const ScriptedLine &) = delete;
    ScriptedLine &operator=(const ScriptedLine &) = delete;
    ~ScriptedLine()
    {
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
    }
    bool send(const QByteArray &bytes)
    {
        return ::write(master, bytes.data(), size_t(bytes.size())) == bytes.size();
    }

    // What the loader wrote, up to count bytes within two seconds.
    QByteArray receive(int count)
    {
        QByteArray bytes;
        QDeadlineTimer deadline(2000);
        while (bytes.size() < count && !deadline.hasExpired()) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0)
                continue;
            char buffer[64];
            const ssize_t n =
                ::read(master, buffer, qMin(int(sizeof buffer), count - int(bytes.size())));
            if (n > 0)
                bytes.append(buffer, int(n));
        }
        return bytes;
    }

    int master = -1;
    int slave = -1;
    QString slavePath;
};
