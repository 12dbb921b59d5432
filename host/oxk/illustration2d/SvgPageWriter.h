// Writes the pages of a 2D document as one SVG document a browser shows: one group per
// page that carries an element, and always the first (<g class="sheet" data-page="N">),
// stacked top to bottom with a gap; each a white page of the document's size, then one
// group per layer (hidden layers hidden) with the page's elements in drawing order, and
// a last group for elements on no layer.
//
// A stamp is its image stretched over its extents and mirrored as its flips say, with its
// title (and description, when used) as the tooltip and its title as a caption when used;
// a stamp whose image has no data is a dashed frame. Each distinct picture is embedded
// once, as PNG data in a <symbol> of the page's <defs> ("picture-1", ...), and each stamp
// places it with a <use>, so a page grows with its pictures plus its elements. An
// annotation element is a group with its identifier path (data-path): the line art of
// its shape when it has one, in the symbols' blue, and a marker at its transform's
// translation labelled with its label (or its identifier path when it has none). An
// outline is a group with the part's model path and name (data-path, data-name) and
// its name as the tooltip, holding its line art: the visible area filled without a
// stroke, visible outlines and edges as solid lines, hidden lines dashed
// (stroke-dasharray), each kind one path of its own class (area, outline, edge,
// hidden), so that programs that read the page find the lines, not only their paint.
#pragma once

#include <string>

#include "orrinsymbols/oxk/illustration2d/Document2D.h"

namespace oxk::illustration2d {

class SvgPageWriter {
 public:
  [[nodiscard]] static std::string ToSvg(const Document2D& document);
  // Written crash-safe; false when the file cannot be written.
  [[nodiscard]] static bool Write(const Document2D& document, const std::string& path);
};

}  // namespace oxk::illustration2d
