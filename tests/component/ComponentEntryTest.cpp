// Loads the built module the way a host does and drives it through its entry points.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "oxannotations/Annotation.h"
#include "oxk/MemoryPool.h"
#include "util/SmartPtr.h"

namespace {

using CreateFn = bool (*)(const std::string&, const std::string&, const std::string&,
                          util::SmartPtr<util::RefCounted>&);
using VoidFn = void (*)();

class Module : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    handle = ::dlopen(SYMBOLS_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << ::dlerror();
    create = reinterpret_cast<CreateFn>(::dlsym(handle, "OXDllCreateComponent"));
    init = reinterpret_cast<VoidFn>(::dlsym(handle, "OXDllInit"));
    terminate = reinterpret_cast<VoidFn>(::dlsym(handle, "OXDllTerminate"));
  }
  static void TearDownTestSuite() {
    // Kept loaded: module constants may still be referenced by objects of other tests.
  }

  static std::string ClassOf(const util::SmartPtr<util::RefCounted>& object) {
    auto* annotation = dynamic_cast<oxk::Annotation*>(object.get());
    return annotation != nullptr ? annotation->GetClass().str() : std::string("<not an annotation>");
  }

  static inline void* handle = nullptr;
  static inline CreateFn create = nullptr;
  static inline VoidFn init = nullptr;
  static inline VoidFn terminate = nullptr;
};

TEST_F(Module, EntryPointsAreFoundByTheirPlainNames) {
  ASSERT_NE(create, nullptr);
  ASSERT_NE(init, nullptr);
  ASSERT_NE(terminate, nullptr);
  terminate();
  init();
  init();
  terminate();
}

TEST_F(Module, CreatesSymbol3DOnExactRequestOnly) {
  util::SmartPtr<util::RefCounted> out;
  ASSERT_TRUE(create("create", "annotation", "symbol3d", out));
  ASSERT_TRUE(out);
  EXPECT_EQ(ClassOf(out), "symbol3d");
  EXPECT_EQ(out->GetReferenceCount(), 1);  // exactly the one reference held by out
  auto* annotation = dynamic_cast<oxk::Annotation*>(out.get());
  EXPECT_EQ(annotation->GetAnnotationType(), 0x100000);

  const util::SmartPtr<util::RefCounted> before = out;
  for (const char* action : {"Create", "create ", "", "creat"}) {
    EXPECT_FALSE(create(action, "annotation", "symbol3d", out)) << action;
  }
  for (const char* category : {"Annotation", "annotations", "annotatio"}) {
    EXPECT_FALSE(create("create", category, "symbol3d", out)) << category;
  }
  for (const char* type : {"Symbol3d", "symbol3", "symbol3d ", "symbol", "", "symbol3dflattenedx"}) {
    EXPECT_FALSE(create("create", "annotation", type, out)) << type;
  }
  EXPECT_EQ(out.get(), before.get());
}

TEST_F(Module, CreatesEachTypeFromThePoolByItsWholeName) {
  for (const char* type : {"symbol2d", "symbol3dflattened", "symbol3d"}) {
    util::SmartPtr<util::RefCounted> out;
    const size_t liveBefore = oxk::MemoryPool::Annotations().GetLiveObjects();
    ASSERT_TRUE(create("create", "annotation", type, out)) << type;
    ASSERT_TRUE(out) << type;
    EXPECT_EQ(ClassOf(out), type);  // "symbol3dflattened" is not taken for "symbol3d"
    EXPECT_EQ(out->GetReferenceCount(), 1);
    EXPECT_EQ(dynamic_cast<oxk::Annotation*>(out.get())->GetAnnotationType(), 0x100000);
    EXPECT_EQ(oxk::MemoryPool::Annotations().GetLiveObjects(), liveBefore + 1) << type;
  }
  util::SmartPtr<util::RefCounted> out;
  for (const char* type : {"symbol2D", "symbol2d ", "symbol3dflat", "Symbol3DFlattened"}) {
    EXPECT_FALSE(create("create", "annotation", type, out)) << type;
  }
  EXPECT_FALSE(out);
}

TEST_F(Module, ReplacesTheObjectOutHeldAndReleasesIt) {
  util::SmartPtr<util::RefCounted> first;
  ASSERT_TRUE(create("create", "annotation", "symbol3d", first));
  util::SmartPtr<util::RefCounted> out = first;
  EXPECT_EQ(first->GetReferenceCount(), 2);
  ASSERT_TRUE(create("create", "annotation", "symbol3d", out));
  EXPECT_NE(out.get(), first.get());
  EXPECT_EQ(first->GetReferenceCount(), 1);  // out's reference was given back
  EXPECT_EQ(out->GetReferenceCount(), 1);
}

TEST_F(Module, AllocationFailureAnswersTrueWithEmptyOut) {
  util::SmartPtr<util::RefCounted> out;
  ASSERT_TRUE(create("create", "annotation", "symbol3d", out));
  const size_t liveBefore = oxk::MemoryPool::Annotations().GetLiveObjects();
  oxk::MemoryPool::Annotations().SetLimit(1);
  const bool result = create("create", "annotation", "symbol3d", out);
  oxk::MemoryPool::Annotations().SetLimit(0);
  EXPECT_TRUE(result);
  EXPECT_FALSE(out);  // the previous object was released, nothing new was made
  EXPECT_EQ(oxk::MemoryPool::Annotations().GetLiveObjects(), liveBefore - 1);
}

}  // namespace
