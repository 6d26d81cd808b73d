#include "platform/services/FrameHost.h"

namespace {
IFrameHost* g_frame = nullptr;
}

IFrameHost* CurrentFrame() noexcept { return g_frame; }
void SetCurrentFrame(IFrameHost* frame) noexcept { g_frame = frame; }
