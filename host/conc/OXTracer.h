// Diagnostic traces. A tracer is made over the texts of the component that traces (a
// component and a sub-component); each trace has a type and a printf-style message.
//
// Traces go to standard error, one at a time across threads, as
// "[component/sub-component] type N: message". A host (or a test) can route them
// elsewhere with SetSink; the sink is called under the tracer's lock, so it needs no
// lock of its own.
#pragma once

#include <functional>
#include <string>

namespace conc {

class OXTracer {
 public:
  // Frozen: trace types as hosts filter them.
  enum TraceType { kError = 0, kWarning = 1, kInfo = 2, kDebug = 3 };

  struct Record {
    std::string component;
    std::string subComponent;
    int type = kInfo;
    std::string message;
  };
  using Sink = std::function<void(const Record&)>;

  OXTracer(const char* component, const char* subComponent);

  void Trace(int type, const char* format, ...) const __attribute__((format(printf, 3, 4)));

  // A bare message without component or type.
  static void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

  // Routes every trace to sink (empty: back to standard error); returns the sink that was
  // in place, so that a caller can put it back.
  static Sink SetSink(Sink sink);

 private:
  std::string m_component;
  std::string m_subComponent;
};

}  // namespace conc
