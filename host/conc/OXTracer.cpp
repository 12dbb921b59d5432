#include "conc/OXTracer.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

namespace conc {
namespace {

std::mutex& TraceMutex() {
  static std::mutex* mutex = new std::mutex();
  return *mutex;
}

OXTracer::Sink& CurrentSink() {
  static OXTracer::Sink* sink = new OXTracer::Sink();
  return *sink;
}

std::string Format(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length <= 0) {
    return std::string();
  }
  std::vector<char> text(static_cast<size_t>(length) + 1);
  std::vsnprintf(text.data(), text.size(), format, args);
  return std::string(text.data(), static_cast<size_t>(length));
}

void Emit(const OXTracer::Record& record, bool bare) {
  std::lock_guard<std::mutex> guard(TraceMutex());
  if (CurrentSink()) {
    CurrentSink()(record);
    return;
  }
  if (bare) {
    std::fputs(record.message.c_str(), stderr);
    return;
  }
  std::fprintf(stderr, "[%s/%s] type %d: %s", record.component.c_str(), record.subComponent.c_str(), record.type,
               record.message.c_str());
}

}  // namespace

OXTracer::OXTracer(const char* component, const char* subComponent)
    : m_component(component != nullptr ? component : ""), m_subComponent(subComponent != nullptr ? subComponent : "") {}

void OXTracer::Trace(int type, const char* format, ...) const {
  Record record{m_component, m_subComponent, type, {}};
  va_list args;
  va_start(args, format);
  record.message = Format(format, args);
  va_end(args);
  Emit(record, false);
}

void OXTracer::Trace(const char* format, ...) {
  Record record;
  va_list args;
  va_start(args, format);
  record.message = Format(format, args);
  va_end(args);
  Emit(record, true);
}

OXTracer::Sink OXTracer::SetSink(Sink sink) {
  std::lock_guard<std::mutex> guard(TraceMutex());
  Sink previous = std::move(CurrentSink());
  CurrentSink() = std::move(sink);
  return previous;
}

}  // namespace conc
