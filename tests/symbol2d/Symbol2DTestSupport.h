// Set-up shared by the 2D symbol tests: a host world, scenes that are closed at the end,
// events and observers that record what happened, and a trace sink.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "conc/MutexGuard.h"
#include "conc/OXTracer.h"
#include "oxannotations/UniversalMeasurementObserver.h"
#include "oxk/AsyncEvent.h"
#include "oxk/Preferences.h"
#include "oxk/Scene.h"
#include "oxk/World.h"
#include "oxloader/Loader.h"
#include "symbol2d/Symbol2D.h"
#include "util/SmartPtr.h"

namespace symbol2dtest {

using namespace std::chrono_literals;

// A world of its own for the test, gone afterwards.
class ScopedWorld {
 public:
  explicit ScopedWorld(bool withPreferences = true) : world(new oxk::World()) {
    if (withPreferences) {
      preferences = util::SmartPtr<oxk::Preferences>(new oxk::Preferences());
      world->SetPreferences(preferences);
    }
    oxk::World::SetWorld(world);
  }
  ScopedWorld(const ScopedWorld&) = delete;
  ScopedWorld& operator=(const ScopedWorld&) = delete;
  ~ScopedWorld() { oxk::World::SetWorld({}); }

  util::SmartPtr<oxk::World> world;
  util::SmartPtr<oxk::Preferences> preferences;
};

// Closes the scene at the end: its annotations detach and it lets go of them.
template <class SceneType>
class ScopedScene {
 public:
  template <class... Args>
  explicit ScopedScene(Args&&... args) : scene(new SceneType(std::forward<Args>(args)...)) {}
  ScopedScene(const ScopedScene&) = delete;
  ScopedScene& operator=(const ScopedScene&) = delete;
  ~ScopedScene() {
    (void)oxloader::Loader::GetLoader()->WaitUntilIdle(10s);
    scene->DetachAll();
  }
  SceneType* operator->() const { return scene.get(); }
  [[nodiscard]] util::SmartPtr<oxk::Scene> Get() const { return util::SmartPtr<oxk::Scene>(scene.get()); }

  util::SmartPtr<SceneType> scene;
};

// Counts its completions and notes the thread and whether the symbol held its image.
class RecordingEvent : public oxk::AsyncEvent {
 public:
  explicit RecordingEvent(const oxannotations::Symbol2D* watched = nullptr) : m_watched(watched) {}
  std::atomic<int> completions{0};
  std::thread::id thread;
  bool imageWasShown = false;

 protected:
  void OnComplete(int /*status*/) override {
    ++completions;
    thread = std::this_thread::get_id();
    imageWasShown = m_watched != nullptr && m_watched->GetMarkup() && m_watched->GetMarkup()->GetImage();
  }

 private:
  const oxannotations::Symbol2D* m_watched;
};

class RecordingObserver : public oxannotations::UniversalMeasurementObserver {
 public:
  void OnMeasurementDisplayed(util::RefCounted* subject, bool displayed) override {
    std::lock_guard<std::mutex> guard(m_mutex);
    subjects.push_back(subject);
    shown.push_back(displayed);
  }
  [[nodiscard]] size_t Count() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return shown.size();
  }
  std::vector<util::RefCounted*> subjects;
  std::vector<bool> shown;

 private:
  mutable std::mutex m_mutex;
};

// Collects traces for the test, then puts the previous sink back.
class TraceCapture {
 public:
  TraceCapture() {
    m_previous = conc::OXTracer::SetSink([this](const conc::OXTracer::Record& record) { records.push_back(record); });
  }
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;
  ~TraceCapture() { conc::OXTracer::SetSink(std::move(m_previous)); }
  std::vector<conc::OXTracer::Record> records;

 private:
  conc::OXTracer::Sink m_previous;
};

// A symbol whose temporary folder a test can set (no operation of the symbol does).
class TestSymbol : public oxannotations::Symbol2D {
 public:
  TestSymbol() = default;
  explicit TestSymbol(const oxannotations::Symbol2DInfo& record) : Symbol2D(record) {}
  void SetTempDir(const std::string& folder) {
    conc::MutexGuard guard(stateMutex);
    tempDir = folder;
  }
};

inline bool WaitForLoader() {
  return oxloader::Loader::GetLoader()->WaitUntilIdle(10s);
}

}  // namespace symbol2dtest
