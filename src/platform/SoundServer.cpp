#include "platform/SoundServer.h"

#include <pulse/context.h>
#include <pulse/mainloop.h>

#include <thread>

namespace vaporica {

bool soundServerAnswers(std::chrono::milliseconds bound) {
    using Clock = std::chrono::steady_clock;
    pa_mainloop *loop = pa_mainloop_new();
    if (loop == nullptr)
        return true;
    pa_context *context = pa_context_new(pa_mainloop_get_api(loop), "vaporica");
    bool answers = true;
    // No autospawn: the probe must not start a server that Qt would not start either.
    if (context != nullptr &&
        pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        const auto deadline = Clock::now() + bound;
        for (;;) {
            pa_mainloop_iterate(loop, 0, nullptr);
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state))
                break;
            if (Clock::now() >= deadline) {
                answers = false;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        pa_context_disconnect(context);
    }
    if (context != nullptr)
        pa_context_unref(context);
    pa_mainloop_free(loop);
    return answers;
}

} // namespace vaporica
