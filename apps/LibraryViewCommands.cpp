#include "LibraryViewCommands.h"

#include "CatalogueReport.h"

namespace symbols_tool {

void ListCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("list", "The merged catalogue by category, then entries without a category");
  m_app->add_flag("--json", m_json, "Write JSON instead of text");
}

int ListCommand::Run(ToolContext& context) {
  if (!context.Install()) {
    return kFailure;
  }
  const CatalogueReport report(context.Catalogue());
  if (m_json) {
    WriteJson(report.ListJson(), context.Out());
  } else {
    report.List(context.Out());
  }
  return kOk;
}

void ShowCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("show", "Every field of one shape, image or category, tags included");
  m_app->add_option("kind", m_kind, "shape, image or category")
      ->required()
      ->check(CLI::IsMember({"shape", "image", "category"}));
  m_app->add_option("id", m_id, "The entry's identifier")->required();
  m_app->add_flag("--json", m_json, "Write JSON instead of text");
}

int ShowCommand::Run(ToolContext& context) {
  if (!context.Install()) {
    return kFailure;
  }
  const CatalogueReport report(context.Catalogue());
  bool shown = false;
  if (m_json) {
    nlohmann::json entry = report.ShowJson(m_kind, m_id);
    shown = !entry.is_null();
    if (shown) {
      nlohmann::json answer = JsonAnswer();
      answer["entry"] = std::move(entry);
      WriteJson(answer, context.Out());
    }
  } else {
    shown = m_kind == "shape"   ? report.ShowShape(m_id, context.Out())
            : m_kind == "image" ? report.ShowImage(m_id, context.Out())
                                : report.ShowCategory(m_id, context.Out());
  }
  return shown ? kOk : context.Failure("no " + m_kind + " with identifier " + std::to_string(m_id));
}

void FindCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand(
      "find", "Entries whose name, title, description, tooltip or tag texts contain TEXT, in any letter case");
  m_app->add_option("text", m_text, "The text to look for")->required();
  m_app->add_flag("--json", m_json, "Write JSON instead of text");
}

int FindCommand::Run(ToolContext& context) {
  if (!context.Install()) {
    return kFailure;
  }
  const CatalogueReport report(context.Catalogue());
  size_t found = 0;
  if (m_json) {
    const nlohmann::json matches = report.FindJson(m_text);
    found = matches["matches"].size();
    WriteJson(matches, context.Out());
  } else {
    found = report.Find(m_text, context.Out());
  }
  return found > 0 ? kOk : context.Failure("nothing matches \"" + m_text + "\"");
}

}  // namespace symbols_tool
