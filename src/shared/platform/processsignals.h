// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace Vantrell {

// Turns the signals a session sends a desktop program into calls on the main
// thread: SIGTERM, SIGINT and SIGHUP end the event loop the normal way (so
// that destructors run and pending writes finish, as on "Quit"), and SIGUSR1
// asks for a line in the log with the process's resource use. One per process.
class ProcessSignals final : public QObject
{
    Q_OBJECT

public:
    explicit ProcessSignals(QObject *parent = nullptr);
    ~ProcessSignals() override;

    // Installs the handlers; false, with a logged reason, when it cannot.
    bool install();

Q_SIGNALS:
    void reportRequested();

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};

// What the process holds right now, read from /proc/self and the timer seam.
struct ResourceUsage
{
    int openFiles = -1;
    int activeTimers = -1;
    int threads = -1;
    qint64 residentKiB = -1;
};

ResourceUsage currentResourceUsage();
// "Resources: 23 open files, 12 active timers, 6 threads, 41236 KiB resident"
QString describeResourceUsage(const ResourceUsage &usage);

} // namespace Vantrell
