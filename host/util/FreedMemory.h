// Hands the memory the process has freed back to the system. A process that once held a
// large document (a library file, a document's content) would otherwise keep the pages
// of its high-water mark, freed but resident, for as long as it runs.
#pragma once

namespace util {

class FreedMemory {
 public:
  // Returns the free pages of the heap to the system; cheap when there are few. Safe on
  // any thread.
  static void ReturnToSystem() noexcept;
};

}  // namespace util
