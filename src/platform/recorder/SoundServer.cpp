// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/recorder/SoundServer.h"

#include <pulse/pulseaudio.h>

namespace tarn::SoundServer {
namespace {

struct Query {
    pa_mainloop *loop = nullptr;
    std::optional<uint32_t> cookie;
};

void onServerInfo(pa_context *, const pa_server_info *info, void *user)
{
    auto *query = static_cast<Query *>(user);
    if (info)
        query->cookie = info->cookie;
    pa_mainloop_quit(query->loop, 0);
}

void onContextState(pa_context *context, void *user)
{
    auto *query = static_cast<Query *>(user);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) {
        pa_operation *asked = pa_context_get_server_info(context, &onServerInfo, query);
        if (!asked)
            pa_mainloop_quit(query->loop, 0);
        else
            pa_operation_unref(asked);
    } else if (!PA_CONTEXT_IS_GOOD(state)) {
        pa_mainloop_quit(query->loop, 0);
    }
}

void onPatienceOver(pa_mainloop_api *, pa_time_event *, const struct timeval *, void *user)
{
    pa_mainloop_quit(static_cast<Query *>(user)->loop, 0);
}

} // namespace

std::optional<uint32_t> identity(std::chrono::milliseconds patience)
{
    // A loop of our own run on this thread: no thread to start, and nothing left behind that
    // waits on a server that does not answer.
    Query query;
    query.loop = pa_mainloop_new();
    pa_context *context = pa_context_new(pa_mainloop_get_api(query.loop), "Tarnwick");
    pa_context_set_state_callback(context, &onContextState, &query);
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) == 0) {
        const auto wait = std::chrono::duration_cast<std::chrono::microseconds>(patience).count();
        pa_time_event *limit =
            pa_context_rttime_new(context, pa_rtclock_now() + pa_usec_t(wait), &onPatienceOver, &query);
        if (limit) {
            pa_mainloop_run(query.loop, nullptr);
            pa_mainloop_get_api(query.loop)->time_free(limit);
        }
    }
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
    pa_mainloop_free(query.loop);
    return query.cookie;
}

} // namespace tarn::SoundServer
