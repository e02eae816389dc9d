// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QObject>

class QSocketNotifier;

namespace tarn {

// Turns SIGTERM, SIGINT and SIGHUP (unless ignored from the start) into `received` on the GUI
// thread. The handler only writes the signal number into a pipe (the one thing a signal handler
// may safely do); a socket notifier on the other end reads it in the event loop. One instance at
// a time; the previous handlers come back when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    bool isInstalled() const { return installed_; }

Q_SIGNALS:
    void received(int signal);

private:
    void readPipe();

    std::unique_ptr<QSocketNotifier> notifier_;
    bool installed_ = false;
};

} // namespace tarn
