#include "conc/Environment.h"

#include <cstdlib>

namespace conc {

bool Environment::Get(const std::string& name, std::string& value) {
  const char* text = std::getenv(name.c_str());
  if (text == nullptr) {
    return false;
  }
  value = text;
  return true;
}

}  // namespace conc
