// Access to the process environment.
#pragma once

#include <string>

namespace conc {

class Environment {
 public:
  // The variable's value; false (value untouched) when it is not set.
  static bool Get(const std::string& name, std::string& value);
};

}  // namespace conc
