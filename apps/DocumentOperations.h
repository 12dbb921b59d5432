// What the document commands and the demo do to an open document, each through the
// operations a host calls: a 3D symbol placed from a catalogue shape entry and connected
// to parts, a 2D symbol from a catalogue image entry, a part moved, hidden or shown (the
// symbols follow through their own scene observers), and each annotation described.
#pragma once

#include <string>
#include <vector>

#include "Document.h"
#include "catalogue/PartslibraryImageItem.h"
#include "catalogue/PartslibraryOlItem.h"
#include "geo/DPoint3D.h"
#include "geo/DVec3.h"

namespace symbols_tool {

// A 2D symbol as the command line gives it: its centre in page units, y upwards from the
// page's bottom-left corner, its full size, and its page, counted from 0.
struct StampRequest {
  double centerX = 0.0;
  double centerY = 0.0;
  double width = 60.0;
  double height = 60.0;
  int rotate = 0;  // degrees, clockwise
  bool flip = false;
  bool reverse = false;
  int page = 0;
};

// One annotation of a document as `doc list` shows it.
struct AnnotationView {
  struct Connection {
    std::string part;
    std::string assembly;
    geo::DVec3 offset;
  };
  // The library entry a symbol was made from, as the symbol recorded it: a 2D symbol
  // keeps the image entry's identifier, a 3D symbol only the shape entry's name.
  struct Entry {
    int id = -1;  // -1: not recorded
    std::string name;
    std::string file;  // the symbol or image file, inside the document
  };
  std::string type;
  std::string idPath;
  std::string title;
  geo::DPoint3D position;
  double width = 0.0;  // 2D symbols: the full size
  double height = 0.0;
  int page = 0;
  int rotation = 0;      // 2D symbols: clockwise degrees as drawn, 0, 90, 180 or 270
  bool flip = false;     // 2D symbols: mirrored left to right
  bool reverse = false;  // 2D symbols: mirrored top to bottom
  Entry entry;
  bool visible = true;
  // Of a type this version does not know: kept as saved, nothing else is known of it.
  bool kept = false;
  std::vector<Connection> parts;
};

// The largest coordinate (page units for stamps, model units for parts) the tool takes
// or makes: far beyond any page or model, and small enough that no sum of a few of them
// overflows and that a float holds it.
inline constexpr double kMaxCoordinate = 1e9;

// Places a 3D symbol of the shape entry on the parts (SBOM or model-tree paths): the
// entry's placement values and coordinate system configure it, the frame it is placed
// on stands on top of the first part, and each part is picked as a user picks it.
// False (error says why, the document unchanged) for an entry that is not an annotation
// symbol, a part path that names nothing, or a symbol file that cannot be read.
[[nodiscard]] bool PlaceSymbol(Document& document, const oxsymbols::PartslibraryOlItem& entry,
                               const std::vector<std::string>& parts, util::Symbol& idPath, std::string& error);
// Places a 2D symbol of the image entry; the centre and size must be finite, within
// kMaxCoordinate, the size positive, and some of it on the page (kViewWidth by
// kViewHeight page units).
[[nodiscard]] bool StampSymbol(Document& document, const oxsymbols::PartslibraryImageItem& entry,
                               const StampRequest& request, util::Symbol& idPath, std::string& error);
// Moves a part (each member of a weld, a member below another one once, with it) by
// delta in world coordinates, in one scene update, and records its new placement in the
// model description. Refuses (nothing moved) a move that takes a part beyond
// kMaxCoordinate.
[[nodiscard]] bool MovePart(Document& document, const std::string& path, const geo::DVec3& delta, std::string& error);
// Shows or hides a part and everything placed below it, and records it in the model
// description.
[[nodiscard]] bool ShowPart(Document& document, const std::string& path, bool visible, std::string& error);

// Where a part named on the command line is: each model-tree instance it stands for (one,
// or the members of a weld), with its world position and whether it is shown.
struct PartPlace {
  std::string path;
  std::string name;
  geo::DPoint3D position;
  bool visible = true;
};
// False (error says why) when the path names no part.
[[nodiscard]] bool DescribePart(const Document& document, const std::string& path, std::vector<PartPlace>& places,
                                std::string& error);

[[nodiscard]] std::vector<AnnotationView> DescribeAnnotations(const Document& document);
// The position of the annotation with that identifier path; false when there is none.
[[nodiscard]] bool FindPosition(const Document& document, const std::string& idPath, geo::DPoint3D& position);

}  // namespace symbols_tool
