#include "conc/OXTracer.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace conc {

void OXTracer::Trace(const char* format, ...) {
  static std::mutex mutex;
  std::lock_guard<std::mutex> guard(mutex);
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
}

}  // namespace conc
