#include "oxloader/Loader.h"

#include <cstdlib>

#include "util/FileSystem.h"

namespace oxloader {

util::SmartPtr<Loader> Loader::GetLoader() {
  // Never destroyed: its thread may be completing events while the process exits.
  static util::SmartPtr<Loader>* loader = new util::SmartPtr<Loader>(new Loader());
  return *loader;
}

Loader::Loader() : m_thread([this] { Run(); }) {}

Loader::~Loader() {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_stop = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) {
    m_thread.join();
  }
}

void Loader::Post(std::function<void()> job) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_jobs.push_back(std::move(job));
  }
  m_wake.notify_one();
}

void Loader::Run() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_wake.wait(lock, [&] { return m_stop || !m_jobs.empty(); });
      if (m_stop && m_jobs.empty()) {
        return;
      }
      job = std::move(m_jobs.front());
      m_jobs.pop_front();
      m_busy = true;
    }
    try {
      job();
    } catch (...) {
      // A completion that throws must not take the loader down with it.
    }
    // What the job held (images, events) goes before the loader says it is idle, so that
    // a caller that waited for it sees them released.
    job = nullptr;
    {
      std::lock_guard<std::mutex> guard(m_mutex);
      m_busy = false;
      if (m_jobs.empty()) {
        m_idle.notify_all();
      }
    }
  }
}

void Loader::SetImageBudget(const util::SmartPtr<ImageBudget>& budget) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_imageBudget = budget;
}

util::SmartPtr<ImageBudget> Loader::GetImageBudget() {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_imageBudget;
}

bool Loader::WaitUntilIdle(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_idle.wait_for(lock, timeout, [&] { return m_jobs.empty() && !m_busy; });
}

void Loader::LoadShape(const util::SmartPtr<oxk::Shape>& shape, int32_t /*flags*/,
                       const util::SmartPtr<oxk::AsyncEvent>& event, const util::SmartPtr<oxk::Anchor>& /*anchor*/) {
  Post([shape, event] {
    int status = kNothingToLoad;
    if (shape) {
      status = shape->HasGeometry() ? kOk : ReadObj(oxk::Anchor::FilePathFromURL(shape->GetSourceURL().str()), *shape);
    }
    if (event) {
      event->Complete(status);
    }
  });
}

void Loader::LoadImage(const util::SmartPtr<oxk::Image>& image, int32_t /*flags*/,
                       const util::SmartPtr<oxk::AsyncEvent>& event) {
  LoadImage(image, event, util::Symbol());
}

void Loader::LoadImage(const util::SmartPtr<oxk::Image>& image, const util::SmartPtr<oxk::AsyncEvent>& event,
                       const util::Symbol& source) {
  // The budget of the document the image was asked for in, held by the job.
  Post([this, image, event, source, budget = GetImageBudget()] {
    int status = kNothingToLoad;
    if (image) {
      const util::Symbol url = source.empty() ? image->GetURL() : source;
      if (url.empty()) {
        status = kMissing;
      } else if (image->HasImageData() && image->GetDecodedURL() == url) {
        // Like shapes, an image whose data came from this url is not decoded again: the
        // data may have been turned since, and a reload keeps it as it is.
        status = kOk;
      } else {
        // A picture decoded already and still shown is shared, and not charged again.
        status = m_decodedImages.Load(oxk::Anchor::FilePathFromURL(url.str()), *image, budget.get());
        image->SetDecodedURL(status == kOk ? url : util::Symbol());
      }
    }
    if (event) {
      event->Complete(status);
    }
  });
}

}  // namespace oxloader
