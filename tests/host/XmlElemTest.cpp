#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "geo/XmlElem.h"
#include "support/TempFolder.h"

namespace {

struct TreeGuard {
  explicit TreeGuard(geo::XmlElem* r) : root(r) {}
  TreeGuard(const TreeGuard&) = delete;
  TreeGuard& operator=(const TreeGuard&) = delete;
  ~TreeGuard() { geo::FreeXml(root); }
  geo::XmlElem* root;
};

TEST(Xml, ParsesElementsAttributesAndDecodedText) {
  TreeGuard tree(
      geo::ParseXml("<?xml version=\"1.0\"?>\n<lib a=\"1\" b=\"x &amp; y\"><!-- c --><one>t &lt; "
                    "u</one>text<two/><one>2</one></lib>"));
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
  TreeGuard tree(
      geo::ParseXml(R"(<e i=" 42" bad="4x" f="2.5" b="TRUE" n="no" junk="maybe" l="1 0 0 0 1 0 0 0 1 1.5 -2 3"/>)"));
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

// The element's own text is what comes before its first child; text after a child, or
// a CDATA section that opens the element, is found among the children.
TEST(Xml, TextIsTheFirstTextWhereverItSits) {
  TreeGuard tree(geo::ParseXml("<r><a>t<b/>u</a><c><b/>u</c><d><![CDATA[<x>]]>v</d><e> </e></r>"));
  ASSERT_NE(tree.root, nullptr);
  EXPECT_STREQ(tree.root->GetChild(0)->GetTextRaw(), "t");
  EXPECT_STREQ(tree.root->GetChild(1)->GetTextRaw(), "u");
  EXPECT_STREQ(tree.root->GetChild(2)->GetTextRaw(), "<x>");
  EXPECT_STREQ(tree.root->GetChild(3)->GetTextRaw(), "");
  TreeGuard kept(geo::ParseXml("<e> </e>", true));
  EXPECT_STREQ(kept.root->GetTextRaw(), " ");
}

TEST(Xml, ChildrenLetGoOfWhenReadLeaveTheRestWhole) {
  // As a library is read: each entry once, front to back, let go of when read.
  std::string text = "<lib>";
  for (int i = 0; i < 50; ++i) {
    text += "<entry id=\"" + std::to_string(i) + "\"><name>n" + std::to_string(i) + "</name><tags><tag>t</tag>" +
            "</tags></entry>";
  }
  text += "</lib>";
  TreeGuard tree(geo::ParseXml(text));
  ASSERT_NE(tree.root, nullptr);
  for (size_t i = 0; i < 50; ++i) {
    geo::XmlElem* entry = tree.root->GetChild(i);
    ASSERT_TRUE(entry->GetName() == "entry");
    int32_t id = -1;
    ASSERT_TRUE(entry->GetAttributeAsInt(0, id));
    EXPECT_EQ(id, static_cast<int32_t>(i));
    ASSERT_EQ(entry->GetNumChildren(), 2u);
    EXPECT_EQ(entry->GetChild(0)->GetText(), "n" + std::to_string(i));
    if (i % 2 == 0) {
      EXPECT_EQ(entry->GetChild(1)->GetChild(0)->GetText(), "t");  // grandchildren made, too
    }
    tree.root->ReleaseChild(i);
    // Let go of: an empty element, whose children are gone.
    EXPECT_EQ(entry->GetNumChildren(), 0u);
    EXPECT_EQ(entry->GetNumAttributes(), 0u);
    EXPECT_EQ(entry->GetText(), "");
  }
  EXPECT_EQ(tree.root->GetNumChildren(), 50u);  // the indexes stay
  tree.root->ReleaseChild(3);                   // twice
  tree.root->ReleaseChild(50);                  // no such child
  std::string written;
  geo::WriteXmlCloseTags(tree.root, written, 0);
  EXPECT_EQ(written.find("<entry"), std::string::npos) << written;
}

TEST(Xml, ParseFileReadsWholeFilesAndRefusesMissingOrEmptyOnes) {
  testsupport::TempFolder folder;
  TreeGuard tree(geo::ParseXmlFile(folder.Write("a.xml", "<r><e>x &amp; y</e></r>\n")));
  ASSERT_NE(tree.root, nullptr);
  EXPECT_STREQ(tree.root->GetChild(0)->GetTextRaw(), "x & y");
  EXPECT_EQ(geo::ParseXmlFile(folder.File("missing.xml")), nullptr);
  EXPECT_EQ(geo::ParseXmlFile(folder.Write("empty.xml", "")), nullptr);
  EXPECT_EQ(geo::ParseXmlFile(folder.Write("cut.xml", "<r><e>")), nullptr);
}

TEST(Xml, GetAttributesCopiesInOrderAndCountsAll) {
  TreeGuard tree(geo::ParseXml(R"(<e a="1" b="x &amp; y" c="3"/>)"));
  ASSERT_NE(tree.root, nullptr);
  geo::XmlAttribute two[2];
  EXPECT_EQ(tree.root->GetAttributes(two, 2), 3u);
  EXPECT_STREQ(two[0].name, "a");
  EXPECT_STREQ(two[1].name, "b");
  EXPECT_STREQ(two[1].value, "x & y");
  EXPECT_EQ(tree.root->GetAttributes(nullptr, 0), 3u);
}

// Names are looked up a word at a time when short and byte by byte when long; either way
// every name must come back as itself, whatever its length and however many names share
// its start or its cache set.
TEST(Xml, ElementNamesOfEveryLengthComeBackAsThemselves) {
  std::vector<std::string> names;
  const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN";
  for (size_t length = 1; length <= letters.size(); ++length) {
    names.push_back(letters.substr(0, length));  // every prefix: lengths across word ends
    names.push_back(letters.substr(0, length - 1) + "_");
  }
  for (int i = 0; i < 2000; ++i) {
    // More names than the cache holds; appended, as GCC 12 at -O3 warns wrongly on "n" + string.
    names.push_back(std::string("n").append(std::to_string(i)));
  }
  std::string text = "<r>";
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::string& name : names) {
      text += "<" + name + "/>";
    }
  }
  text += "</r>";
  testsupport::TempFolder folder;
  TreeGuard trees[] = {TreeGuard(geo::ParseXml(text)), TreeGuard(geo::ParseXmlFile(folder.Write("n.xml", text)))};
  for (const TreeGuard& tree : trees) {
    ASSERT_NE(tree.root, nullptr);
    ASSERT_EQ(tree.root->GetNumChildren(), 2 * names.size());
    for (size_t i = 0; i < tree.root->GetNumChildren(); ++i) {
      const util::Symbol name = tree.root->GetChild(i)->GetName();
      ASSERT_EQ(name, util::Symbol(names[i % names.size()])) << "child " << i;
      ASSERT_EQ(name.length(), names[i % names.size()].size());
    }
  }
}

