// Files that are not what they seem: FIFOs, devices, folders and links where the host
// reads or replaces a file, and the system's reasons when it cannot.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempFolder.h"
#include "support/TextFiles.h"
#include "util/ConfinedFolder.h"
#include "util/FileSystem.h"
#include "util/SafeFileWriter.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Slurp;
using testsupport::TempFolder;

// A FIFO nobody writes to would block an ordinary open for reading forever.
TEST(FileSafety, ReadersRefuseWhatIsNotARegularFileAtOnce) {
  TempFolder folder;
  const std::string fifo = folder.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  std::string text;
  std::string error;
  EXPECT_FALSE(util::FileSystem::ReadFile(fifo, text, error));
  EXPECT_EQ(error, "is not a regular file");
  EXPECT_FALSE(util::FileSystem::ReadFile(folder.Path(), text, error));
  EXPECT_EQ(error, "is a folder, not a file");
  std::unique_ptr<char[]> buffer;
  size_t size = 0;
  EXPECT_FALSE(util::FileSystem::ReadFile("/dev/zero", buffer, size));
  EXPECT_EQ(util::FileSystem::GetKind(fifo), util::FileKind::kOther);
  EXPECT_EQ(util::FileSystem::GetKind(folder.File("none"), &error), util::FileKind::kMissing);
  EXPECT_TRUE(error.empty());

  const std::string file = folder.Write("f.txt", "0123456789");
  uint64_t fileSize = 0;
  EXPECT_TRUE(util::FileSystem::ReadFileStart(file, 4, text, fileSize, error));
  EXPECT_EQ(text, "0123");
  EXPECT_EQ(fileSize, 10u);
  EXPECT_FALSE(util::FileSystem::ReadFile(file, text, error, 9));
  EXPECT_EQ(error, "larger than 9 bytes");
  EXPECT_TRUE(util::FileSystem::ReadFile(file, text, error, 10));
  EXPECT_FALSE(util::FileSystem::ReadFile(folder.File("none"), text, error));
  EXPECT_EQ(error, "No such file or directory");
}

// A confined folder's files are reached only inside it: no "..", nothing absolute, no
// link at any step of the way, only regular files, never a wait on a FIFO.
TEST(FileSafety, AConfinedFolderIsNeverLeft) {
  TempFolder outside;
  const std::string secret = outside.Write("secret.txt", "secret");
  TempFolder folder;
  folder.Write("sub/own.txt", "own");
  fs::create_symlink(secret, folder.File("link.txt"));
  fs::create_symlink(outside.Path(), folder.File("away"));
  fs::create_symlink(folder.File("sub"), folder.File("inner"));
  fs::create_symlink(folder.File("none"), folder.File("dangling.txt"));
  ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0644), 0);
  const util::ConfinedFolder confined(folder.Path());
  using Kind = util::ConfinedFolder::Kind;
  std::string text;
  std::string error;
  EXPECT_TRUE(confined.Read("sub/own.txt", text, error)) << error;
  EXPECT_EQ(text, "own");
  EXPECT_EQ(confined.Inspect("sub/own.txt", error), Kind::kRegular);
  EXPECT_EQ(confined.Inspect("sub", error), Kind::kDirectory);
  EXPECT_EQ(confined.Inspect("nothing.txt", error), Kind::kMissing);
  EXPECT_TRUE(error.empty());
  EXPECT_EQ(confined.Inspect("fifo", error), Kind::kOther);
  for (const char* link : {"link.txt", "away/secret.txt", "inner/own.txt", "dangling.txt"}) {
    EXPECT_EQ(confined.Inspect(link, error), Kind::kLink) << link;
    EXPECT_FALSE(confined.Read(link, text, error)) << link;
    EXPECT_NE(error.find("symbolic link"), std::string::npos) << link << ": " << error;
  }
  for (const char* outsideName : {"../x", "sub/../../x", "/etc/passwd", "", "sub//own.txt", "./sub/own.txt"}) {
    EXPECT_FALSE(confined.Read(outsideName, text, error)) << outsideName;
    EXPECT_FALSE(util::ConfinedFolder::IsPlainName(outsideName, error)) << outsideName;
  }
  EXPECT_FALSE(confined.Read("fifo", text, error));
  EXPECT_EQ(error, "is not a regular file");
  EXPECT_FALSE(confined.Read("sub/own.txt", text, error, 2));
  EXPECT_EQ(error, "larger than 2 bytes");
}

