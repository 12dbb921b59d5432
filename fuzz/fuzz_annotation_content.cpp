// Feeds arbitrary bytes, as the saved content of a document, to the readers of the three
// annotation types: every element of the document is read by a 3D symbol, a 2D symbol
// and a flattened symbol, which then write what they have back (the 2D symbol also in
// its flattened form).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "component/ComponentEntry.h"
#include "conc/OXTracer.h"
#include "oxk/Annotation.h"
#include "oxk/ContentFile.h"
#include "oxk/Pipeline.h"

namespace {

using oxk::SerializedContentElement;
using util::SmartPtr;

// Every element of the tree, the root first, at most limit of them.
void Collect(const SmartPtr<SerializedContentElement>& element, std::vector<SmartPtr<SerializedContentElement>>& out,
             size_t limit) {
  if (out.size() >= limit) {
    return;
  }
  out.push_back(element);
  for (const auto& entry : element->GetEntries()) {
    if (entry.child) {
      Collect(entry.child, out, limit);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The 2D reader traces every key it does not own; a fuzzer makes many.
  static const bool quiet = (conc::OXTracer::SetSink([](const conc::OXTracer::Record&) {}), true);
  (void)quiet;
  const SmartPtr<SerializedContentElement> root =
      oxk::ContentFile::FromText(std::string(reinterpret_cast<const char*>(data), size));
  if (!root) {
    return 0;
  }
  std::vector<SmartPtr<SerializedContentElement>> contents;
  Collect(root, contents, 16);
  for (const auto& content : contents) {
    for (const char* type : {"symbol3d", "symbol2d", "symbol3dflattened"}) {
      SmartPtr<util::RefCounted> made;
      if (!OXDllCreateComponent("create", "annotation", type, made) || !made) {
        continue;
      }
      auto* annotation = dynamic_cast<oxk::Annotation*>(made.get());
      (void)annotation->InitializeFromSerializedContent(content, {}, {});
      SmartPtr<SerializedContentElement> written(new SerializedContentElement(util::Symbol("document")));
      annotation->Visit(written);
      if (!annotation->HasContent()) {
        // A flattened symbol writes only when asked directly (a 3D symbol without its
        // shape writes nothing at all).
        if (const auto child = written->StartContent(annotation->GetClass());
            child && annotation->GetClass() == util::Symbol("symbol3dflattened")) {
          annotation->SerializeContent(child);
        }
      }
      oxk::Pipeline pipeline;
      (void)annotation->Flatten(written, {}, nullptr, &pipeline);
      (void)oxk::ContentFile::ToText(*written);
    }
  }
  return 0;
}
