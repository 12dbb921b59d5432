#include "oxk/illustration2d/Scene2D.h"

namespace oxk::illustration2d {

Scene2D::Scene2D() : m_document(new Document2D()) {}

}  // namespace oxk::illustration2d
