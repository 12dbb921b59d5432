// What 3D symbols and flattened symbols share: tooltip texts, the symbol file and the
// node identifier, the markup answers of a symbol (it has no markups), its icon and
// description, and the common part of its saved content.
#pragma once

#include <cstdint>
#include <string>

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/oxannotations/Annotation.h"
#include "orrinsymbols/symbol3d/SymbolInfoBase.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxannotations {

class OXSYMBOLS_EXPORT SymbolAnnotationBase : public Annotation {
 public:
  // Frozen: the annotation type of every symbol annotation.
  static constexpr int32_t kAnnotationType = 0x100000;

  SymbolAnnotationBase();
  SymbolAnnotationBase(const SymbolAnnotationBase& other);

  [[nodiscard]] std::string GetTitle() const { return title.str(); }
  [[nodiscard]] std::string GetDescription() const { return description.str(); }
  void SetTitle(const std::string& text, bool show);
  void SetDescription(const std::string& text, bool show);
  [[nodiscard]] bool ShowTooltipTitle() const { return showTooltipTitle; }
  [[nodiscard]] bool ShowTooltipDescription() const { return showTooltipDescription; }
  void SetName(const util::Symbol& newFileName, const util::Symbol& newName);
  [[nodiscard]] const util::Symbol& GetFileName() const { return fileName; }

  bool MarkupUpdated(const util::SmartPtr<oxk::Markup>& markup, const util::SmartPtr<oxk::Markup>& previous,
                     const util::SmartPtr<oxk::Operation>& operation) override;
  [[nodiscard]] bool AllowGroupDrag() const override;
  [[nodiscard]] util::SmartPtr<oxk::Annotation> Clone() const override = 0;
  [[nodiscard]] util::Symbol GetIconName() const override;
  // Under the read lock: when there is content, one child named by the class holding it.
  void Visit(const util::SmartPtr<oxk::SerializedContentElement>& element) override;
  void GetMarkupLocation(int32_t index, geo::Location& location) const override;
  void SetMarkupLocation(int32_t index, const geo::Location& location) override;
  [[nodiscard]] int32_t NumberOfMarkups() const override;
  [[nodiscard]] std::string GetMarkupName(int32_t index) const override;
  // The host's own content, then the texts, flags, names and identifier.
  void SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) override;
  [[nodiscard]] bool HasContent() const override = 0;
  [[nodiscard]] std::string GetObjectDescription() const override;

  // The content key of the file name.
  [[nodiscard]] static util::Symbol GetSymbolFileName();
  // The user-data kind under which a symbol's tree node carries its annotation.
  [[nodiscard]] static int32_t GetUserDataId();
  // A fresh event identifier on every call.
  [[nodiscard]] static int32_t GetBaseEventId();

 protected:
  ~SymbolAnnotationBase() override;
  void _SetSymbolInfo(const SymbolInfoBase& record);

  util::Symbol title;
  util::Symbol description;
  bool showTooltipTitle = false;
  bool showTooltipDescription = false;
  util::Symbol fileName;
  util::Symbol name;
  util::Symbol id;
};

}  // namespace oxannotations
