#include "oxk/illustration2d/Document2D.h"

namespace oxk::illustration2d {
namespace {

void Walk(const util::SmartPtr<Node2D>& node, Visitor2D& visitor) {
  const util::SmartPtr<Element2D> element = util::DynamicCast<Element2D>(node);
  if (element) {
    visitor.VisitElement(element);
  }
  for (const auto& child : node->GetChildren()) {
    Walk(child, visitor);
  }
}

}  // namespace

Document2D::Document2D() : m_root(new Element2D(Element2D::RootTypeBit | Element2D::GroupTypeBit)) {
  m_layers.push_back(util::SmartPtr<Layer2D>(new Layer2D(util::Symbol(kDrawingLayer))));
  m_layers.push_back(util::SmartPtr<Layer2D>(new Layer2D(util::Symbol(kAnnotationLayer))));
}

util::SmartPtr<Layer2D> Document2D::FindLayer(const util::Symbol& name) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  for (const auto& layer : m_layers) {
    if (layer->GetName() == name) {
      return layer;
    }
  }
  return {};
}

util::SmartPtr<Layer2D> Document2D::AddLayer(const util::Symbol& name) {
  util::SmartPtr<Layer2D> found = FindLayer(name);
  if (found || name.empty()) {
    return found;
  }
  util::SmartPtr<Layer2D> layer(new Layer2D(name));
  std::lock_guard<std::mutex> guard(m_mutex);
  m_layers.push_back(layer);
  return layer;
}

std::vector<util::SmartPtr<Layer2D>> Document2D::GetLayers() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_layers;
}

double Document2D::GetPageWidth() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_pageWidth;
}

double Document2D::GetPageHeight() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_pageHeight;
}

void Document2D::SetPageSize(double width, double height) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_pageWidth = width;
  m_pageHeight = height;
}

void Document2D::Accept(Visitor2D& visitor) const {
  Walk(util::SmartPtr<Node2D>(m_root.get()), visitor);
}

}  // namespace oxk::illustration2d
