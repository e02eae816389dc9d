// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/floating/PlayerDisposal.h"

#include <utility>

#include <QAudioOutput>
#include <QCoreApplication>
#include <QList>
#include <QMediaPlayer>
#include <QPointer>
#include <QThread>

namespace tarn::PlayerDisposal {
namespace {

// The threads started and not yet deleted; only the interface thread touches the list.
QList<QPointer<QThread>> &started()
{
    static QList<QPointer<QThread>> threads;
    return threads;
}

void waitForAll()
{
    for (const QPointer<QThread> &thread : std::exchange(started(), {}))
        if (thread) {
            thread->wait();
            delete thread.data();
        }
}

} // namespace

void dispose(QMediaPlayer *player, QAudioOutput *output)
{
    // The application object waits for them first thing as it goes, while all they use is there.
    [[maybe_unused]] static const bool waited = (qAddPostRoutine(waitForAll), true);
    // The objects belong to the thread that deletes them; the player lets go of its sound output
    // as it goes, so the output goes after it.
    player->setParent(nullptr);
    output->setParent(nullptr);
    QThread *thread = QThread::create([player, output] {
        delete player;
        delete output;
    });
    thread->setObjectName(QStringLiteral("PlayerDisposal"));
    player->moveToThread(thread);
    output->moveToThread(thread);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    started().removeAll(nullptr);
    started().append(thread);
    thread->start();
}

} // namespace tarn::PlayerDisposal
