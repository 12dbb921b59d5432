#include "oxk/illustration/Limner.h"

#include <atomic>

namespace oxk::illustration {
namespace {
std::atomic<bool> g_runningLimner{false};
}

bool IsRunningLimner() {
  return g_runningLimner.load();
}

void SetRunningLimner(bool running) {
  g_runningLimner.store(running);
}

}  // namespace oxk::illustration
