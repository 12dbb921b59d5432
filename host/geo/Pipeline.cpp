#include "geo/Pipeline.h"

namespace geo {

bool Pipeline::Pop() {
  if (m_saved.empty()) {
    return false;
  }
  m_current = m_saved.back();
  m_saved.pop_back();
  return true;
}

}  // namespace geo
