#include "oxk/ModelFile.h"

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

namespace oxk {
namespace {

bool Fail(std::string* error, const std::string& why) {
  if (error != nullptr) {
    *error = why;
  }
  return false;
}

geo::Location PartLocation(pugi::xml_node part) {
  geo::Location location;
  if (pugi::xml_attribute full = part.attribute("location")) {
    geo::ParseXmlLocation(full.value(), location);
    return location;
  }
  if (pugi::xml_attribute position = part.attribute("position")) {
    geo::Location parsed;
    const std::string text = std::string("1 0 0 0 1 0 0 0 1 ") + position.value();
    if (geo::ParseXmlLocation(text.c_str(), parsed)) {
      location = parsed;
    }
  }
  return location;
}

// Builds the SBOM tree of an <sbom> element over the model tree; false (error says why)
// when an item is incomplete, names no part, or repeats an identifier or a part.
bool ReadSbom(pugi::xml_node sbom, const util::SmartPtr<Tree>& tree, const std::string& path,
              util::SmartPtr<illustration::SbomTree>& out, std::string* error) {
  util::SmartPtr<illustration::SbomTree> built(new illustration::SbomTree());
  auto addItem = [&](pugi::xml_node item, const util::SmartPtr<illustration::SbomInstance>& weld) {
    const util::Symbol id(item.attribute("id").value());
    const util::Symbol partPath(item.attribute("part").value());
    if (id.empty() || partPath.empty()) {
      return Fail(error, path + ": an SBOM item without an id or a part");
    }
    const util::SmartPtr<Instance> part = tree->FindInstance(partPath);
    if (!part) {
      return Fail(error, path + ": SBOM item \"" + id.str() + "\" names no part at " + partPath.str());
    }
    util::SmartPtr<illustration::SbomInstance> added;
    if (!built->AddInstance(weld, id, part, added)) {
      return Fail(error, path + ": SBOM item \"" + id.str() + "\" repeats an identifier or a part");
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
        return Fail(error, path + ": an SBOM weld without an id, or with a repeated one");
      }
      bool any = false;
      for (pugi::xml_node item : child.children("item")) {
        if (!addItem(item, weld)) {
          return false;
        }
        any = true;
      }
      if (!any) {
        return Fail(error, path + ": SBOM weld \"" + weld->GetId().str() + "\" has no items");
      }
    }
  }
  out = built;
  return true;
}

}  // namespace

bool ModelFile::Open(const std::string& path, bool illustration, util::SmartPtr<World>& world,
                     util::SmartPtr<ShapeScene>& scene, std::string* error, bool loadShapes) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_file(path.c_str());
  if (!parsed) {
    return Fail(error, path + ": " + parsed.description());
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
      if (id.empty()) {
        return Fail(error, path + ": a part without an id");
      }
      util::SmartPtr<ComponentNode> node;
      structure->CreateComponentNode(util::Symbol(part.attribute("name").value()), 0, node);
      const std::string shapeFile = part.attribute("shape").value();
      if (!shapeFile.empty()) {
        util::SmartPtr<ShapeSource> source;
        ShapeSource::Create(source, util::Symbol("file://" + folder + "/" + shapeFile), geo::FBox(), 0);
        node->SetShapeSource(source);
      }
      util::SmartPtr<ComponentInstance> instance;
      if (!parent->AddChild(node, id, instance)) {
        return Fail(error, path + ": part id \"" + id.str() + "\" used twice under one parent");
      }
      instance->SetLocation(PartLocation(part), false);
      if (!shapeFile.empty()) {
        withShapes.emplace_back(util::SmartPtr<Instance>(instance.get()), part.attribute("visible").as_bool(true));
      }
      pending.emplace_back(part, node);
    }
  }

  if (sbom) {
    util::SmartPtr<Tree> tree;
    util::SmartPtr<illustration::SbomTree> sbomTree;
    built->GetTree(tree);
    if (!ReadSbom(sbom, tree, path, sbomTree, error)) {
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
