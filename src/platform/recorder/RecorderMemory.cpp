// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/recorder/RecorderMemory.h"

#include <cstdlib> // says which C library this is (__GLIBC__)

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tarn::RecorderMemory {

namespace {

// A block from this size on is mapped on its own: the encoder's pictures (a plane of a 1080p
// frame is 2 MB) and every larger buffer of a recording, while the few hundred kilobytes that
// other work (the editor's blur) takes and frees many times a second stay in the arenas.
constexpr int mappedBlock = 1 << 20;
// The free top an arena keeps at most, twice the mapped size as glibc itself would have it.
constexpr int arenaTopKept = 2 << 20;

} // namespace

// glibc raises the size from which it maps a block on its own to the largest mapped block
// freed so far (up to 32 MB), and the free top it keeps in an arena to twice that: after one
// recording has freed its encoder's pictures, the next recording's come from the arenas of the
// threads that allocate them, and each arena keeps tens of megabytes when they are freed.
// malloc_trim() does not reach those tops (it shortens only the main arena's). Both sizes are
// set here and stay so.
void beforeRecording()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, mappedBlock);
    mallopt(M_TRIM_THRESHOLD, arenaTopKept);
#endif
}

// What is left are freed blocks below the mapped size in the middle of the arenas (the
// threads' packets, conversion slices and sound pieces): their whole pages are handed back.
void afterRecording()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace tarn::RecorderMemory
