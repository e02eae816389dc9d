// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The recorder and the C library's allocator (glibc): what a recording allocates goes back to
// the system once it is over, in a tray application that lives for days and records many times.
namespace tarn::RecorderMemory {

// As a recording starts: from here on, blocks of a megabyte and more are mapped on their own
// and unmapped when freed, and an arena gives back its free top beyond two megabytes. The
// setting is the whole process's, and it stays.
void beforeRecording();

// Once every thread of a recording has ended and its buffers are freed: the free memory kept
// in the arenas goes back to the system. Takes some milliseconds; not for the GUI thread.
void afterRecording();

} // namespace tarn::RecorderMemory
