#include "DocumentCommands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "CatalogueReport.h"
#include "Document.h"
#include "DocumentFlattener.h"
#include "DocumentOperations.h"
#include "JsonOutput.h"
#include "OutputFile.h"
#include "Utf8Text.h"
#include "util/SafeFileWriter.h"

namespace symbols_tool {

namespace fs = std::filesystem;

namespace {

// Opens (and locks) the document after the catalogue's locations are installed; false
// after a message (the document is not touched). A command that changes the document
// opens it for writing, changes it, saves it, and only then says what it did.
bool OpenDocument(ToolContext& context, const std::string& folder, Document::Access access, Document& document) {
  if (!context.Install()) {
    return false;
  }
  std::string error;
  const auto notice = [&context](const std::string& line) {
    context.Err() << "symbols: " << EscapeForTerminal(line) << "\n";
  };
  if (!document.Open(folder, access, error, notice)) {
    (void)context.Failure(error);
    return false;
  }
  for (const std::string& warning : document.GetWarnings()) {
    context.Err() << "symbols: " << EscapeForTerminal(warning) << "\n";
  }
  return true;
}

int SaveDocument(ToolContext& context, Document& document) {
  std::string error;
  if (!document.Save(error)) {
    return context.Failure(error);
  }
  return kOk;
}

std::string Range() {
  return "within " + std::to_string(static_cast<long long>(kMaxCoordinate)) + " of 0";
}

// The real place of a path that may not exist yet: its folder with links resolved, and
// its name (a link at the name itself followed as a write would follow it).
bool RealPlace(const std::string& path, fs::path& real, std::string& error) {
  std::string target;
  if (!util::SafeFileWriter::ResolveTarget(path, target, error)) {
    return false;
  }
  std::string normal = fs::absolute(target).lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') {
    normal.pop_back();
  }
  const fs::path absolute(normal);
  std::error_code failed;
  const fs::path folder = fs::weakly_canonical(absolute.parent_path(), failed);
  if (failed) {
    error = failed.message();
    return false;
  }
  real = absolute.has_parent_path() && absolute != absolute.root_path() ? folder / absolute.filename() : absolute;
  return true;
}

// Output never goes into a document: not over one of its files, nor into its folder.
bool IsOutsideDocument(const std::string& out, const std::string& document, std::string& error) {
  fs::path target;
  fs::path folder;
  if (!RealPlace(out, target, error) || !RealPlace(document, folder, error)) {
    error = "cannot tell where " + out + " is: " + error;
    return false;
  }
  const std::string inside = folder.string() + "/";
  if (target == folder || target.string().compare(0, inside.size(), inside) == 0) {
    error = "the page cannot be written into the document " + document + ": " + out;
    return false;
  }
  return true;
}

void AddDocumentArgument(CLI::App& app, std::string& document) {
  app.add_option("document", document, "The document folder")->required();
}

// Where every symbol is now, to tell what a change of the model did to them.
std::map<std::string, AnnotationView> Snapshot(const Document& document) {
  std::map<std::string, AnnotationView> views;
  for (const AnnotationView& view : DescribeAnnotations(document)) {
    views[view.idPath] = view;
  }
  return views;
}

void TellWhatFollowed(const std::map<std::string, AnnotationView>& before, const Document& document,
                      std::ostream& out) {
  for (const AnnotationView& now : DescribeAnnotations(document)) {
    const auto was = before.find(now.idPath);
    if (was == before.end()) {
      continue;
    }
    const std::string name = EscapeForTerminal(now.idPath) + " (" + EscapeForTerminal(now.title) + ")";
    if (FormatPoint(was->second.position) != FormatPoint(now.position)) {
      out << "  " << name << " followed: " << FormatPoint(was->second.position) << " -> " << FormatPoint(now.position)
          << "\n";
    }
    if (was->second.visible != now.visible) {
      out << "  " << name << " is now " << (now.visible ? "shown" : "hidden") << "\n";
    }
  }
}

nlohmann::json Triple(const geo::DPoint3D& point) {
  return {point.x, point.y, point.z};
}

nlohmann::json Json(const AnnotationView& view) {
  if (view.kept) {
    return {{"type", view.type}, {"id", view.idPath}, {"kept", true}};
  }
  nlohmann::json item = {{"type", view.type},
                         {"id", view.idPath},
                         {"title", view.title},
                         {"position", Triple(view.position)},
                         {"visible", view.visible}};
  nlohmann::json entry = {{"name", view.entry.name}, {"file", view.entry.file}};
  if (view.entry.id >= 0) {
    entry["id"] = view.entry.id;
  }
  item["entry"] = entry;
  if (view.type == "symbol2d") {
    item["size"] = {view.width, view.height};
    item["page"] = view.page;
    item["rotation"] = view.rotation;
    item["flip"] = view.flip;
    item["reverse"] = view.reverse;
  }
  if (view.type == "symbol3d") {
    nlohmann::json parts = nlohmann::json::array();
    for (const AnnotationView::Connection& part : view.parts) {
      nlohmann::json connection = {{"part", part.part}, {"offset", {part.offset.x, part.offset.y, part.offset.z}}};
      if (!part.assembly.empty()) {
        connection["assembly"] = part.assembly;
      }
      parts.push_back(connection);
    }
    item["parts"] = parts;
  }
  return item;
}

// The annotation with that identifier path as `doc list --json` gives it; null when the
// document holds none.
nlohmann::json JsonOf(const Document& document, const std::string& idPath) {
  for (const AnnotationView& view : DescribeAnnotations(document)) {
    if (view.idPath == idPath) {
      return Json(view);
    }
  }
  return nullptr;
}

// What a change of the model did to the symbols: those that moved, or were shown or
// hidden, with before and after.
nlohmann::json JsonOfFollowers(const std::map<std::string, AnnotationView>& before, const Document& document) {
  nlohmann::json symbols = nlohmann::json::array();
  for (const AnnotationView& now : DescribeAnnotations(document)) {
    const auto was = before.find(now.idPath);
    if (was == before.end() || now.kept) {
      continue;
    }
    const bool moved = FormatPoint(was->second.position) != FormatPoint(now.position);
    if (!moved && was->second.visible == now.visible) {
      continue;
    }
    symbols.push_back({{"id", now.idPath},
                       {"title", now.title},
                       {"before", Triple(was->second.position)},
                       {"after", Triple(now.position)},
                       {"visible", now.visible}});
  }
  return symbols;
}

// The instances of a part before and after a change, by model path.
nlohmann::json JsonOfParts(const std::vector<PartPlace>& before, const std::vector<PartPlace>& after) {
  nlohmann::json parts = nlohmann::json::array();
  for (const PartPlace& now : after) {
    const auto was = std::find_if(before.begin(), before.end(), [&](const PartPlace& p) { return p.path == now.path; });
    nlohmann::json part = {
        {"part", now.path}, {"name", now.name}, {"after", Triple(now.position)}, {"visible", now.visible}};
    if (was != before.end()) {
      part["before"] = Triple(was->position);
    }
    parts.push_back(part);
  }
  return parts;
}

}  // namespace

