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
// The application object waits for every player handed over as it goes, before it tears anything
// down; one that the sound system holds forever is ended with the process by its exit guard.
void dispose(QMediaPlayer *player, QAudioOutput *output);

} // namespace tarn::PlayerDisposal