// Children are made on first access; readers racing to that first access must all see
// one and the same list.
TEST(XmlConcurrency, ReadersRacingOverFreshChildrenSeeTheSameElements) {
  std::string text = "<r>";
  for (int i = 0; i < 200; ++i) {
    text += "<entry id=\"" + std::to_string(i) + "\"><name>n" + std::to_string(i) + "</name><a/><b><c/></b></entry>";
  }
  text += "</r>";
  for (int round = 0; round < 20; ++round) {
    TreeGuard tree(geo::ParseXml(text));
    ASSERT_NE(tree.root, nullptr);
    std::vector<const geo::XmlElem*> seen[2];
    const auto walk = [&](std::vector<const geo::XmlElem*>& out) {
      std::vector<const geo::XmlElem*> pending{tree.root};
      while (!pending.empty()) {
        const geo::XmlElem* elem = pending.back();
        pending.pop_back();
        out.push_back(elem);
        for (size_t i = elem->GetNumChildren(); i > 0; --i) {
          pending.push_back(elem->GetChild(i - 1));
        }
      }
    };
    std::thread other([&] { walk(seen[1]); });
    walk(seen[0]);
    other.join();
    EXPECT_EQ(seen[0].size(), 1u + 200u * 5u);
    EXPECT_EQ(seen[0], seen[1]);
  }
}

}  // namespace