bool ParseNumbers(const std::string& text, size_t count, std::vector<double>& out) {
  out.clear();
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find(',', start), text.size());
    double value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + end;
    const auto [ptr, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || ptr != last || !std::isfinite(value) ||
        std::fabs(value) > kMaxCoordinate) {
      return false;
    }
    out.push_back(value);
    start = end + 1;
  }
  return out.size() == count;
}

std::string FormatNumber(double value) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 2);
  if (error != std::errc()) {
    return "?";
  }
  std::string text(buffer, end);
  while (text.back() == '0') {
    text.pop_back();
  }
  if (text.back() == '.') {
    text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

void WriteAnnotation(const AnnotationView& view, const std::string& indent, std::ostream& out) {
  if (view.kept) {
    out << indent << EscapeForTerminal(view.type) << " " << EscapeForTerminal(view.idPath)
        << "  (a type this version does not know, kept as it was saved)\n";
    return;
  }
  out << indent << view.type << " " << EscapeForTerminal(view.idPath) << "  " << EscapeForTerminal(view.title) << "\n";
  if (view.type == "symbol2d") {
    out << indent << "  at " << FormatNumber(view.position.x) << "," << FormatNumber(view.position.y) << ", "
        << FormatNumber(view.width) << " x " << FormatNumber(view.height) << ", page " << view.page << "\n";
    out << indent << "  turned " << view.rotation << " degrees clockwise"
        << (view.flip ? ", mirrored left to right" : "") << (view.reverse ? ", mirrored top to bottom" : "") << "\n";
  } else {
    out << indent << "  at " << FormatPoint(view.position) << "\n";
  }
  if (view.type == "symbol2d" || view.type == "symbol3d") {
    out << indent << "  from " << (view.type == "symbol2d" ? "image " : "shape ");
    if (view.entry.id >= 0) {
      out << view.entry.id << " ";
    }
    out << "\"" << EscapeForTerminal(view.entry.name) << "\", file " << EscapeForTerminal(view.entry.file) << "\n";
  }
  for (const AnnotationView::Connection& part : view.parts) {
    out << indent << "  part " << EscapeForTerminal(part.part);
    if (!part.assembly.empty()) {
      out << " (weld " << EscapeForTerminal(part.assembly) << ")";
    }
    out << ", offset " << FormatPoint(geo::DPoint3D(part.offset.x, part.offset.y, part.offset.z)) << "\n";
  }
  out << indent << "  " << (view.visible ? "shown" : "hidden") << "\n";
}

std::string FormatPoint(const geo::DPoint3D& point) {
  return "(" + FormatNumber(point.x) + ", " + FormatNumber(point.y) + ", " + FormatNumber(point.z) + ")";
}

void DocCommand::AddJsonFlag(const std::string& what) {
  m_app->add_flag("--json", m_json, "Answer with one JSON object: " + what);
}

void DocNewCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("new",
                                "A new document from a model description: the description and its shape files "
                                "are copied into the document folder, which must be new or empty");
  m_app->add_option("model", m_model, "The model description (XML)")->required();
  AddDocumentArgument(*m_app, m_document);
  AddJsonFlag("the document made and the model it came from");
}

