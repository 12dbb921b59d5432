// Flattens an open document's 3D view into a 2D illustration document, as a host does
// when the user turns a view into an illustration, and writes its page as SVG:
// - each shown part, drawn from its mesh as a technical drawing: its visible area, its
//   visible outlines and edges, and the lines nearer parts hide, dashed (HiddenLineView);
//   farthest first;
// - each shown 3D symbol hands over its content (Flatten); a flattened symbol made from
//   it through the module's factory, placed where the symbol is seen, creates its 2D
//   element, which the host completes with the symbol's title, placement and the
//   drawing of its shape, seen the same way (over the parts, its hidden lines left out);
// - each 2D symbol creates its stamp element and completes it with its image.
// The page is the view's viewport, one page unit a pixel; stamps are placed in page units
// (y upwards from the page's bottom-left corner) on the page they name. Every page that
// carries something, and always the first (which the view is flattened onto), is a group
// of the one SVG written, stacked top to bottom.
#pragma once

#include <cstddef>
#include <string>

#include "Document.h"

namespace symbols_tool {

struct FlattenSummary {
  size_t parts = 0;
  size_t markers = 0;
  size_t stamps = 0;
  size_t pages = 1;

  // "7 parts, 2 symbols, 2 stamps; 1 page in one SVG", as the tool prints it.
  [[nodiscard]] std::string Text() const;
};

// The page as SVG text; false (error says why) when the document has none to give.
[[nodiscard]] bool FlattenToSvgText(Document& document, std::string& svg, FlattenSummary& summary, std::string& error);
// Written crash-safe; false (error says why) when it cannot be.
[[nodiscard]] bool FlattenToSvg(Document& document, const std::string& out, FlattenSummary& summary,
                                std::string& error);

}  // namespace symbols_tool
