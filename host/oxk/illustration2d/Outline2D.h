// A drawing element of a 2D document: a model part flattened into the page, as the line
// art its solid leaves seen along the view (its visible area, outlines and edges, and
// its hidden lines), with the part's model path and name so that programs reading the
// page can tell the parts apart.
#pragma once

#include <string>

#include "oxk/illustration2d/Element2D.h"
#include "oxk/illustration2d/LineArt2D.h"

namespace oxk::illustration2d {

class Outline2D : public Element2D {
 public:
  Outline2D() : Element2D(OutlineTypeBit) {}

  [[nodiscard]] LineArt2D GetArt() const;
  void SetArt(LineArt2D art);
  // The part's name ("Housing") and model path ("/1/2").
  [[nodiscard]] std::string GetName() const;
  void SetName(const std::string& name);
  [[nodiscard]] std::string GetModelPath() const;
  void SetModelPath(const std::string& path);

 protected:
  ~Outline2D() override = default;

 private:
  LineArt2D m_art;
  std::string m_name;
  std::string m_modelPath;
};

}  // namespace oxk::illustration2d
