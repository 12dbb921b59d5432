// Where a 2D symbol's image comes from, and loading it on the loader's thread.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/CatalogueTestSupport.h"
#include "oxk/ShapeView.h"
#include "oxk/illustration/Limner.h"
#include "oxkapp/illustration/OrbisApp.h"
#include "support/TempFolder.h"
#include "support/TestImages.h"
#include "symbol2d/Symbol2DTestSupport.h"

namespace {

using namespace symbol2dtest;
using oxannotations::Symbol2D;
using oxannotations::Symbol2DInfo;
using util::SmartPtr;

class InIllustrationApplication {
 public:
  explicit InIllustrationApplication(const std::string& folder) {
    oxk::illustration::SetRunningLimner(true);
    oxkapp::illustration::OrbisApp::GetOrbisApp()->SetTemporaryDirectory(util::Symbol(folder));
  }
  InIllustrationApplication(const InIllustrationApplication&) = delete;
  InIllustrationApplication& operator=(const InIllustrationApplication&) = delete;
  ~InIllustrationApplication() {
    oxk::illustration::SetRunningLimner(false);
    oxkapp::illustration::OrbisApp::GetOrbisApp()->SetTemporaryDirectory(util::Symbol());
  }
};

TEST(Symbol2DImage, InsideTheIllustrationApplicationTheFileComesFromItsTemporaryFolder) {
  testsupport::TempFolder folder;
  SmartPtr<Symbol2D> symbol(new Symbol2D());
  util::Symbol url("untouched");
  EXPECT_FALSE(symbol->GetImageFromTempDir(url));  // no file name
  EXPECT_TRUE(url == "untouched");
  symbol->InitImageInfo(util::Symbol(), util::Symbol("Gloves"), util::Symbol("gloves.png"), 3, true);
  {
    InIllustrationApplication limner("");
    EXPECT_FALSE(symbol->GetImageFromTempDir(url));
    EXPECT_TRUE(url == "untouched");
  }
  InIllustrationApplication limner(folder.Path());
  const std::string path = folder.Path() + "/Symbols/gloves.png";
  EXPECT_FALSE(symbol->GetImageFromTempDir(url));
  EXPECT_TRUE(url == path);
  ASSERT_TRUE((std::filesystem::create_directories(folder.Path() + "/Symbols"), testsupport::WriteTestPng(path, 2, 2)));
  EXPECT_TRUE(symbol->GetImageFromTempDir(url));
  EXPECT_TRUE(url == "file:///" + path);
}

TEST(Symbol2DImage, CatalogueLookUpsReadTheLibraryAfreshAtEachCall) {
  oxsymbols::ScratchLibrary library("symbol2d-lookup");
  const auto entry = [](int id, const char* url) {
    return "<symbol id=\"" + std::to_string(id) + "\" categoryId=\"-1\"><name>n</name><image url=\"" +
           std::string(url) + "\"/></symbol>";
  };
  library.Put(library.UserFile(), oxsymbols::LibraryDoc("", "", entry(7, "SymbolsLibrary\\2D\\a.png")));
  SmartPtr<Symbol2D> symbol(new Symbol2D());
  // The catalogue makes the stored relative url absolute, with forward slashes.
  const std::string absolute = library.base + "/SymbolsLibrary/2D/a.png";
  EXPECT_TRUE(symbol->GetImageByID(7) == absolute);
  EXPECT_TRUE(symbol->GetImageUrlByID(7) == "file:///" + absolute);
  EXPECT_TRUE(symbol->GetImageByID(8).empty());
  EXPECT_TRUE(symbol->GetImageUrlByID(8).empty());

  library.Put(library.UserFile(), oxsymbols::LibraryDoc("", "", entry(8, "/abs/b.png")));
  EXPECT_TRUE(symbol->GetImageByID(7).empty());
  EXPECT_TRUE(symbol->GetImageUrlByID(8) == "file:////abs/b.png");
}

class Symbol2DLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testsupport::WriteTestPng(folder.File("wide.png"), 4, 2));
    record.imageName = util::Symbol("wide");
    record.showTooltipTitle = true;
    record.width = 30;
    record.height = 30;
  }
  // A symbol over the test image (or another file), not yet attached.
  SmartPtr<TestSymbol> NewSymbol(const std::string& file = "wide.png") {
    SmartPtr<TestSymbol> symbol(new TestSymbol(record));
    symbol->InitImageInfo(util::Symbol(folder.File(file)), util::Symbol("wide"), util::Symbol(file), 1, true);
    return symbol;
  }

  ScopedWorld world;
  testsupport::TempFolder folder;
  Symbol2DInfo record;
};

