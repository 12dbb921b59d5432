#include "oxk/illustration2d/Node2D.h"

#include <algorithm>

namespace oxk::illustration2d {

Node2D::~Node2D() {
  for (const auto& child : m_children) {
    std::lock_guard<std::mutex> guard(child->m_mutex);
    child->m_parent = nullptr;
  }
}

bool Node2D::AppendChild(const util::SmartPtr<Node2D>& child) {
  if (!child) {
    return false;
  }
  for (const Node2D* up = this; up != nullptr; up = up->GetParent()) {
    if (up == child.get()) {
      return false;
    }
  }
  {
    std::lock_guard<std::mutex> guard(child->m_mutex);
    if (child->m_parent != nullptr) {
      return false;
    }
    child->m_parent = this;
  }
  std::lock_guard<std::mutex> guard(m_mutex);
  m_children.push_back(child);
  return true;
}

bool Node2D::RemoveChild(const util::SmartPtr<Node2D>& child) {
  util::SmartPtr<Node2D> removed;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto found = std::find(m_children.begin(), m_children.end(), child);
    if (found == m_children.end()) {
      return false;
    }
    removed = *found;
    m_children.erase(found);
  }
  std::lock_guard<std::mutex> guard(removed->m_mutex);
  removed->m_parent = nullptr;
  return true;
}

std::vector<util::SmartPtr<Node2D>> Node2D::GetChildren() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_children;
}

Node2D* Node2D::GetParent() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_parent;
}

}  // namespace oxk::illustration2d
