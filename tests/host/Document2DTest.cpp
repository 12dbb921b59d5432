// The 2D illustration document: its tree, layers, kernel factories, identity search,
// and the SVG page a person looks at.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "oxk/illustration2d/BaseKernelFactory.h"
#include "oxk/illustration2d/Document2D.h"
#include "oxk/illustration2d/Kernel2D.h"
#include "oxk/illustration2d/Outline2D.h"
#include "oxk/illustration2d/SvgPageWriter.h"
#include "oxservices/illustration2d/FindElementsFromIdentities.h"
#include "support/TempFolder.h"
#include "support/TestImages.h"
#include "support/TextFiles.h"
#include "util/FileSystem.h"

namespace {

using namespace oxk::illustration2d;
using util::SmartPtr;

SmartPtr<BaseKernelFactory> Factory() {
  return util::DynamicCast<BaseKernelFactory>(Kernel2D::GetSingleton()->GetFactory(1, 4));
}

using testsupport::Count;

TEST(Document2D, TreeLayersAndFactories) {
  SmartPtr<Document2D> document(new Document2D());
  EXPECT_TRUE(document->FindLayer(util::Symbol("Annotation")));
  EXPECT_TRUE(document->FindLayer(util::Symbol("Drawing")));
  EXPECT_FALSE(document->FindLayer(util::Symbol("annotation")));
  EXPECT_EQ(document->AddLayer(util::Symbol("Notes")).get(), document->AddLayer(util::Symbol("Notes")).get());
  EXPECT_EQ(document->GetLayers().size(), 3u);

  ASSERT_TRUE(Factory());
  EXPECT_EQ(Factory()->GetContentVersion(), 4);
  EXPECT_FALSE(Kernel2D::GetSingleton()->GetFactory(2, 4));
  EXPECT_FALSE(Kernel2D::GetSingleton()->GetFactory(1, 5));
  const SmartPtr<Stamp2D> stamp = Factory()->CreateStamp2D();
  const SmartPtr<Annotation2D> marker = Factory()->CreateAnnotation2D();
  EXPECT_TRUE(stamp->GetTypeBits() & Element2D::StampTypeBit);
  EXPECT_FALSE(marker->GetTypeBits() & Element2D::StampTypeBit);

  const SmartPtr<Element2D> root = document->GetTree();
  ASSERT_TRUE(root->AppendChild(SmartPtr<Node2D>(stamp.get())));
  EXPECT_FALSE(root->AppendChild(SmartPtr<Node2D>(stamp.get())));  // has a parent already
  EXPECT_FALSE(stamp->AppendChild(SmartPtr<Node2D>(root.get())));  // would make a cycle
  EXPECT_EQ(stamp->GetParent(), root.get());
  ASSERT_TRUE(root->RemoveChild(SmartPtr<Node2D>(stamp.get())));
  EXPECT_EQ(stamp->GetParent(), nullptr);
  EXPECT_TRUE(root->AppendChild(SmartPtr<Node2D>(stamp.get())));
}

TEST(Document2D, TheIdentitySearchFindsElementsByPathAndSharedTypeBits) {
  SmartPtr<Document2D> document(new Document2D());
  const SmartPtr<Annotation2D> first = Factory()->CreateAnnotation2D();
  first->SetIDPath(util::Symbol("/a"));
  const SmartPtr<Stamp2D> second = Factory()->CreateStamp2D();
  second->SetIDPath(util::Symbol("/b"));
  document->GetTree()->AppendChild(SmartPtr<Node2D>(first.get()));
  first->AppendChild(SmartPtr<Node2D>(second.get()));  // found below other elements too

  const auto find = [&](const char* path, uint32_t type, uint32_t skip) {
    Identity2D wanted(type);
    wanted.SetAnnoIDPath(util::Symbol(path));
    oxservices::illustration2d::FindElementsFromIdentities search(
        {wanted}, oxservices::illustration2d::Identity2DEqualityPredicate(), skip);
    document->Accept(search);
    std::vector<SmartPtr<Element2D>> found;
    search.TakeElements(found);
    std::vector<SmartPtr<Element2D>> again;
    search.TakeElements(again);
    EXPECT_TRUE(again.empty());  // taken means gone
    return found;
  };
  ASSERT_EQ(find("/b", Element2D::SymbolTypeBit, 0).size(), 1u);
  EXPECT_EQ(find("/b", Element2D::SymbolTypeBit, 0)[0].get(), static_cast<Element2D*>(second.get()));
  EXPECT_EQ(find("/a", Element2D::SymbolTypeBit, 0).size(), 1u);
  EXPECT_TRUE(find("/a", Element2D::GroupTypeBit, 0).empty());  // no type bit in common
  EXPECT_TRUE(find("/c", Element2D::SymbolTypeBit, 0).empty());
  EXPECT_TRUE(find("/b", Element2D::SymbolTypeBit, Element2D::StampTypeBit).empty());
}

TEST(SvgPageWriter, WritesEachPageThatCarriesAnElementAsItsOwnGroupWithUniqueLayerIds) {
  SmartPtr<Document2D> document(new Document2D());
  document->SetPageSize(300, 200);
  for (const int32_t page : {5, 0, 5, 1000000}) {
    const SmartPtr<Stamp2D> stamp = Factory()->CreateStamp2D();
    stamp->SetStampExtents(geo::DBox2D{10, 20, 50, 60});
    stamp->SetPage(page);
    stamp->SetLayer(document->FindLayer(util::Symbol("Annotation")));
    document->GetTree()->AppendChild(SmartPtr<Node2D>(stamp.get()));
  }
  const std::string svg = SvgPageWriter::ToSvg(*document);
  // Three pages of 200 with two gaps of 20, however far apart their numbers.
  EXPECT_NE(svg.find("viewBox=\"0 0 300 640\""), std::string::npos) << svg;
  EXPECT_EQ(Count(svg, "class=\"sheet\""), 3u);
  const size_t first = svg.find("<g class=\"sheet\" data-page=\"0\">");
  const size_t fifth = svg.find("<g class=\"sheet\" data-page=\"5\" transform=\"translate(0 220)\">");
  const size_t last = svg.find("<g class=\"sheet\" data-page=\"1000000\" transform=\"translate(0 440)\">");
  ASSERT_LT(first, fifth);
  ASSERT_LT(fifth, last);
  ASSERT_NE(last, std::string::npos);
  const auto between = [&](size_t from, size_t to) { return Count(svg.substr(from, to - from), "class=\"stamp\""); };
  EXPECT_EQ(between(first, fifth), 1u);
  EXPECT_EQ(between(fifth, last), 2u);
  EXPECT_EQ(between(last, svg.size()), 1u);
  EXPECT_EQ(Count(svg, "id=\"layer-Annotation\""), 1u);
  EXPECT_EQ(Count(svg, "id=\"page-5-layer-Annotation\""), 1u);

  // An empty document still has its first page.
  SmartPtr<Document2D> blank(new Document2D());
  EXPECT_EQ(Count(SvgPageWriter::ToSvg(*blank), "<g class=\"sheet\" data-page=\"0\">"), 1u);
}

TEST(SvgPageWriter, DrawsStampsAndMarkersByLayer) {
  SmartPtr<Document2D> document(new Document2D());
  document->SetPageSize(300, 200);
  const SmartPtr<Element2D> root = document->GetTree();

  const SmartPtr<Stamp2D> stamp = Factory()->CreateStamp2D();
  SmartPtr<oxk::Image> image(new oxk::Image());
  image->SetImageData(2, 2, testsupport::TestPixels(2, 2));
  stamp->SetImage(image);
  stamp->SetStampExtents(geo::DBox2D{10, 20, 50, 60});
  stamp->SetHorFlip(true);
  stamp->SetTitle("Hot & <surface>");
  stamp->SetUseTitle(true);
  stamp->SetDescription("Let it cool");
  stamp->SetUseDescription(true);
  stamp->SetLayer(document->FindLayer(util::Symbol("Annotation")));
  root->AppendChild(SmartPtr<Node2D>(stamp.get()));

  const SmartPtr<Stamp2D> empty = Factory()->CreateStamp2D();
  empty->SetStampExtents(geo::DBox2D{100, 100, 120, 110});
  root->AppendChild(SmartPtr<Node2D>(empty.get()));  // on no layer, no image

  const SmartPtr<Annotation2D> marker = Factory()->CreateAnnotation2D();
  marker->SetIDPath(util::Symbol("/views/1/sym3"));
  marker->SetTransform(geo::FMat33(1, 0, 150, 0, 1, 40, 0, 0, 1));
  const SmartPtr<Layer2D> hidden = document->AddLayer(util::Symbol("Hidden"));
  hidden->SetVisible(false);
  marker->SetLayer(hidden);
  root->AppendChild(SmartPtr<Node2D>(marker.get()));

  const std::string svg = SvgPageWriter::ToSvg(*document);
  EXPECT_NE(svg.find("viewBox=\"0 0 300 200\""), std::string::npos);
  const size_t annotationLayer = svg.find("id=\"layer-Annotation\"");
  const size_t drawn = svg.find("<use href=\"#picture-1\" x=\"10\" y=\"140\" width=\"40\" height=\"40\"");
  ASSERT_NE(drawn, std::string::npos) << svg;  // page y runs up, SVG y down
  EXPECT_LT(annotationLayer, drawn);
  EXPECT_NE(svg.find("<symbol id=\"picture-1\" viewBox=\"0 0 2 2\" preserveAspectRatio=\"none\">"), std::string::npos);
  EXPECT_NE(svg.find("href=\"data:image/png;base64,iVBORw0KGgo"), std::string::npos);
  EXPECT_NE(svg.find("transform=\"translate(30 160) scale(-1 1) translate(-30 -160)\""), std::string::npos);
  EXPECT_NE(svg.find("<title>Hot &amp; &lt;surface&gt;\nLet it cool</title>"), std::string::npos);
  EXPECT_NE(svg.find(">Hot &amp; &lt;surface&gt;</text>"), std::string::npos);  // the caption
  EXPECT_NE(svg.find("id=\"layer-Hidden\" display=\"none\""), std::string::npos);
  EXPECT_NE(svg.find("<circle cx=\"150\" cy=\"160\""), std::string::npos);
  EXPECT_NE(svg.find(">/views/1/sym3</text>"), std::string::npos);
  EXPECT_EQ(Count(svg, "stroke-dasharray"), 1u);  // the stamp without image data
  EXPECT_EQ(Count(svg, "<image "), 1u);

  testsupport::TempFolder folder;
  ASSERT_TRUE(SvgPageWriter::Write(*document, folder.File("page.svg")));
  std::string written;
  ASSERT_TRUE(util::FileSystem::ReadFile(folder.File("page.svg"), written));
  EXPECT_EQ(written, svg);
  EXPECT_FALSE(SvgPageWriter::Write(*document, folder.File("no/such/folder/page.svg")));
}

TEST(SvgPageWriter, EmbedsEachDistinctPictureOnceAndPlacesEveryStampByReference) {
  SmartPtr<Document2D> document(new Document2D());
  document->SetPageSize(300, 200);
  std::vector<uint8_t> pixels = testsupport::TestPixels(3, 2);
  const util::SmartPtr<oximg::Image> shared(new oximg::Image({oximg::Frame(3, 2, pixels)}));
  const util::SmartPtr<oximg::Image> sameBytes(new oximg::Image({oximg::Frame(3, 2, pixels)}));
  pixels[0] ^= 0xff;
  const util::SmartPtr<oximg::Image> other(new oximg::Image({oximg::Frame(3, 2, pixels)}));
  // Stamps of one picture, of the same picture turned, of equal pixels decoded twice, of
  // other pixels, and one without a picture.
  const util::SmartPtr<oximg::Image> pictures[] = {
      shared, shared, shared->CreateCWRotated(1), shared->CreateCWRotated(1), sameBytes, other, nullptr};
  int x = 0;
  for (const auto& picture : pictures) {
    const SmartPtr<Stamp2D> stamp = Factory()->CreateStamp2D();
    SmartPtr<oxk::Image> image(new oxk::Image());
    image->SetImageData(picture);
    stamp->SetImage(image);
    stamp->SetStampExtents(geo::DBox2D{static_cast<double>(x), 0, x + 20.0, 20});
    x += 30;
    document->GetTree()->AppendChild(SmartPtr<Node2D>(stamp.get()));
  }
  const std::string svg = SvgPageWriter::ToSvg(*document);
  EXPECT_EQ(Count(svg, "<image "), 3u) << svg;  // as is, turned, and the other pixels
  EXPECT_EQ(Count(svg, "<use href=\"#picture-1\""), 3u);
  EXPECT_EQ(Count(svg, "<use href=\"#picture-2\""), 2u);
  EXPECT_EQ(Count(svg, "<use href=\"#picture-3\""), 1u);
  EXPECT_NE(svg.find("<symbol id=\"picture-2\" viewBox=\"0 0 2 3\""), std::string::npos);
  EXPECT_EQ(Count(svg, "stroke-dasharray"), 1u);
  // Every picture is defined before the first stamp that uses it.
  EXPECT_LT(svg.rfind("</defs>"), svg.find("<use "));
}

}  // namespace

