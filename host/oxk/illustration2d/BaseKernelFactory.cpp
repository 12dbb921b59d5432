#include "oxk/illustration2d/BaseKernelFactory.h"

#include <new>

namespace oxk::illustration2d {

util::SmartPtr<Stamp2D> BaseKernelFactory::CreateStamp2D() const {
  return util::SmartPtr<Stamp2D>(new (std::nothrow) Stamp2D(GetContentVersion()));
}

util::SmartPtr<Annotation2D> BaseKernelFactory::CreateAnnotation2D() const {
  return util::SmartPtr<Annotation2D>(new (std::nothrow) Annotation2D(GetContentVersion()));
}

}  // namespace oxk::illustration2d
