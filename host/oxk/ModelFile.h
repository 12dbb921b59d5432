// Opens a small model description and builds a world from it: a container whose
// primary structure holds the parts, the model's folder as anchor, and one shape scene
// showing every part that has a shape. Part shapes start loading at once.
//
//   <model name="Pump">
//     <part id="1" name="Housing" shape="housing.obj" location="12 numbers">
//       <part id="2" name="Cover" shape="cover.obj"/>
//     </part>
//   </model>
//
// Shape files are relative to the model file's folder. "location" is optional (matrix
// row by row, then the position); "position" (three numbers) may stand instead.
#pragma once

#include <string>

#include "oxk/ShapeScene.h"
#include "oxk/World.h"
#include "util/SmartPtr.h"

namespace oxk {

class ModelFile {
 public:
  // False (error says why) when the file is missing or not a model description. With an
  // illustration container the world's container offers document file information.
  [[nodiscard]] static bool Open(const std::string& path, bool illustration, util::SmartPtr<World>& world,
                                 util::SmartPtr<ShapeScene>& scene, std::string* error = nullptr);
};

}  // namespace oxk
