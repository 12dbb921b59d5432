// A markup: a 2D or 3D drawing that an annotation controls (stamps, callouts). It has a
// placement, visibility, a page of a 2D document, a selection state and a controller,
// the annotation that hears about the user's changes. Its content is what a view draws:
// drawing primitives made for a pipeline and a 2D context.
//
// Markups are changed from the host's thread and from load completions; every accessor
// takes the markup's own lock.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/geo/Pipeline.h"
#include "orrinsymbols/oxcontext/Context2D.h"
#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/oxk/View.h"
#include "orrinsymbols/oxmu/Primitive.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class MarkupController;

class Markup : public Object {
 public:
  Markup() = default;

  [[nodiscard]] geo::Location GetLocation() const;
  void SetLocation(const geo::Location& location);

  [[nodiscard]] bool IsVisible() const;
  void SetVisibility(bool visible);
  [[nodiscard]] int32_t GetPageNum() const;
  void SetPageNum(int32_t page);

  // Plain: the controller owns the markup and clears this when it lets go.
  [[nodiscard]] MarkupController* GetController() const;
  void SetController(MarkupController* controller);

  [[nodiscard]] bool IsSelected() const;
  // The view the markup was selected in; empty when not selected or selected in none.
  [[nodiscard]] util::SmartPtr<View> GetSelectionView() const;
  void SetSelected(bool selected, const util::SmartPtr<View>& view);

  // Tells views the drawing must be made again; counted.
  void NotifyContentChanged();
  [[nodiscard]] uint64_t GetContentVersion() const;

  // The drawing primitives of the markup for pipeline and context, detail level n.
  virtual void GetContent(const geo::Pipeline& pipeline, oxcontext::Context2D* context, int32_t n,
                          std::vector<util::SmartPtr<oxmu::Primitive>>& primitives) const;
  // The markup that stands for this one while the user drags it; empty for markups
  // that have none.
  [[nodiscard]] virtual util::SmartPtr<Markup> GetShadow() const;

 protected:
  ~Markup() override = default;
  std::mutex& GetMutex() const { return m_mutex; }

 private:
  mutable std::mutex m_mutex;
  geo::Location m_location;
  bool m_visible = true;
  int32_t m_pageNum = 0;
  MarkupController* m_controller = nullptr;
  bool m_selected = false;
  util::SmartPtr<View> m_selectionView;
  uint64_t m_contentVersion = 0;
};

}  // namespace oxk
