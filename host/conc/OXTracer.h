// printf-style diagnostic trace to standard error, one call at a time across threads.
#pragma once

namespace conc {

class OXTracer {
 public:
  static void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
};

}  // namespace conc
