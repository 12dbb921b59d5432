#include <gtest/gtest.h>

#include <string>

#include "geo/XmlElem.h"

namespace {

struct TreeGuard {
  explicit TreeGuard(geo::XmlElem* r) : root(r) {}
  TreeGuard(const TreeGuard&) = delete;
  TreeGuard& operator=(const TreeGuard&) = delete;
  ~TreeGuard() { geo::FreeXml(root); }
  geo::XmlElem* root;
};

TEST(Xml, ParsesElementsAttributesAndDecodedText) {
  TreeGuard tree(geo::ParseXml(
      "<?xml version=\"1.0\"?>\n<lib a=\"1\" b=\"x &amp; y\"><!-- c --><one>t &lt; u</one>text<two/><one>2</one></lib>"));
  ASSERT_NE(tree.root, nullptr);
  EXPECT_TRUE(tree.root->GetName() == "lib");
  ASSERT_EQ(tree.root->GetNumChildren(), 3u);
  EXPECT_TRUE(tree.root->GetChild(0)->GetName() == "one");
  EXPECT_EQ(tree.root->GetChild(0)->GetText(), "t < u");
  EXPECT_TRUE(tree.root->GetChild(1)->GetName() == "two");
  EXPECT_EQ(tree.root->GetChild(3), nullptr);
  EXPECT_EQ(tree.root->FindAttribute("b"), 1u);
  EXPECT_EQ(tree.root->FindAttribute("c"), geo::XmlElem::npos);
  EXPECT_EQ(tree.root->GetAttributeAsString(1), "x & y");
}

TEST(Xml, TypedAttributeReadersRejectWhatDoesNotParse) {
  TreeGuard tree(geo::ParseXml(R"(<e i=" 42" bad="4x" f="2.5" b="TRUE" n="no" junk="maybe" l="1 0 0 0 1 0 0 0 1 1.5 -2 3"/>)"));
  ASSERT_NE(tree.root, nullptr);
  geo::XmlElem& e = *tree.root;
  int32_t i = 7;
  EXPECT_TRUE(e.GetAttributeAsInt(e.FindAttribute("i"), i));
  EXPECT_EQ(i, 42);
  float f = 0;
  EXPECT_TRUE(e.GetAttributeAsFloat(e.FindAttribute("f"), f));
  EXPECT_FLOAT_EQ(f, 2.5f);
  bool b = false;
  EXPECT_TRUE(e.GetAttributeAsBool(e.FindAttribute("b"), b));
  EXPECT_TRUE(b);
  EXPECT_TRUE(e.GetAttributeAsBool(e.FindAttribute("n"), b));
  EXPECT_FALSE(b);
  b = true;
  EXPECT_FALSE(e.GetAttributeAsBool(e.FindAttribute("junk"), b));
  EXPECT_TRUE(b);
  geo::Location l;
  EXPECT_TRUE(e.GetAttributeAsLocation(e.FindAttribute("l"), l));
  EXPECT_EQ(l.GetPos(), geo::DPoint3D(1.5, -2, 3));
  EXPECT_FALSE(e.GetAttributeAsLocation(e.FindAttribute("i"), l));
  EXPECT_FALSE(e.GetAttributeAsInt(geo::XmlElem::npos, i));
}

TEST(Xml, MalformedInputReportsLineAndColumn) {
  geo::XmlParseError error;
  EXPECT_EQ(geo::ParseXml("<a>\n  <b>\n</a>", false, &error), nullptr);
  EXPECT_EQ(error.line, 3);
  EXPECT_GT(error.column, 0);
  EXPECT_FALSE(error.message.empty());
  EXPECT_EQ(geo::ParseXml(""), nullptr);
  EXPECT_EQ(geo::ParseXml("just text"), nullptr);
}

TEST(Xml, DeepNestingDoesNotExhaustTheStack) {
  std::string deep;
  constexpr int kDepth = 200000;
  for (int i = 0; i < kDepth; ++i) {
    deep += "<d>";
  }
  for (int i = 0; i < kDepth; ++i) {
    deep += "</d>";
  }
  TreeGuard tree(geo::ParseXml(deep));
  ASSERT_NE(tree.root, nullptr);
  const geo::XmlElem* e = tree.root;
  int depth = 1;
  while (e->GetNumChildren() == 1) {
    e = e->GetChild(0);
    ++depth;
  }
  EXPECT_EQ(depth, kDepth);
}

TEST(Xml, WrittenElementReadsBackWithSameValues) {
  geo::XmlElem* camera = geo::NewXmlElem("camera");
  TreeGuard guard(camera);
  geo::Location location;
  location.Set(geo::DPoint3D(0.1, 2.0 / 3.0, -7), geo::Quaternion<float>::FromAxisAngle(0, 0, 1, 0.3f), 1.0f);
  camera->SetAttribute("ortho", true);
  camera->SetAttribute("value", 0.7);
  camera->SetAttribute("location", location);
  camera->SetAttribute("label", std::string("a\"<&>'b"));
  std::string out;
  geo::WriteXmlCloseTags(camera, out, 3);
  EXPECT_EQ(out.rfind("      <camera ", 0), 0u);
  EXPECT_NE(out.find("value=\"0.7\""), std::string::npos);

  TreeGuard back(geo::ParseXml(out));
  ASSERT_NE(back.root, nullptr);
  bool ortho = false;
  double value = 0;
  geo::Location read;
  EXPECT_TRUE(back.root->GetAttributeAsBool(back.root->FindAttribute("ortho"), ortho));
  EXPECT_TRUE(back.root->GetAttributeAsDouble(back.root->FindAttribute("value"), value));
  EXPECT_TRUE(back.root->GetAttributeAsLocation(back.root->FindAttribute("location"), read));
  EXPECT_TRUE(ortho);
  EXPECT_EQ(value, 0.7);
  EXPECT_EQ(read, location);  // exact, not approximate
  EXPECT_EQ(back.root->GetAttributeAsString(back.root->FindAttribute("label")), "a\"<&>'b");
}

TEST(Xml, EncodeEscapesMarkupAndDropsUnrepresentableBytes) {
  EXPECT_EQ(geo::EncodeXmlStr("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&apos;");
  EXPECT_EQ(geo::EncodeXmlStr(std::string("x\x01y\r\n", 5)), "xy&#13;\n");
  EXPECT_EQ(geo::EncodeXmlStr("\xC3\xA9"), "\xC3\xA9");  // UTF-8 passes through
}

}  // namespace

namespace {

TEST(Xml, TextAsBoolTakesTheBooleanWordsAroundBlanks) {
  TreeGuard tree(geo::ParseXml("<r><a> TRUE </a><b>1</b><c>yes\n</c><d>truex</d><e/><f>no</f></r>"));
  ASSERT_NE(tree.root, nullptr);
  const bool expected[] = {true, true, true, false, false, false};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(tree.root->GetChild(i)->GetTextAsBool(), expected[i]) << i;
  }
}

}  // namespace
