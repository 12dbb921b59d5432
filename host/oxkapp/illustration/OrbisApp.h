// The illustration authoring application's services: its temporary folder (symbol files
// are placed in its "Symbols" sub-folder) and the SBOM tree of the illustration it has
// open.
#pragma once

#include <mutex>

#include "orrinsymbols/oxk/illustration/SbomTree.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxkapp::illustration {

class OrbisApp : public util::RefCounted {
 public:
  [[nodiscard]] static util::SmartPtr<OrbisApp> GetOrbisApp();

  // False (folder emptied) when no temporary folder is set.
  bool GetTemporaryDirectory(util::Symbol& folder) const;
  void SetTemporaryDirectory(const util::Symbol& folder);
  // Empty when no illustration with an SBOM is open.
  [[nodiscard]] util::SmartPtr<oxk::illustration::SbomTree> GetSbomTree() const;
  void SetSbomTree(const util::SmartPtr<oxk::illustration::SbomTree>& tree);

 protected:
  ~OrbisApp() override = default;

 private:
  mutable std::mutex m_mutex;
  util::Symbol m_temporaryDirectory;
  util::SmartPtr<oxk::illustration::SbomTree> m_sbomTree;
};

}  // namespace oxkapp::illustration
