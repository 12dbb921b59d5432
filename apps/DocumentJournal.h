// Saves the changed files of a document together: all of them or none, whatever happens
// and wherever the process is stopped.
//
// Each new file is first written, flushed, beside its target under a staging name
// (Stage). Commit then writes the journal, a list of the renames to make, as a file of
// its own that appears whole by one rename: that is the moment the change happens. The
// renames follow, and the journal goes. A document that holds a journal when it is next
// opened had its change committed but not put in place: Recover makes the renames that
// are left. Staged files without a journal belong to a change that never happened:
// Recover removes them, as does the journal of a change that is dropped.
//
// Frozen: the journal's and the staged files' names, and the journal's lines:
//   symbols-journal 1
//   rename .symbols-stage-XXXXXX TARGET
//   ...
//   end N
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace symbols_tool {

class DocumentJournal {
 public:
  static constexpr const char* kJournalFile = ".symbols-journal";
  static constexpr const char* kStagePrefix = ".symbols-stage-";

  // For a document folder that is locked for writing.
  explicit DocumentJournal(std::string folder) : m_folder(std::move(folder)) {}
  DocumentJournal(const DocumentJournal&) = delete;
  DocumentJournal& operator=(const DocumentJournal&) = delete;
  // Removes what was staged and not committed.
  ~DocumentJournal();

  // Writes bytes as the next contents of target (a file name in the folder), flushed,
  // under a staging name whose path is given back. False (error says why, nothing left)
  // when it cannot be written; staging the same target again replaces what was staged.
  [[nodiscard]] bool Stage(const std::string& target, std::string_view bytes, std::string& stagedPath,
                           std::string& error);
  [[nodiscard]] bool HasStaged() const { return !m_staged.empty(); }
  // Puts every staged file in place at once. False (error says why) when the change could
  // not be made: before the journal is written the document stays as it was; after it,
  // the next Recover completes it.
  [[nodiscard]] bool Commit(std::string& error);
  // Forgets (and removes) what was staged.
  void Drop();

  // Whether the folder holds a journal or staged files, left by a command that stopped.
  [[nodiscard]] static bool NeedsRecovery(const std::string& folder);
  // Completes a committed change and removes the leftovers of uncommitted ones. False
  // (error says why, nothing changed) for a journal that is not one this tool writes.
  [[nodiscard]] static bool Recover(const std::string& folder, std::string& error);

  // Test hook: with SYMBOLS_KILL_AT_WRITE_STEP=N in the environment, the process kills
  // itself (SIGKILL) at the N-th step that writes a document (a file flushed, a rename,
  // a removal), so tests can stop a command at every step of its save.
  static void WriteStep();

 private:
  struct Staged {
    std::string target;
    std::string name;  // the staging file's name in the folder
  };

  std::string m_folder;
  std::vector<Staged> m_staged;
};

}  // namespace symbols_tool
