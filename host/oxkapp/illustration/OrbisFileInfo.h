// File information of an illustration document: hands out fresh structure identifiers.
#pragma once

#include <atomic>
#include <mutex>
#include <set>

#include "oxk/Object.h"
#include "util/Symbol.h"

namespace oxk {
class MultiRootContainer;
}

namespace oxkapp::illustration {

class OrbisFileInfo : public oxk::Object {
 public:
  // container: the document's container, whose structure the identifiers must be fresh
  // in (plain: the container owns this and clears it when it goes).
  explicit OrbisFileInfo(oxk::MultiRootContainer* container) : m_container(container) {}

  // "1", "2", ... in order, never repeated within a document, and never one that the
  // primary structure already uses at its top, plainly or as a content-symbol
  // identifier ("cs3" takes 3): documents restored from content bring their own.
  [[nodiscard]] util::Symbol GetNextStructureId();
  // Keeps the number of an identifier the document holds without a node in the structure
  // ("/cs3", "cs3" or "3" keep 3) from being handed out; other identifiers are no number.
  void ReserveStructureId(const util::Symbol& id);

  // Called by the container when it goes.
  void ForgetContainer();

 protected:
  ~OrbisFileInfo() override = default;

 private:
  std::mutex m_mutex;
  oxk::MultiRootContainer* m_container;
  int m_next = 1;
  std::set<int> m_reserved;
};

}  // namespace oxkapp::illustration
