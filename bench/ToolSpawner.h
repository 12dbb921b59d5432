// The document benchmark's runs of the symbols tool: each one a process started by a
// small helper forked early, timed, with its peak memory.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace benchsupport {

struct ToolRun {
  bool ok = false;
  double seconds = 0;
  double peakKiB = 0;
};

// The tool to run: the one built beside this benchmark, or SYMBOLS_BENCH_TOOL (another
// build, or a script that runs one).
std::string ToolPath() {
  const char* other = std::getenv("SYMBOLS_BENCH_TOOL");
  return other != nullptr && *other != '\0' ? other : SYMBOLS_TOOL;
}

// Starts the tool's runs from a small process forked before this one grows: a process's
// peak memory counts the memory of the process it was forked from.
class ToolSpawner {
 public:
  // Where each run's standard error goes; set before Start.
  static std::string& ErrorsFile() {
    static std::string file;
    return file;
  }

  void Start() {
    int requests[2];
    int replies[2];
    if (::pipe(requests) != 0 || ::pipe(replies) != 0) {
      Failed("no pipe for the tool's runs");
    }
    const pid_t helper = ::fork();
    if (helper == 0) {
      ::close(requests[1]);
      ::close(replies[0]);
      Serve(requests[0], replies[1]);
      ::_exit(0);
    }
    ::close(requests[0]);
    ::close(replies[1]);
    m_requests = requests[1];
    m_replies = replies[0];
  }

  ToolRun Run(const std::vector<std::string>& arguments) {
    std::string request;
    for (const std::string& argument : arguments) {
      request += argument;
      request += '\0';
    }
    const uint64_t size = request.size();
    ToolRun run;
    if (!WriteAll(m_requests, &size, sizeof(size)) || !WriteAll(m_requests, request.data(), request.size()) ||
        !ReadAll(m_replies, &run, sizeof(run))) {
      Failed("the tool's runs stopped");
    }
    return run;
  }

 private:
  static void Failed(const std::string& what) {
    std::fprintf(stderr, "bench_document: %s\n", what.c_str());
    std::exit(1);
  }

  static bool WriteAll(int fd, const void* data, size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t done = ::write(fd, at, size);
      if (done <= 0) {
        return false;
      }
      at += done;
      size -= static_cast<size_t>(done);
    }
    return true;
  }
  static bool ReadAll(int fd, void* data, size_t size) {
    char* at = static_cast<char*>(data);
    while (size > 0) {
      const ssize_t done = ::read(fd, at, size);
      if (done <= 0) {
        return false;
      }
      at += done;
      size -= static_cast<size_t>(done);
    }
    return true;
  }

  // The helper: one run per request until the benchmark closes the pipe.
  static void Serve(int requests, int replies) {
    const std::string tool = ToolPath();
    const std::string errors = ErrorsFile();
    for (;;) {
      uint64_t size = 0;
      if (!ReadAll(requests, &size, sizeof(size))) {
        return;
      }
      std::string request(size, '\0');
      if (!ReadAll(requests, request.data(), size)) {
        return;
      }
      std::vector<char*> argv{const_cast<char*>(tool.c_str())};
      for (size_t at = 0; at < request.size(); at = request.find('\0', at) + 1) {
        argv.push_back(&request[at]);
      }
      argv.push_back(nullptr);
      ToolRun run;
      const auto start = std::chrono::steady_clock::now();
      const pid_t child = ::fork();
      if (child == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        const int kept = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(kept, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
      }
      int status = 0;
      struct rusage usage {};
      if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        run.peakKiB = static_cast<double>(usage.ru_maxrss);
      }
      if (!WriteAll(replies, &run, sizeof(run))) {
        return;
      }
    }
  }

  int m_requests = -1;
  int m_replies = -1;
};

}  // namespace benchsupport
