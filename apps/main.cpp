// symbols: look at, check, search, export and picture a symbol library from the shell,
// and drive documents through the module as a host does.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "ToolCommandLine.h"
#include "ToolContext.h"

int main(int argc, char** argv) {
  symbols_tool::ToolContext context(std::cout, std::cerr);
  try {
    symbols_tool::ToolCommandLine line(context);
    return line.Run(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  } catch (const std::exception& e) {
    return context.Failure(e.what());
  } catch (...) {
    return context.Failure("unexpected failure");
  }
}
