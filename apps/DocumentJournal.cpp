#include "DocumentJournal.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "util/ConfinedFolder.h"
#include "util/SafeFileWriter.h"

namespace symbols_tool {

namespace {

namespace fs = std::filesystem;

// Frozen: the first line of a journal, and the prefix of a journal being written.
constexpr std::string_view kHeader = "symbols-journal 1";
constexpr const char* kJournalTemporary = ".symbols-journal.tmp-";
constexpr uint64_t kMaxJournalBytes = 1024 * 1024;

std::string SystemText(int error) {
  return std::generic_category().message(error);
}

std::string In(const std::string& folder, const std::string& name) {
  return (fs::path(folder) / name).string();
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// A name the journal may rename to: a plain file name of the folder, not hidden.
bool IsTargetName(std::string_view name) {
  std::string ignored;
  return util::ConfinedFolder::IsPlainName(name, ignored) && name.find('/') == std::string_view::npos &&
         name.front() != '.';
}

bool IsStageName(std::string_view name) {
  return StartsWith(name, DocumentJournal::kStagePrefix) && name.find('/') == std::string_view::npos &&
         name.size() > std::string_view(DocumentJournal::kStagePrefix).size();
}

struct Rename {
  std::string from;
  std::string to;
};

// The renames of a journal's text; false (error says where) for anything else.
bool ParseJournal(const std::string& text, std::vector<Rename>& renames, std::string& error) {
  size_t line = 0;
  size_t at = 0;
  bool ended = false;
  while (at < text.size()) {
    const size_t end = text.find('\n', at);
    if (end == std::string::npos) {
      error = "line " + std::to_string(line + 1) + ": the last line does not end";
      return false;
    }
    const std::string_view current(text.data() + at, end - at);
    at = end + 1;
    ++line;
    const auto fail = [&](const char* what) {
      error = "line " + std::to_string(line) + ": " + what;
      return false;
    };
    if (ended) {
      return fail("text after the end");
    }
    if (line == 1) {
      if (current != kHeader) {
        return fail("not a journal of this tool");
      }
      continue;
    }
    if (StartsWith(current, "rename ")) {
      const std::string_view names = current.substr(7);
      const size_t space = names.find(' ');
      if (space == std::string_view::npos || !IsStageName(names.substr(0, space)) ||
          !IsTargetName(names.substr(space + 1))) {
        return fail("a rename that does not name a staged file and a file of the document");
      }
      renames.push_back({std::string(names.substr(0, space)), std::string(names.substr(space + 1))});
      continue;
    }
    if (StartsWith(current, "end ")) {
      size_t count = 0;
      const std::string_view number = current.substr(4);
      const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), count);
      if (ec != std::errc() || ptr != number.data() + number.size() || count != renames.size()) {
        return fail("the count at the end does not match the renames");
      }
      ended = true;
      continue;
    }
    return fail("a line this tool does not write");
  }
  if (!ended) {
    error = "the journal does not end";
    return false;
  }
  return true;
}

// The names in folder that a stopped command may have left: staged files and journals
// being written.
std::vector<std::string> Leftovers(const std::string& folder, bool& journal) {
  std::vector<std::string> names;
  journal = false;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    return names;
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == DocumentJournal::kJournalFile) {
      journal = true;
    } else if (StartsWith(name, DocumentJournal::kStagePrefix) || StartsWith(name, kJournalTemporary)) {
      names.emplace_back(name);
    }
  }
  ::closedir(dir);
  return names;
}

}  // namespace

DocumentJournal::~DocumentJournal() {
  Drop();
}

void DocumentJournal::Drop() {
  for (const Staged& staged : m_staged) {
    ::unlink(In(m_folder, staged.name).c_str());
  }
  m_staged.clear();
}

void DocumentJournal::WriteStep() {
  static const long stopAt = [] {
    const char* text = std::getenv("SYMBOLS_KILL_AT_WRITE_STEP");
    return text != nullptr ? std::strtol(text, nullptr, 10) : 0L;
  }();
  static long steps = 0;
  if (stopAt > 0 && ++steps == stopAt) {
    ::kill(::getpid(), SIGKILL);
  }
}

