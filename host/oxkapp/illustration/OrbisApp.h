// The illustration authoring application's services: its temporary folder (symbol files
// are placed in its "Symbols" sub-folder) and its SBOM tree, which the reference host
// does not have.
#pragma once

#include <mutex>

#include "util/RefCounted.h"
#include "util/SmartPtr.h"
#include "util/Symbol.h"

namespace oxkapp::illustration {

class OrbisApp : public util::RefCounted {
 public:
  [[nodiscard]] static util::SmartPtr<OrbisApp> GetOrbisApp();

  // False (folder emptied) when no temporary folder is set.
  bool GetTemporaryDirectory(util::Symbol& folder) const;
  void SetTemporaryDirectory(const util::Symbol& folder);

 protected:
  ~OrbisApp() override = default;

 private:
  mutable std::mutex m_mutex;
  util::Symbol m_temporaryDirectory;
};

}  // namespace oxkapp::illustration