TEST_F(Symbol2DLoad, AttachingLoadsTheImageTurnsItOnceAndShowsItOnTheLoaderThread) {
  record.rotateRight = 90;
  SmartPtr<TestSymbol> symbol = NewSymbol();
  SmartPtr<RecordingObserver> observer(new RecordingObserver());
  EXPECT_FALSE(symbol->RegisterObserver({}));
  ASSERT_TRUE(symbol->RegisterObserver(observer));
  SmartPtr<RecordingEvent> caller(new RecordingEvent(symbol.get()));
  symbol->SetEvent(SmartPtr<oxk::AsyncEvent>(caller.get()));
  ScopedScene<oxk::Scene> scene;

  ASSERT_TRUE(symbol->AttachScene(scene.Get()));
  ASSERT_TRUE(caller->WaitForCompletion(10s));
  ASSERT_TRUE(WaitForLoader());
  EXPECT_EQ(caller->completions, 1);
  EXPECT_EQ(caller->GetRefusedCompletions(), 0);
  EXPECT_TRUE(caller->imageWasShown);  // completed after the symbol took the image
  EXPECT_EQ(caller->thread, oxloader::Loader::GetLoader()->GetCompletionThreadId());
  EXPECT_FALSE(symbol->GetEvent());

  // 4 by 2 turned a quarter clockwise: 2 by 4, the old bottom-left pixel now top-left.
  EXPECT_EQ(symbol->GetImageWidth(), 2);
  EXPECT_EQ(symbol->GetImageHeight(), 4);
  EXPECT_EQ(symbol->GetImage()->GetPixels()[0], testsupport::PixelAt(0, 1)[0]);
  EXPECT_EQ(symbol->GetImage()->GetPixels()[1], testsupport::PixelAt(0, 1)[1]);
  float width = 0, height = 0;
  symbol->GetOrigSize(width, height);
  EXPECT_EQ(width, 1.0f);
  EXPECT_EQ(height, 2.0f);

  const SmartPtr<oxmk::Stamp> markup = symbol->GetMarkup();
  ASSERT_TRUE(markup);
  EXPECT_EQ(markup->GetImage().get(), symbol->GetImage()->GetImageData().get());
  EXPECT_TRUE(markup->IsVisible());
  EXPECT_EQ(markup->GetTransparency(), 0.0f);
  EXPECT_EQ(symbol->GetTransparency(), 0.0f);
  EXPECT_EQ(markup->GetController(), static_cast<oxk::MarkupController*>(symbol.get()));
  EXPECT_EQ(scene->GetMarkups().size(), 1u);
  EXPECT_EQ(symbol->GetScenes().size(), 1u);
  ASSERT_EQ(observer->Count(), 1u);
  EXPECT_TRUE(observer->shown[0]);
  EXPECT_EQ(observer->subjects[0], static_cast<util::RefCounted*>(symbol.get()));

  // A reload keeps the turned data as it is; an already complete caller's event is left.
  SmartPtr<RecordingEvent> again(new RecordingEvent());
  symbol->LoadImage(again.get());
  ASSERT_TRUE(again->WaitForCompletion(10s));
  ASSERT_TRUE(WaitForLoader());
  EXPECT_EQ(symbol->GetImageWidth(), 2);  // the loaded data kept, not turned again
  EXPECT_EQ(symbol->GetImage()->GetPixels()[0], testsupport::PixelAt(0, 1)[0]);
  EXPECT_EQ(again->completions, 1);
  symbol->LoadImage(caller.get());
  ASSERT_TRUE(WaitForLoader());
  EXPECT_EQ(caller->completions, 1);
  EXPECT_EQ(caller->GetRefusedCompletions(), 0);
  EXPECT_EQ(observer->Count(), 3u);
  EXPECT_TRUE(symbol->UnregisterObserver(observer));
  EXPECT_FALSE(symbol->UnregisterObserver(observer));
}