TEST(FileSafety, WritingThroughLinksReplacesTheFileTheyPointAt) {
  TempFolder folder;
  const std::string real = folder.Write("sub/real.xml", "old");
  ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
  fs::create_symlink("sub/real.xml", folder.File("first"));
  fs::create_symlink(folder.File("first"), folder.File("second"));
  std::string error;
  ASSERT_TRUE(util::SafeFileWriter::Write(folder.File("second"), "new", error)) << error;
  EXPECT_TRUE(fs::is_symlink(folder.File("first")));
  EXPECT_TRUE(fs::is_symlink(folder.File("second")));
  EXPECT_EQ(Slurp(real), "new");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.File("sub")), fs::directory_iterator()), 1);

  // A link to a file not made yet makes it where the link points.
  fs::create_symlink("sub/later.xml", folder.File("dangling"));
  ASSERT_TRUE(util::SafeFileWriter::Write(folder.File("dangling"), "later", error)) << error;
  EXPECT_EQ(Slurp(folder.File("sub/later.xml")), "later");
  EXPECT_TRUE(fs::is_symlink(folder.File("dangling")));

  fs::create_symlink("loop2", folder.File("loop1"));
  fs::create_symlink("loop1", folder.File("loop2"));
  EXPECT_FALSE(util::SafeFileWriter::Write(folder.File("loop1"), "x", error));
  EXPECT_EQ(error, "Too many levels of symbolic links");
}

TEST(FileSafety, TargetsThatAreNotFilesAreRefusedWithTheReason) {
  TempFolder folder;
  const std::string fifo = folder.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  std::string error;
  EXPECT_FALSE(util::SafeFileWriter::Write(fifo, "x", error));
  EXPECT_EQ(error, "is a FIFO, not a regular file");
  EXPECT_FALSE(util::SafeFileWriter::Write(folder.Path(), "x", error));
  EXPECT_EQ(error, "is a folder, not a file");
  EXPECT_FALSE(util::SafeFileWriter::Write(folder.File("none/x"), "x", error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1) << "nothing written";

  // A device node of the test's own, behind a link: were it not refused, the writer
  // would replace this node, never one the system uses.
  const std::string device = folder.File("null-device");
  if (::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "cannot make a device node here";
  }
  fs::create_symlink(device, folder.File("null"));
  EXPECT_FALSE(util::SafeFileWriter::Write(folder.File("null"), "x", error));
  EXPECT_EQ(error, "is a device, not a regular file");
  EXPECT_TRUE(fs::is_symlink(folder.File("null")));
  EXPECT_EQ(fs::status(device).type(), fs::file_type::character);
}

// Root may write anywhere; a child process that gives up root meets the permission bits.
TEST(FileSafety, PermissionDeniedIsSaidInTheSystemsWords) {
  TempFolder folder;
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
  const std::string target = folder.File("lib.xml");
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipeFds[0]);
    if (::geteuid() == 0 && ::setuid(65534) != 0) {
      ::_exit(3);
    }
    std::string error;
    const bool written = util::SafeFileWriter::Write(target, "x", error);
    const std::string message = written ? "written" : error;
    (void)!::write(pipeFds[1], message.data(), message.size());
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  char buffer[256];
  const ssize_t length = ::read(pipeFds[0], buffer, sizeof(buffer));
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 3) {
    GTEST_SKIP() << "cannot give up root here";
  }
  ASSERT_GT(length, 0);
  const std::string message(buffer, static_cast<size_t>(length));
  if (::geteuid() != 0 && ::access(folder.Path().c_str(), W_OK) == 0) {
    GTEST_SKIP() << "the folder is writable for this user";
  }
  EXPECT_EQ(message, "Permission denied");
  EXPECT_FALSE(fs::exists(target));
}

}  // namespace