int DocNewCommand::Run(ToolContext& context) {
  std::string error;
  if (!Document::Create(m_model, m_document, error)) {
    return context.Failure(error);
  }
  const std::string made = fs::absolute(m_document).lexically_normal().string();
  if (m_json) {
    nlohmann::json answer = JsonAnswer();
    answer["document"] = made;
    answer["model"] = m_model;
    WriteJson(answer, context.Out());
    return kOk;
  }
  context.Out() << "created " << made << " from " << m_model << "\n";
  return kOk;
}

void DocPlaceCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("place",
                                "A 3D symbol of a catalogue shape entry, placed from the entry's coordinate system "
                                "on top of the first part and connected to every part given (SBOM or model paths)");
  AddDocumentArgument(*m_app, m_document);
  m_app->add_option("--shape", m_shape, "The shape entry's identifier")->required();
  m_app->add_option("--part", m_parts, "A part to connect to (SBOM path such as /FLANGE, or model path such as /1/2)")
      ->required();
  AddJsonFlag("the new symbol as doc list gives it");
}

int DocPlaceCommand::Run(ToolContext& context) {
  // The catalogue is read before the document is locked, which keeps the lock short.
  if (!context.Install()) {
    return kFailure;
  }
  const auto entry = context.Catalogue().GetOlFromOlList(m_shape);
  if (!entry) {
    return context.Failure("no shape with identifier " + std::to_string(m_shape));
  }
  Document document;
  if (!OpenDocument(context, m_document, Document::Access::kWrite, document)) {
    return kFailure;
  }
  util::Symbol idPath;
  std::string error;
  if (!PlaceSymbol(document, *entry, m_parts, idPath, error)) {
    return context.Failure(error);
  }
  if (const int saved = SaveDocument(context, document); saved != kOk) {
    return saved;
  }
  if (m_json) {
    nlohmann::json answer = JsonAnswer();
    answer["annotation"] = JsonOf(document, idPath.str());
    WriteJson(answer, context.Out());
    return kOk;
  }
  geo::DPoint3D position;
  (void)FindPosition(document, idPath.str(), position);
  context.Out() << "placed " << EscapeForTerminal(idPath.str()) << " (" << EscapeForTerminal(entry->GetTitle())
                << ") at " << FormatPoint(position) << "\n";
  return kOk;
}

void DocStampCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("stamp", "A 2D symbol of a catalogue image entry on a page of " +
                                             std::to_string(kViewWidth) + " x " + std::to_string(kViewHeight) +
                                             " page units, y upwards from the page's bottom-left corner; a stamp "
                                             "entirely off its page is refused");
  AddDocumentArgument(*m_app, m_document);
  m_app->add_option("--image", m_image, "The image entry's identifier")->required();
  m_app->add_option("--center", m_center, "Where its centre is: X,Y in page units from the bottom-left corner")
      ->required();
  m_app->add_option("--size", m_size, "Its width and height: W,H")->required();
  m_app->add_option("--rotate", m_rotate, "Turned clockwise by this many degrees, in quarter turns");
  m_app->add_flag("--flip", m_flip, "Mirrored left to right");
  m_app->add_flag("--reverse", m_reverse, "Mirrored top to bottom");
  m_app->add_option("--page", m_page, "The page that carries it, from 0 (the page the 3D view flattens onto)");
  AddJsonFlag("the new stamp as doc list gives it");
}

int DocStampCommand::Run(ToolContext& context) {
  std::vector<double> center;
  std::vector<double> size;
  if (!ParseNumbers(m_center, 2, center)) {
    return context.Usage("--center needs X,Y, finite numbers " + Range() + ": " + m_center);
  }
  if (!ParseNumbers(m_size, 2, size) || size[0] <= 0 || size[1] <= 0) {
    return context.Usage("--size needs a positive W,H " + Range() + ": " + m_size);
  }
  if (m_rotate % 90 != 0) {
    return context.Usage("--rotate turns in quarter turns: a multiple of 90, not " + std::to_string(m_rotate));
  }
  if (m_page < 0) {
    return context.Usage("--page cannot be negative");
  }
  if (!context.Install()) {
    return kFailure;
  }
  const auto entry = context.Catalogue().GetImageFromImageList(m_image);
  if (!entry) {
    return context.Failure("no image with identifier " + std::to_string(m_image));
  }
  Document document;
  if (!OpenDocument(context, m_document, Document::Access::kWrite, document)) {
    return kFailure;
  }
  StampRequest request;
  request.centerX = center[0];
  request.centerY = center[1];
  request.width = size[0];
  request.height = size[1];
  request.rotate = ((m_rotate % 360) + 360) % 360;
  request.flip = m_flip;
  request.reverse = m_reverse;
  request.page = m_page;
  util::Symbol idPath;
  std::string error;
  if (!StampSymbol(document, *entry, request, idPath, error)) {
    return context.Failure(error);
  }
  if (const int saved = SaveDocument(context, document); saved != kOk) {
    return saved;
  }
  if (m_json) {
    nlohmann::json answer = JsonAnswer();
    answer["annotation"] = JsonOf(document, idPath.str());
    WriteJson(answer, context.Out());
    return kOk;
  }
  context.Out() << "placed " << EscapeForTerminal(idPath.str()) << " (" << EscapeForTerminal(entry->GetTitle())
                << ") at " << FormatNumber(center[0]) << "," << FormatNumber(center[1]) << "\n";
  return kOk;
}

void DocMoveCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("move", "Moves a part (every member of a weld); its symbols follow it");
  AddDocumentArgument(*m_app, m_document);
  m_app->add_option("part", m_part, "The part: SBOM or model path")->required();
  m_app->add_option("--by", m_by, "The displacement: DX,DY,DZ")->required();
  AddJsonFlag("each instance of the part and each symbol that followed, before and after");
}

int DocMoveCommand::Run(ToolContext& context) {
  std::vector<double> by;
  if (!ParseNumbers(m_by, 3, by)) {
    return context.Usage("--by needs DX,DY,DZ, finite numbers " + Range() + ": " + m_by);
  }
  Document document;
  if (!OpenDocument(context, m_document, Document::Access::kWrite, document)) {
    return kFailure;
  }
  const auto before = Snapshot(document);
  std::vector<PartPlace> partsBefore;
  std::vector<PartPlace> partsAfter;
  std::string error;
  if (!DescribePart(document, m_part, partsBefore, error) ||
      !MovePart(document, m_part, geo::DVec3(by[0], by[1], by[2]), error) ||
      !DescribePart(document, m_part, partsAfter, error)) {
    return context.Failure(error);
  }
  if (const int saved = SaveDocument(context, document); saved != kOk) {
    return saved;
  }
  if (m_json) {
    nlohmann::json answer = JsonAnswer();
    answer["part"] = m_part;
    answer["by"] = by;
    answer["parts"] = JsonOfParts(partsBefore, partsAfter);
    answer["symbols"] = JsonOfFollowers(before, document);
    WriteJson(answer, context.Out());
    return kOk;
  }
  context.Out() << "moved " << EscapeForTerminal(m_part) << " by " << FormatPoint(geo::DPoint3D(by[0], by[1], by[2]))
                << "\n";
  TellWhatFollowed(before, document, context.Out());
  return kOk;
}

void DocShowCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand(m_show ? "show" : "hide",
                                m_show ? "Shows a part and what is placed below it; its symbols show again"
                                       : "Hides a part and what is placed below it; its symbols hide with it");
  AddDocumentArgument(*m_app, m_document);
  m_app->add_option("part", m_part, "The part: SBOM or model path")->required();
  AddJsonFlag("each instance of the part and each symbol shown or hidden with it");
}

int DocShowCommand::Run(ToolContext& context) {
  Document document;
  if (!OpenDocument(context, m_document, Document::Access::kWrite, document)) {
    return kFailure;
  }
  const auto before = Snapshot(document);
  std::vector<PartPlace> partsBefore;
  std::vector<PartPlace> partsAfter;
  std::string error;
  if (!DescribePart(document, m_part, partsBefore, error) || !ShowPart(document, m_part, m_show, error) ||
      !DescribePart(document, m_part, partsAfter, error)) {
    return context.Failure(error);
  }
  if (const int saved = SaveDocument(context, document); saved != kOk) {
    return saved;
  }
  if (m_json) {
    nlohmann::json answer = JsonAnswer();
    answer["part"] = m_part;
    answer["visible"] = m_show;
    answer["parts"] = JsonOfParts(partsBefore, partsAfter);
    answer["symbols"] = JsonOfFollowers(before, document);
    WriteJson(answer, context.Out());
    return kOk;
  }
  context.Out() << (m_show ? "showed " : "hid ") << EscapeForTerminal(m_part) << "\n";
  TellWhatFollowed(before, document, context.Out());
  return kOk;
}

void DocListCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("list",
                                "Every annotation: type, identifier, title, position, connected parts with "
                                "their offsets, and whether it is shown");
  AddDocumentArgument(*m_app, m_document);
  AddJsonFlag("every annotation");
}

int DocListCommand::Run(ToolContext& context) {
  Document document;
  if (!OpenDocument(context, m_document, Document::Access::kRead, document)) {
    return kFailure;
  }
  const std::vector<AnnotationView> views = DescribeAnnotations(document);
  if (m_json) {
    nlohmann::json answer = JsonAnswer();
    answer["annotations"] = nlohmann::json::array();
    for (const AnnotationView& view : views) {
      answer["annotations"].push_back(Json(view));
    }
    WriteJson(answer, context.Out());
    return kOk;
  }
  context.Out() << Counted(views.size(), "annotation", "annotations") << "\n";
  for (const AnnotationView& view : views) {
    WriteAnnotation(view, "", context.Out());
  }
  return kOk;
}

void DocFlattenCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("flatten",
                                "The document's 3D view flattened into a 2D illustration page, as SVG: "
                                "each part drawn from its mesh (outline, visible edges, hidden lines dashed), "
                                "each 3D symbol as its shape with its title, the stamps' images. One SVG with "
                                "a group per page (<g class=\"sheet\" data-page=\"N\">), stacked top to bottom: "
                                "page 0, and each page a stamp is on");
  AddDocumentArgument(*m_app, m_document);
  m_app->add_option("--out", m_out, "The SVG file to write, or - for standard output")->required();
}

int DocFlattenCommand::Run(ToolContext& context) {
  const OutputFile out(m_out);
  std::string error;
  if (!out.IsStandardOutput() && !IsOutsideDocument(out.Label(), m_document, error)) {
    return context.Failure(error);
  }
  Document document;
  if (!OpenDocument(context, m_document, Document::Access::kRead, document)) {
    return kFailure;
  }
  FlattenSummary summary;
  std::string svg;
  if (!FlattenToSvgText(document, svg, summary, error)) {
    return context.Failure(error);
  }
  if (!out.Write(svg, context)) {
    return kFailure;
  }
  out.ReportStream(context) << "wrote " << out.Label() << " (" << summary.Text() << ")\n";
  return kOk;
}

}  // namespace symbols_tool
