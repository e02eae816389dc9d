// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/TerminationSignals.h"

#include <array>
#include <cerrno>

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace tarn {

namespace {

// Closing the terminal (SIGHUP) asks to end the process as SIGTERM and Ctrl+C do: a running
// recording must be stopped and saved, not cut off. A SIGHUP ignored from the start (`nohup`)
// stays ignored: the user asked for the process to outlive its terminal.
constexpr std::array handled{SIGTERM, SIGINT, SIGHUP};

int pipeEnds[2] = {-1, -1};
struct sigaction previous[handled.size()];

void onSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (pipeEnds[0] >= 0 || ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    struct sigaction action { };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < handled.size(); ++i) {
        ::sigaction(handled[i], nullptr, &previous[i]);
        if (handled[i] != SIGHUP || previous[i].sa_handler != SIG_IGN)
            ::sigaction(handled[i], &action, nullptr);
    }
    installed_ = true;
}

TerminationSignals::~TerminationSignals()
{
    if (!installed_)
        return;
    for (size_t i = 0; i < handled.size(); ++i)
        ::sigaction(handled[i], &previous[i], nullptr);
    notifier_.reset();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(pipeEnds[0], &byte, 1) == 1)
        Q_EMIT received(int(byte));
}

} // namespace tarn
