// SPDX-License-Identifier: GPL-3.0-or-later
#include "processsignals.h"

#include "logging.h"
#include "timer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace Vantrell {

namespace {

// The handler may only write a byte; the notifier reads it on the main thread.
// Both ends never block: a burst of signals the loop has not read yet loses
// bytes rather than stopping the process inside the handler.
int g_pipe[2] = {-1, -1};

extern "C" void forwardSignal(int number)
{
    const int savedErrno = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = savedErrno;
}

constexpr std::array kQuitSignals {SIGTERM, SIGINT, SIGHUP};

// A field of /proc/self/status such as "VmRSS:	 41236 kB".
qint64 statusField(const QByteArray &status, const QByteArray &name)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(QByteArray(name + ':')))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace

ProcessSignals::ProcessSignals(QObject *parent)
    : QObject(parent)
{ }

ProcessSignals::~ProcessSignals()
{
    if (!m_notifier)
        return;
    for (const int number : kQuitSignals)
        std::signal(number, SIG_DFL);
    std::signal(SIGUSR1, SIG_DFL);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool ProcessSignals::install()
{
    if (m_notifier)
        return true;
    if (g_pipe[0] != -1) {
        qCWarning(lcApp, "Signal handlers are installed already");
        return false;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        qCWarning(lcApp, "No signal handlers: socketpair failed: %s", std::strerror(errno));
        return false;
    }
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ProcessSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kQuitSignals)
        ::sigaction(number, &action, nullptr);
    ::sigaction(SIGUSR1, &action, nullptr);
    return true;
}

void ProcessSignals::readSignal()
{
    char byte = 0;
    if (::read(g_pipe[1], &byte, 1) != 1)
        return;
    const int number = byte;
    if (number == SIGUSR1) {
        Q_EMIT reportRequested();
        return;
    }
    qCInfo(lcApp, "Quitting on signal %d", number);
    QCoreApplication::quit();
}

ResourceUsage currentResourceUsage()
{
    ResourceUsage usage;
    usage.openFiles
        = int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
    // The listing itself holds one descriptor open while it reads.
    if (usage.openFiles > 0)
        --usage.openFiles;
    usage.activeTimers = QtTimerFactory::activeTimerCount();
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        const QByteArray text = status.readAll();
        usage.threads = int(statusField(text, "Threads"));
        usage.residentKiB = statusField(text, "VmRSS");
    }
    return usage;
}

QString describeResourceUsage(const ResourceUsage &usage)
{
    return QStringLiteral("Resources: %1 open files, %2 active timers, %3 threads, %4 KiB resident")
        .arg(usage.openFiles)
        .arg(usage.activeTimers)
        .arg(usage.threads)
        .arg(usage.residentKiB);
}

} // namespace Vantrell
