#include "oxk/ModelFile.h"

#include <filesystem>
#include <pugixml.hpp>
#include <vector>

#include "geo/XmlElem.h"
#include "oxk/ComponentInstance.h"
#include "oxk/Kernel.h"
#include "oxk/ShapeInstance.h"
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

}  // namespace

bool ModelFile::Open(const std::string& path, bool illustration, util::SmartPtr<World>& world,
                     util::SmartPtr<ShapeScene>& scene, std::string* error) {
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
  util::SmartPtr<ShapeScene> shapes(new ShapeScene());
  built->AddScene(util::SmartPtr<Scene>(shapes.get()));

  // Depth-first without recursion, so a deep description cannot exhaust the stack.
  std::vector<std::pair<pugi::xml_node, util::SmartPtr<ComponentNode>>> pending{{model, root}};
  std::vector<util::SmartPtr<Instance>> withShapes;
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
        withShapes.push_back(util::SmartPtr<Instance>(instance.get()));
      }
      pending.emplace_back(part, node);
    }
  }

  auto loader = oxloader::Loader::GetLoader();
  for (const auto& instance : withShapes) {
    util::SmartPtr<ShapeInstance> shape = shapes->CreateShapeInstance(instance, true, util::Symbol());
    loader->LoadShape(shape->GetShape(), 4, {}, {});
  }
  world = built;
  scene = shapes;
  return true;
}

}  // namespace oxk
