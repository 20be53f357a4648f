// The library's one outgoing message channel.
#include "qdb/notifier.h"

#include <mutex>
#include <utility>

namespace qdb {
namespace {

std::mutex g_mutex;
Notifier g_notifier;

}  // namespace

Notifier set_notifier(Notifier notifier) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::swap(g_notifier, notifier);
  return notifier;
}

void notify(const std::string& message) {
  Notifier current;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    current = g_notifier;
  }
  if (current) current(message);
}

}  // namespace qdb
