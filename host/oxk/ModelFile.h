// Opens a small model description and builds a world from it: a container whose
// primary structure holds the parts, the model's folder as anchor, and one shape scene
// showing every part that has a shape. Part shapes start loading at once.
//
//   <model name="Pump">
//     <part id="1" name="Housing" shape="housing.obj" location="12 numbers">
//       <part id="2" name="Cover" shape="cover.obj"/>
//     </part>
//     <part id="3" name="Bracket" shape="bracket.obj"/>
//     <sbom>
//       <item id="H" part="/1"/>
//       <weld id="W" name="Cover weld">
//         <item id="C" part="/1/2"/>
//         <item id="B" part="/3"/>
//       </weld>
//     </sbom>
//   </model>
//
// Shape files are relative to the model file's folder and stay inside it (no absolute
// path, no ".."). "location" is optional (matrix row by row, then the position);
// "position" (three numbers) may stand instead. A part with visible="false" is shown
// hidden. Elements and attributes the reader does not know are passed over.
//
// A description is read exactly or refused, with the line and what is wrong: it must be
// UTF-8, hold one root, nest no deeper than kMaxDepth, and every value it gives must
// parse whole, numbers finite. It is read without blocking (a FIFO is refused, never
// waited on).
//
// The optional <sbom> is the illustration's service bill of materials: each <item>
// names a model part by its path, a <weld> groups items of several parts. Items are
// found by their own paths ("/H", "/W/C"). With an SBOM the scene is an illustration
// scene holding the SBOM tree.
#pragma once

#include <cstdint>
#include <string>

#include "oxk/ShapeScene.h"
#include "oxk/World.h"
#include "util/SmartPtr.h"

namespace oxk {

class ModelFile {
 public:
  // Elements nested deeper than this are refused, so neither a walk of the description
  // nor the model tree made from it can run out of stack.
  static constexpr int kMaxDepth = 256;
  static constexpr uint64_t kMaxBytes = 64ull * 1024 * 1024;

  // False (error says why) when the file is missing or not a model description. With an
  // illustration container the world's container offers document file information.
  // Without loadShapes the parts' shapes are created but not loaded: enough to check
  // that a model opens.
  [[nodiscard]] static bool Open(const std::string& path, bool illustration, util::SmartPtr<World>& world,
                                 util::SmartPtr<ShapeScene>& scene, std::string* error = nullptr,
                                 bool loadShapes = true);
  // The same on the description's text, already read from path (which gives the folder
  // of its shape files and names it in messages).
  [[nodiscard]] static bool OpenText(const std::string& path, const std::string& text, bool illustration,
                                     util::SmartPtr<World>& world, util::SmartPtr<ShapeScene>& scene,
                                     std::string* error = nullptr, bool loadShapes = true);
};

}  // namespace oxk
