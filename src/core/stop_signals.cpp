// Ctrl+C and SIGTERM as a stop request. std::signal is the same on every host, so this one
// file serves both platforms.
#include <atomic>
#include <csignal>

#include "core/platform_fs.h"

namespace core::platform {

namespace {
// Set from a signal handler: only a lock-free atomic may be touched there.
std::atomic<bool> g_stop_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
void on_stop_signal(int) { g_stop_requested.store(true); }
}  // namespace

const std::atomic<bool>& catch_stop_signals() {
  std::signal(SIGINT, on_stop_signal);
  std::signal(SIGTERM, on_stop_signal);
  return g_stop_requested;
}

}  // namespace core::platform