namespace {

// A part's drawing: one group with its model path and name; its area without a stroke,
// visible lines solid and hidden lines dashed, each kind one path; what is not a number
// written as 0, so that the page stays valid for any geometry.
TEST(SvgPageWriter, DrawsAPartAsOneGroupOfItsLineArt) {
  SmartPtr<Document2D> document(new Document2D());
  document->SetPageSize(100, 100);
  const SmartPtr<Outline2D> part(new Outline2D());
  part->SetName("Cover <A>");
  part->SetModelPath("/1/2");
  LineArt2D art;
  art.areas = {{{10, 10}, {90, 10}, {90, 90}, {10, 90}}, {{40, 40}, {40, 60}, {60, 60}, {60, 40}}};
  art.outlines = {{{10, 10}, {90, 10}}};
  art.edges = {{{10, 10}, {50, 50}, {90, 90}}};
  art.hidden = {{{0, 0}, {std::nan(""), 5}}, {{1, 1}}};  // a line of one point draws nothing
  part->SetArt(art);
  part->SetLayer(document->FindLayer(util::Symbol(Document2D::kDrawingLayer)));
  document->GetTree()->AppendChild(SmartPtr<Node2D>(part.get()));
  const SmartPtr<Outline2D> nothing(new Outline2D());  // a part that shows nowhere
  document->GetTree()->AppendChild(SmartPtr<Node2D>(nothing.get()));

  const std::string svg = SvgPageWriter::ToSvg(*document);
  EXPECT_NE(svg.find("<g class=\"part\" data-path=\"/1/2\" data-name=\"Cover &lt;A&gt;\">\n"
                     "      <title>Cover &lt;A&gt; (/1/2)</title>"),
            std::string::npos)
      << svg;
  EXPECT_NE(svg.find("<path class=\"area\" d=\"M10 90 L90 90 L90 10 L10 10 Z M40 60 L40 40 L60 40 L60 60 Z\" "
                     "fill=\"#eef1f6\" fill-rule=\"evenodd\" stroke=\"none\"/>"),
            std::string::npos);
  EXPECT_NE(svg.find("<path class=\"hidden\" d=\"M0 100 L0 95\" fill=\"none\" stroke=\"#667085\" stroke-width=\"0.5\" "
                     "stroke-dasharray=\"3 2\""),
            std::string::npos);
  EXPECT_NE(svg.find("<path class=\"edge\" d=\"M10 90 L50 50 L90 10\""), std::string::npos);
  EXPECT_NE(svg.find("<path class=\"outline\" d=\"M10 90 L90 90\""), std::string::npos);
  EXPECT_EQ(Count(svg, "stroke-dasharray"), 1u);
  EXPECT_EQ(Count(svg, "<g class=\"part\""), 2u);
  EXPECT_EQ(Count(svg, "<path "), 4u);
}

}  // namespace
