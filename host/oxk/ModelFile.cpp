#include "oxk/ModelFile.h"

#include <algorithm>
#include <filesystem>
#include <pugixml.hpp>
#include <vector>

#include "geo/XmlElem.h"
#include "oxk/ComponentInstance.h"
#include "oxk/Kernel.h"
#include "oxk/ShapeInstance.h"
#include "oxk/illustration/Illustration3dScene.h"
#include "oxkapp/illustration/LimMultiRootContainer.h"
#include "oxloader/Loader.h"
#include "util/ConfinedFolder.h"
#include "util/FileSystem.h"
#include "util/Utf8.h"

namespace oxk {
namespace {

bool Fail(std::string* error, const std::string& why) {
  if (error != nullptr) {
    *error = why;
  }
  return false;
}

// Where a node stands in the text, for messages.
std::string At(const std::string& path, const std::string& text, pugi::xml_node node) {
  ptrdiff_t offset = node.offset_debug();
  if (offset >= 0 && (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)) {
    // Text: where its first word is.
    const std::string_view value = node.value();
    offset += static_cast<ptrdiff_t>(std::min(value.find_first_not_of(" \t\r\n"), value.size()));
  }
  const auto end = text.begin() + (offset < 0 ? 0 : std::min(static_cast<size_t>(offset), text.size()));
  return path + ": line " + std::to_string(1 + std::count(text.begin(), end, '\n')) + ": ";
}

// A part's placement: "location" (twelve numbers) or "position" (three); false when the
// one given does not read whole as finite numbers.
bool PartLocation(pugi::xml_node part, geo::Location& location) {
  location = geo::Location();
  if (pugi::xml_attribute full = part.attribute("location")) {
    return geo::ParseXmlLocationExact(full.value(), location);
  }
  if (pugi::xml_attribute position = part.attribute("position")) {
    double p[3];
    if (!geo::ParseXmlNumbersExact(position.value(), p, 3)) {
      return false;
    }
    location.SetPos(geo::DPoint3D(p[0], p[1], p[2]));
  }
  return true;
}

// The one root, and the depth of the deepest element; false (error says where) for text
// or a second element beside the root (the text is read as a fragment, so that these
// are seen, not skipped), or nesting beyond kMaxDepth.
bool CheckShape(const pugi::xml_document& document, const std::string& path, const std::string& text,
                std::string* error) {
  pugi::xml_node root;
  for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
    if ((node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) &&
        std::string_view(node.value()).find_first_not_of(" \t\r\n") != std::string_view::npos) {
      return Fail(error, At(path, text, node) + "text outside the root element");
    }
    if (node.type() == pugi::node_element) {
      if (root) {
        return Fail(error, At(path, text, node) + "a second root element <" + node.name() + ">");
      }
      root = node;
    }
  }
  // Depth-first without recursion.
  std::vector<std::pair<pugi::xml_node, int>> pending;
  if (root) {
    pending.emplace_back(root, 1);
  }
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    if (depth > ModelFile::kMaxDepth) {
      return Fail(error, At(path, text, node) + "elements nested deeper than " + std::to_string(ModelFile::kMaxDepth) +
                             " levels");
    }
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      if (child.type() == pugi::node_element) {
        pending.emplace_back(child, depth + 1);
      }
    }
  }
  return true;
}

// Builds the SBOM tree of an <sbom> element over the model tree; false (error says why)
// when an item is incomplete, names no part, or repeats an identifier or a part.
bool ReadSbom(pugi::xml_node sbom, const util::SmartPtr<Tree>& tree, const std::string& path, const std::string& text,
              util::SmartPtr<illustration::SbomTree>& out, std::string* error) {
  util::SmartPtr<illustration::SbomTree> built(new illustration::SbomTree());
  auto addItem = [&](pugi::xml_node item, const util::SmartPtr<illustration::SbomInstance>& weld) {
    const util::Symbol id(item.attribute("id").value());
    const util::Symbol partPath(item.attribute("part").value());
    if (id.empty() || partPath.empty()) {
      return Fail(error, At(path, text, item) + "an SBOM item without an id or a part");
    }
    const util::SmartPtr<Instance> part = tree->FindInstance(partPath);
    if (!part) {
      return Fail(error, At(path, text, item) + "SBOM item \"" + id.str() + "\" names no part at " + partPath.str());
    }
    util::SmartPtr<illustration::SbomInstance> added;
    if (!built->AddInstance(weld, id, part, added)) {
      return Fail(error, At(path, text, item) + "SBOM item \"" + id.str() + "\" repeats an identifier or a part");
    }
    return true;
  };
  for (pugi::xml_node child : sbom.children()) {
    const std::string kind = child.name();
    if (kind == "item") {
      if (!addItem(child, {})) {
        return false;
      }
    } else if (kind == "weld") {
      util::SmartPtr<illustration::SbomInstance> weld;
      if (!built->AddInstance({}, util::Symbol(child.attribute("id").value()), {}, weld)) {
        return Fail(error, At(path, text, child) + "an SBOM weld without an id, or with a repeated one");
      }
      bool any = false;
      for (pugi::xml_node item : child.children("item")) {
        if (!addItem(item, weld)) {
          return false;
        }
        any = true;
      }
      if (!any) {
        return Fail(error, At(path, text, child) + "SBOM weld \"" + weld->GetId().str() + "\" has no items");
      }
    }
  }
  out = built;
  return true;
}

}  // namespace

bool ModelFile::Open(const std::string& path, bool illustration, util::SmartPtr<World>& world,
                     util::SmartPtr<ShapeScene>& scene, std::string* error, bool loadShapes) {
  std::string text;
  std::string why;
  if (!util::FileSystem::ReadFile(path, text, why, kMaxBytes)) {
    return Fail(error, path + ": " + why);
  }
  return OpenText(path, text, illustration, world, scene, error, loadShapes);
}

