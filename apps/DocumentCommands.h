// "doc": documents of the reference host driven through the module as a host drives it.
//   doc new MODEL.xml DOC          a new document from a model description
//   (every command but flatten takes --json)
//   doc place DOC --shape ID --part PATH...   a 3D symbol on parts
//   doc stamp DOC --image ID --center X,Y --size W,H [...]   a 2D symbol
//   doc move DOC PART --by DX,DY,DZ / doc hide DOC PART / doc show DOC PART
//   doc list DOC [--json]          every annotation
//   doc flatten DOC --out PAGE.svg the 3D view flattened into a 2D page
// Each command locks and opens the document (for writing, or for reading: list and
// flatten), changes it only through host operations, waits for the loader, saves all
// its changed files at once (Document::Save), and only then says what it did; a
// document that cannot be read is left untouched.
#pragma once

#include <string>
#include <vector>

#include "DocumentOperations.h"
#include "ToolCommand.h"
#include "geo/DPoint3D.h"

namespace symbols_tool {

// The commands share the document they work on and, all but flatten, a --json switch:
// a command that changes the document then answers with one JSON object of what it
// made or changed, printed only once the change is saved.
class DocCommand : public ToolCommand {
 protected:
  void AddJsonFlag(const std::string& what);

  std::string m_document;
  bool m_json = false;
};

class DocNewCommand : public DocCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  std::string m_model;
};

class DocPlaceCommand : public DocCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  int m_shape = 0;
  std::vector<std::string> m_parts;
};

class DocStampCommand : public DocCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  int m_image = 0;
  std::string m_center;
  std::string m_size;
  int m_rotate = 0;
  bool m_flip = false;
  bool m_reverse = false;
  int m_page = 0;
};

class DocMoveCommand : public DocCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  std::string m_part;
  std::string m_by;
};

// "hide" and "show".
class DocShowCommand : public DocCommand {
 public:
  explicit DocShowCommand(bool show) : m_show(show) {}
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  bool m_show;
  std::string m_part;
};

class DocListCommand : public DocCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;
};

class DocFlattenCommand : public DocCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  std::string m_out;
};

// "x,y" or "x,y,z" as count numbers, in the C locale's form, each finite and within
// kMaxCoordinate; false for anything else.
[[nodiscard]] bool ParseNumbers(const std::string& text, size_t count, std::vector<double>& out);
// A coordinate for people: at most two decimals, no trailing zeros.
[[nodiscard]] std::string FormatNumber(double value);
[[nodiscard]] std::string FormatPoint(const geo::DPoint3D& point);
// An annotation as `doc list` shows it, each line after indent.
void WriteAnnotation(const AnnotationView& view, const std::string& indent, std::ostream& out);

}  // namespace symbols_tool
