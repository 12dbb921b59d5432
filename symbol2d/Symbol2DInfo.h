// The record of a 2D image symbol (a stamp on a 2D page or a billboard in 3D): its
// texts, the catalogue image it shows, where and how large it is, and how it is drawn.
// A Symbol2D keeps its whole persistent state in one of these. A new record takes its
// outline and fill colour from the host's shape colour preference.
#pragma once

#include <cstdint>

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/common/SequencerTagList.h"
#include "orrinsymbols/geo/Color.h"
#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/oxk/Image.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxannotations {

class OXSYMBOLS_EXPORT Symbol2DInfo {
 public:
  // The defaults below, then the preference colours (ApplyPreferenceValues).
  Symbol2DInfo();
  Symbol2DInfo(const Symbol2DInfo& other);
  Symbol2DInfo& operator=(const Symbol2DInfo& other);
  // Moving allocates nothing and cannot fail: a symbol applies a prepared record so.
  Symbol2DInfo(Symbol2DInfo&& other) noexcept;
  Symbol2DInfo& operator=(Symbol2DInfo&& other) noexcept;
  virtual ~Symbol2DInfo();

  util::Symbol title;
  util::Symbol description;
  // Hosts set both flags; a record nobody filled shows neither text.
  bool showTooltipTitle = false;
  bool showTooltipDescription = false;
  int32_t imageID = 0;
  util::Symbol imageName;
  util::Symbol imageFileName;
  util::SmartPtr<oxk::Image> image;
  geo::DPoint3D center = geo::DPoint3D::ORIGIN;
  // Rotation and position of a stamp that is not a billboard.
  geo::Location bbXform = geo::Location::ZERO;
  // Half extents: the stamp covers center +- (width, height).
  float width = 0.0f;
  float height = 0.0f;
  geo::Color lineColor = geo::Color::BLACK;
  int32_t lineWidth = 1;
  int32_t lineStipple = 0;
  geo::Color fillColor = geo::Color::BLACK;
  float transparency = 0.5f;
  bool screenSpace = false;
  int32_t anchor = 0;
  // reverse mirrors top to bottom, flipHorizontally left to right.
  bool reverse = false;
  bool flipHorizontally = false;
  // Degrees; the image is turned by their sum in whole quarter turns.
  int32_t rotateRight = 0;
  int32_t rotateLeft = 0;
  bool isBillboard = true;
  int32_t pageNum = 0;
  oxcommon::SequencerTagList sequencerTags;

 protected:
  // Outline and fill in the shape colour preference, light blue when it is not set;
  // black when the host has no world or no preferences.
  void ApplyPreferenceValues();
};

}  // namespace oxannotations
