// The container of an illustration document, with the document's file information.
#pragma once

#include "orrinsymbols/oxk/MultiRootContainer.h"
#include "orrinsymbols/oxkapp/illustration/OrbisFileInfo.h"

namespace oxkapp::illustration {

class LimMultiRootContainer : public oxk::MultiRootContainer {
 public:
  LimMultiRootContainer() : m_fileInfo(new OrbisFileInfo(this)) {}
  [[nodiscard]] util::SmartPtr<OrbisFileInfo> GetFileInfo() const { return m_fileInfo; }

 protected:
  ~LimMultiRootContainer() override { m_fileInfo->ForgetContainer(); }

 private:
  util::SmartPtr<OrbisFileInfo> m_fileInfo;
};

}  // namespace oxkapp::illustration
