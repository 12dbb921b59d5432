#include "common/Illustration2DTarget.h"

#include "oxk/illustration2d/Kernel2D.h"
#include "oxk/illustration2d/Scene2D.h"

namespace oxcommon {

namespace {

// Frozen: the kernel factory annotation modules make their 2D elements with.
constexpr int32_t kFactoryType = 1;
constexpr int32_t kContentVersion = 4;

}  // namespace

bool Illustration2DTarget::Find(const util::SmartPtr<oxk::Scene>& scene, Illustration2DTarget& target) {
  using namespace oxk::illustration2d;
  target = Illustration2DTarget{};
  const util::SmartPtr<Scene2D> scene2D = util::DynamicCast<Scene2D>(scene);
  const util::SmartPtr<Kernel2D> kernel = Kernel2D::GetSingleton();
  if (!scene2D || !kernel) {
    return false;
  }
  const util::SmartPtr<BaseKernelFactory> factory =
      util::DynamicCast<BaseKernelFactory>(kernel->GetFactory(kFactoryType, kContentVersion));
  const util::SmartPtr<Document2D> document = scene2D->GetDocument2D();
  if (!factory || !document) {
    return false;
  }
  target.document = document;
  target.factory = factory;
  return true;
}

}  // namespace oxcommon