TEST_F(Symbol2DLoad, StampsOfOneFileShareOnePicturePerTurnAndLetItGoWithTheLast) {
  const oxloader::DecodedImageCache& decoded = oxloader::Loader::GetLoader()->GetDecodedImages();
  const size_t before = decoded.GetCount();
  {
    SmartPtr<TestSymbol> plain = NewSymbol();
    SmartPtr<TestSymbol> same = NewSymbol();
    record.rotateRight = 90;
    SmartPtr<TestSymbol> turned = NewSymbol();
    SmartPtr<TestSymbol> turnedToo = NewSymbol();
    ScopedScene<oxk::Scene> scene;
    for (const auto& symbol : {plain, same, turned, turnedToo}) {
      ASSERT_TRUE(symbol->AttachScene(scene.Get()));
    }
    ASSERT_TRUE(WaitForLoader());
    const auto data = [](const SmartPtr<TestSymbol>& symbol) { return symbol->GetImage()->GetImageData(); };
    EXPECT_EQ(data(plain), data(same));
    EXPECT_EQ(data(turned), data(turnedToo));
    EXPECT_NE(data(plain), data(turned));
    EXPECT_EQ(decoded.GetCount(), before + 1);  // one file decoded once
    // Each draws its own: the plain ones 4 by 2 as the file, the turned ones 2 by 4.
    EXPECT_EQ(same->GetMarkup()->GetImage(), data(same));
    EXPECT_EQ(same->GetImage()->GetPixels(), testsupport::TestPixels(4, 2));
    EXPECT_EQ(turnedToo->GetMarkup()->GetImage(), data(turnedToo));
    EXPECT_EQ(turnedToo->GetImageWidth(), 2);
    EXPECT_EQ(turnedToo->GetImage()->GetPixels()[0], testsupport::PixelAt(0, 1)[0]);

    // A file changed on disk is not taken from what the others show.
    ASSERT_TRUE(testsupport::WriteTestPng(folder.File("wide.png"), 6, 2));
    record.rotateRight = 0;
    SmartPtr<TestSymbol> later = NewSymbol();
    ASSERT_TRUE(later->AttachScene(scene.Get()));
    ASSERT_TRUE(WaitForLoader());
    EXPECT_EQ(later->GetImageWidth(), 6);
    EXPECT_EQ(plain->GetImageWidth(), 4);
  }
  ASSERT_TRUE(WaitForLoader());
  EXPECT_EQ(decoded.GetCount(), before);  // the last stamp let go
}

TEST_F(Symbol2DLoad, AMissingFileStillEndsTheLoadWithoutImageData) {
  SmartPtr<TestSymbol> symbol = NewSymbol("missing.png");
  SmartPtr<RecordingEvent> caller(new RecordingEvent());
  ScopedScene<oxk::Scene> scene;
  symbol->SetEvent(SmartPtr<oxk::AsyncEvent>(caller.get()));
  ASSERT_TRUE(symbol->AttachScene(scene.Get()));
  ASSERT_TRUE(caller->WaitForCompletion(10s));
  ASSERT_TRUE(WaitForLoader());
  EXPECT_EQ(symbol->GetImageWidth(), -1);
  EXPECT_EQ(symbol->GetImageHeight(), -1);
  float width = 0, height = 0;
  symbol->GetOrigSize(width, height);
  EXPECT_EQ(width, -0.5f);
  EXPECT_FALSE(symbol->GetMarkup()->GetImage());
}

TEST_F(Symbol2DLoad, ASymbolFromAFileKeepsItsOriginalSize) {
  SmartPtr<TestSymbol> symbol = NewSymbol();
  symbol->SetCreatedFromFile(true);
  ScopedScene<oxk::Scene> scene;
  ASSERT_TRUE(symbol->AttachScene(scene.Get()));
  ASSERT_TRUE(WaitForLoader());
  float width = 0, height = 0;
  symbol->GetOrigSize(width, height);
  EXPECT_EQ(width, 30.0f);
  EXPECT_EQ(height, 30.0f);
}

TEST_F(Symbol2DLoad, TheTemporaryFolderGoesWhenTheLoadEnds) {
  SmartPtr<TestSymbol> symbol = NewSymbol();
  folder.Write("extracted/Symbols/wide.png", "x");
  symbol->SetTempDir(folder.File("extracted"));
  symbol->LoadImage(nullptr);
  ASSERT_TRUE(WaitForLoader());
  EXPECT_FALSE(std::filesystem::exists(folder.File("extracted")));
  EXPECT_EQ(symbol->GetTempDir(), "");

  folder.Write("again/x", "x");
  symbol->SetTempDir(folder.File("again"));
  symbol->DeleteTempDir();
  EXPECT_FALSE(std::filesystem::exists(folder.File("again")));
}

TEST_F(Symbol2DLoad, NegativeSizesAskForOneScreenPixelPerImagePixel) {
  record.width = -1;
  record.height = -1;
  SmartPtr<TestSymbol> symbol = NewSymbol();
  // An orthographic view 800 pixels wide showing 200 units: a pixel is a quarter unit.
  ScopedScene<oxk::Scene> scene;
  geo::Camera3D camera = geo::Camera3D::Orthographic(geo::Location(geo::FMat33::IDENTITY, {0, 0, 100}), 200);
  camera.SetViewport(800, 600);
  scene->AddView(SmartPtr<oxk::View>(new oxk::ShapeView(camera)));
  ASSERT_TRUE(symbol->AttachScene(scene.Get()));
  ASSERT_TRUE(WaitForLoader());
  // The 4 by 2 image: 4 pixels wide is 1 unit, so half extents 0.5 by 0.25.
  geo::DVec3 size;
  symbol->GetMarkupSize(0, size);
  EXPECT_NEAR(size.x, 0.5, 1e-6);
  EXPECT_NEAR(size.y, 0.25, 1e-6);
}

}  // namespace
