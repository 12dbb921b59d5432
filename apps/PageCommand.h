// "page --out FILE.svg": a 2D illustration page of the catalogue, made the way a host
// makes one: every image entry becomes a 2D symbol (through the module's factory) placed
// in one row at one size, every second one turned a quarter or mirrored; every shape
// entry becomes a flattened symbol whose annotation element is a labelled marker in a
// second row. The images load on the loader's thread; the page is written as SVG once
// all of them are in.
#pragma once

#include <string>

#include "ToolCommand.h"

namespace symbols_tool {

class PageCommand : public ToolCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  std::string m_out;
};

}  // namespace symbols_tool
