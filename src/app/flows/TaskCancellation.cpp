// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/flows/TaskCancellation.h"

#include <QTimer>

#include <qcoro/qcorosignal.h>

namespace tarn {
namespace {

// Rings once: when the time is up or the token is cancelled, whichever comes first.
class Alarm : public QObject {
    Q_OBJECT
Q_SIGNALS:
    void rang();
};

QCoro::Task<> wait(std::chrono::milliseconds duration, CancellationToken token)
{
    if (token.isCancelled())
        co_return;
    Alarm alarm;
    QTimer::singleShot(duration, &alarm, &Alarm::rang);
    QObject::connect(token.state(), &CancellationState::cancelRequested, &alarm, &Alarm::rang);
    co_await qCoro(&alarm, &Alarm::rang);
}

} // namespace

void CancellationToken::cancel() const
{
    if (state_->cancelled)
        return;
    state_->cancelled = true;
    Q_EMIT state_->cancelRequested();
}

void CancellationToken::check() const
{
    if (state_->cancelled)
        throw CancellationError();
}

QCoro::Task<> sleep(std::chrono::milliseconds duration, CancellationToken token)
{
    token.check();
    co_await wait(duration, token);
    token.check();
}

QCoro::Task<> sleepThroughCancel(std::chrono::milliseconds duration, CancellationToken token)
{
    co_await wait(duration, token);
}

} // namespace tarn

#include "TaskCancellation.moc"