bool ModelFile::OpenText(const std::string& path, const std::string& text, bool illustration,
                         util::SmartPtr<World>& world, util::SmartPtr<ShapeScene>& scene, std::string* error,
                         bool loadShapes) {
  if (const size_t bad = util::Utf8::FindInvalid(text);
      bad != util::Utf8::npos || text.find('\0') != std::string::npos) {
    const size_t at = bad != util::Utf8::npos ? bad : text.find('\0');
    return Fail(error,
                path + ": line " +
                    std::to_string(1 + std::count(text.begin(), text.begin() + static_cast<ptrdiff_t>(at), '\n')) +
                    ": not UTF-8 text");
  }
  pugi::xml_document document;
  const pugi::xml_parse_result parsed =
      document.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_fragment, pugi::encoding_utf8);
  if (!parsed) {
    return Fail(error, path + ": line " +
                           std::to_string(1 + std::count(text.begin(), text.begin() + parsed.offset, '\n')) + ": " +
                           parsed.description());
  }
  if (!CheckShape(document, path, text, error)) {
    return false;
  }
  pugi::xml_node model = document.child("model");
  if (!model) {
    return Fail(error, path + ": not a model description (no <model> root)");
  }
  const std::string folder = std::filesystem::absolute(path).parent_path().string();

  util::SmartPtr<MultiRootContainer> container(illustration ? new oxkapp::illustration::LimMultiRootContainer()
                                                            : new MultiRootContainer());
  util::SmartPtr<Structure> structure;
  util::SmartPtr<ComponentNode> root;
  container->GetPrimaryStructure(structure);
  structure->GetRoot(root);
  structure->SetAnchor(util::SmartPtr<Anchor>(new Anchor(folder)));

  util::SmartPtr<World> built(new World());
  built->SetMultiRootContainer(container);
  const pugi::xml_node sbom = model.child("sbom");
  util::SmartPtr<illustration::Illustration3dScene> illustrationScene;
  if (sbom) {
    illustrationScene = util::SmartPtr<illustration::Illustration3dScene>(new illustration::Illustration3dScene());
  }
  util::SmartPtr<ShapeScene> shapes(illustrationScene ? illustrationScene.get() : new ShapeScene());

  // Depth-first without recursion, so a deep description cannot exhaust the stack.
  std::vector<std::pair<pugi::xml_node, util::SmartPtr<ComponentNode>>> pending{{model, root}};
  std::vector<std::pair<util::SmartPtr<Instance>, bool>> withShapes;  // and whether shown
  while (!pending.empty()) {
    auto [xml, parent] = pending.back();
    pending.pop_back();
    for (pugi::xml_node part : xml.children("part")) {
      const util::Symbol id(part.attribute("id").value());
      if (id.empty() || id.str().find('/') != std::string::npos) {
        return Fail(error, At(path, text, part) + "a part without an id, or with a \"/\" in it");
      }
      geo::Location location;
      if (!PartLocation(part, location)) {
        return Fail(error, At(path, text, part) + "part \"" + id.str() +
                               "\": its location or position is not a list of finite numbers");
      }
      bool visible = true;
      if (pugi::xml_attribute shown = part.attribute("visible"); shown && !geo::ParseXmlBool(shown.value(), visible)) {
        return Fail(error, At(path, text, part) + "part \"" + id.str() +
                               "\": visible is neither true nor false: " + shown.value());
      }
      util::SmartPtr<ComponentNode> node;
      structure->CreateComponentNode(util::Symbol(part.attribute("name").value()), 0, node);
      const std::string shapeFile = part.attribute("shape").value();
      std::string notPlain;
      if (!shapeFile.empty() && !util::ConfinedFolder::IsPlainName(shapeFile, notPlain)) {
        return Fail(error, At(path, text, part) + "part \"" + id.str() +
                               "\": its shape file must lie in the model's folder, not " + shapeFile + " (" + notPlain +
                               ")");
      }
      if (!shapeFile.empty()) {
        util::SmartPtr<ShapeSource> source;
        ShapeSource::Create(source, util::Symbol("file://" + folder + "/" + shapeFile), geo::FBox(), 0);
        node->SetShapeSource(source);
      }
      util::SmartPtr<ComponentInstance> instance;
      if (!parent->AddChild(node, id, instance)) {
        return Fail(error, At(path, text, part) + "part id \"" + id.str() + "\" used twice under one parent");
      }
      instance->SetLocation(location, false);
      if (!shapeFile.empty()) {
        withShapes.emplace_back(util::SmartPtr<Instance>(instance.get()), visible);
      }
      pending.emplace_back(part, node);
    }
  }

  if (sbom) {
    util::SmartPtr<Tree> tree;
    util::SmartPtr<illustration::SbomTree> sbomTree;
    built->GetTree(tree);
    if (!ReadSbom(sbom, tree, path, text, sbomTree, error)) {
      return false;
    }
    illustrationScene->SetSbomTree(sbomTree);
  }
  built->AddScene(util::SmartPtr<Scene>(shapes.get()));

  auto loader = oxloader::Loader::GetLoader();
  for (const auto& [instance, visible] : withShapes) {
    util::SmartPtr<ShapeInstance> shape = shapes->CreateShapeInstance(instance, visible, util::Symbol());
    if (loadShapes) {
      loader->LoadShape(shape->GetShape(), 4, {}, {});
    }
  }
  world = built;
  scene = shapes;
  return true;
}

}  // namespace oxk
