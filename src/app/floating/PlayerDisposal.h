// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAudioOutput;
class QMediaPlayer;

namespace tarn::PlayerDisposal {

// Ends a media player and its sound output, both taken over, on a thread of their own, so that
// whoever hands them over never waits on the sound system. Ending a player joins the thread that
// plays its sound, and once the sound server has gone away Qt 6.4's PulseAudio sink can make
// that thread wait forever: a write that fails returns without giving back the server's main
// loop lock, and the sink's end then stops that main loop, whose thread waits for the lock. The
// player must already be stopped and without its picture output, and no one may use it again.
void dispose(QMediaPlayer *player, QAudioOutput *output);

// Waits until every player handed over has ended. For the end of the process only, with its exit
// guard armed: a player that the sound system holds forever is ended with the process.
void waitForAll();

} // namespace tarn::PlayerDisposal
