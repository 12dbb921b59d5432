// "demo [--out DIR]": the whole road of a symbol on the sample pump model, as a host
// integrator would drive the module: a new document, two 3D symbols placed (one on a
// part, one on a weld), two stamps, the part moved (its symbol follows, the other stays),
// saved, reopened from disk, listed, flattened into an SVG page, and the library's
// gallery page written beside it. Each step prints one line a person can follow.
//
// DIR must be new or empty, or hold an earlier demo's output, which is replaced.
#pragma once

#include <string>

#include "ToolCommand.h"

namespace symbols_tool {

class DemoCommand : public ToolCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  std::string m_out = "symbols-demo";
};

}  // namespace symbols_tool
