// Draws solids seen along a view as a technical drawing does: each solid's visible
// area, its visible outlines and edges, and the lines that nearer solids (or nearer
// faces of itself) hide, which a drawing shows dashed. Silhouettes come from the union
// of each solid's triangles; what hides what comes from one depth buffer finer than
// the page, in which every line is sampled along its length, so that solids that pass
// through each other and lines hidden in part come out right to a fraction of a page
// unit. Every step is linear in the solids and their triangles.
#pragma once

#include <string>
#include <vector>

#include "PageMesh.h"
#include "ViewProjection.h"
#include "oxk/illustration2d/LineArt2D.h"

namespace symbols_tool {

class HiddenLineView {
 public:
  struct Options {
    double pixelsPerUnit = 4.0;           // depth buffer pixels a page unit
    size_t maxPixels = size_t{32} << 20;  // fewer pixels a unit on larger pages
    bool hiddenLines = true;              // false: hidden lines are left out
  };
  struct Drawn {
    oxk::illustration2d::LineArt2D art;
    // Where the solid comes when painted: a solid that covers another somewhere comes
    // after it (where solids cover each other in a ring, the farther on the whole comes
    // first), so that each solid's lines lie over the areas of those it covers.
    size_t paintRank = 0;
  };

  explicit HiddenLineView(const ViewProjection& view) : HiddenLineView(view, Options()) {}
  HiddenLineView(const ViewProjection& view, Options options) : m_view(view), m_options(options) {}

  // Adds a solid; its drawing comes at the same index.
  void Add(PageMesh mesh) { m_meshes.push_back(std::move(mesh)); }
  [[nodiscard]] size_t Count() const { return m_meshes.size(); }

  // Draws every solid added. False (error says why) when the polygon library fails.
  [[nodiscard]] bool Draw(std::vector<Drawn>& drawn, std::string& error) const;

 private:
  ViewProjection m_view;
  Options m_options;
  std::vector<PageMesh> m_meshes;
};

}  // namespace symbols_tool
