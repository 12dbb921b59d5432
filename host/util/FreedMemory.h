// Hands the memory the process has freed back to the system. A process that once held a
// large document (a library file, a document's content) would otherwise keep the pages
// of its high-water mark, freed but resident, for as long as it runs.
#pragma once

namespace util {

class FreedMemory {
 public:
  // Returns the free pages of the heap to the system; cheap when there are few. Safe on
  // any thread. Does nothing while returning is turned off.
  static void ReturnToSystem() noexcept;
  // On by default. A process that reads large documents over and over (a benchmark of
  // the reading itself) turns it off, so that each read does not fault its pages in again.
  static void SetReturning(bool on) noexcept;
};

}  // namespace util
