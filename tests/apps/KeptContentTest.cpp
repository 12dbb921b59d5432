// What the tool does not understand in saved content, put back.
#include "DocumentSafetyFixture.h"

namespace {

using namespace document_safety;

// The merge an annotation's save goes through, on its own.
TEST(KeptContent, PutsBackWhatTheWriterDidNotWriteAndNothingTwice) {
  using Element = oxk::SerializedContentElement;
  using Value = Element::Value;
  const auto part = [](const util::SmartPtr<Element>& parent, const char* id, float at) {
    auto child = parent->StartContent(util::Symbol("attachedToPart"));
    child->AddProperty(util::Symbol("attachedToPartId"), Value(util::Symbol(id)));
    child->AddProperty(util::Symbol("lastPos"), Value(at));
    return child;
  };
  util::SmartPtr<Element> saved(new Element(util::Symbol("symbol3d")));
  saved->AddProperty(util::Symbol("title"), Value(util::Symbol("old")));
  saved->AddProperty(util::Symbol("unknown"), Value(int32_t{3}));
  part(saved, "/A", 1)->EndContent();
  auto b = part(saved, "/B", 2);
  b->AddProperty(util::Symbol("unknownInside"), Value(true));
  b->EndContent();
  saved->EndContent();
  util::SmartPtr<Element> written(new Element(util::Symbol("symbol3d")));
  written->AddProperty(util::Symbol("title"), Value(util::Symbol("new")));
  part(written, "/B", 5)->EndContent();  // /A no longer resolves
  written->EndContent();

  const auto merged = symbols_tool::KeptContent::Merge(*saved, *written);
  EXPECT_EQ(oxk::ContentFile::ToText(*merged),
            "<?xml version=\"1.0\"?>\n<content name=\"symbol3d\">\n"
            "  <property key=\"title\" type=\"symbol\">new</property>\n"
            "  <content name=\"attachedToPart\">\n"
            "    <property key=\"attachedToPartId\" type=\"symbol\">/B</property>\n"
            "    <property key=\"lastPos\" type=\"float\">5</property>\n"
            "    <property key=\"unknownInside\" type=\"bool\">true</property>\n"
            "  </content>\n"
            "  <property key=\"unknown\" type=\"int\">3</property>\n"
            "  <content name=\"attachedToPart\">\n"
            "    <property key=\"attachedToPartId\" type=\"symbol\">/A</property>\n"
            "    <property key=\"lastPos\" type=\"float\">1</property>\n"
            "  </content>\n"
            "</content>\n");
  // Merged again with what it now writes, nothing is added twice.
  EXPECT_EQ(oxk::ContentFile::ToText(*symbols_tool::KeptContent::Merge(*merged, *merged)),
            oxk::ContentFile::ToText(*merged));
}

}  // namespace