bool DocumentJournal::Stage(const std::string& target, std::string_view bytes, std::string& stagedPath,
                            std::string& error) {
  if (!IsTargetName(target)) {
    error = "cannot write " + target + " into the document: not a plain file name";
    return false;
  }
  WriteStep();
  if (!util::SafeFileWriter::WriteTemporary(m_folder, kStagePrefix, bytes, stagedPath, error)) {
    error = "cannot write " + In(m_folder, target) + ": " + error;
    return false;
  }
  const std::string name = fs::path(stagedPath).filename().string();
  for (Staged& staged : m_staged) {
    if (staged.target == target) {
      ::unlink(In(m_folder, staged.name).c_str());
      staged.name = name;
      return true;
    }
  }
  m_staged.push_back({target, name});
  return true;
}

bool DocumentJournal::Commit(std::string& error) {
  if (m_staged.empty()) {
    return true;
  }
  std::string text(kHeader);
  text += '\n';
  for (const Staged& staged : m_staged) {
    text += "rename " + staged.name + " " + staged.target + "\n";
  }
  text += "end " + std::to_string(m_staged.size()) + "\n";
  WriteStep();
  std::string written;
  if (!util::SafeFileWriter::WriteTemporary(m_folder, kJournalTemporary, text, written, error)) {
    error = "cannot save the document: " + error;
    return false;
  }
  WriteStep();
  if (::rename(written.c_str(), In(m_folder, kJournalFile).c_str()) != 0) {
    error = "cannot save the document: " + SystemText(errno);
    ::unlink(written.c_str());
    return false;
  }
  // From here on the change is made; what follows puts it in place.
  (void)util::SafeFileWriter::SyncFolder(m_folder);
  const std::vector<Staged> staged = std::move(m_staged);
  m_staged.clear();
  for (const Staged& file : staged) {
    WriteStep();
    if (::rename(In(m_folder, file.name).c_str(), In(m_folder, file.target).c_str()) != 0) {
      error = "the document is saved, but " + file.target + " could not be put in place (" + SystemText(errno) +
              "); the next command on it completes the save";
      return false;
    }
  }
  (void)util::SafeFileWriter::SyncFolder(m_folder);
  WriteStep();
  ::unlink(In(m_folder, kJournalFile).c_str());
  (void)util::SafeFileWriter::SyncFolder(m_folder);
  return true;
}

bool DocumentJournal::NeedsRecovery(const std::string& folder) {
  bool journal = false;
  return !Leftovers(folder, journal).empty() || journal;
}

bool DocumentJournal::Recover(const std::string& folder, std::string& error) {
  bool journal = false;
  const std::vector<std::string> leftovers = Leftovers(folder, journal);
  if (journal) {
    const util::ConfinedFolder files(folder);
    std::string text;
    std::vector<Rename> renames;
    if (!files.Read(kJournalFile, text, error, kMaxJournalBytes) || !ParseJournal(text, renames, error)) {
      error = In(folder, kJournalFile) + ": " + error + "; the document is left as it is";
      return false;
    }
    for (const Rename& rename : renames) {
      struct stat info {};
      const std::string from = In(folder, rename.from);
      if (::lstat(from.c_str(), &info) != 0) {
        continue;  // put in place before the command stopped
      }
      if (!S_ISREG(info.st_mode)) {
        error = from + " is not a regular file; the document is left as it is";
        return false;
      }
      WriteStep();
      if (::rename(from.c_str(), In(folder, rename.to).c_str()) != 0) {
        error = "cannot complete the last change of the document: " + rename.to + ": " + SystemText(errno);
        return false;
      }
    }
    (void)util::SafeFileWriter::SyncFolder(folder);
    WriteStep();
    ::unlink(In(folder, kJournalFile).c_str());
  }
  // Whatever is staged now belongs to no committed change.
  for (const std::string& name : leftovers) {
    WriteStep();
    ::unlink(In(folder, name).c_str());
  }
  (void)util::SafeFileWriter::SyncFolder(folder);
  return true;
}

}  // namespace symbols_tool
