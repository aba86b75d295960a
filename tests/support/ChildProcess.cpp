// Forked children and separate game processes for the tests.
#include "tests/support/ChildProcess.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/TestSupport.h"

extern char** environ;

namespace testing_support {

namespace {

void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return text;
    text.append(buffer, static_cast<size_t>(n));
  }
}

int StatusOf(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

}  // namespace

std::string RunInChild(const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return "no pipe";
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return "no fork";
  if (pid == 0) {
    ::close(fds[0]);
    std::string answer;
    try {
      answer = body();
    } catch (...) {
      answer = "child threw";
    }
    WriteAll(fds[1], answer);
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string answer = ReadAll(fds[0]);
  ::close(fds[0]);
  int raw = 0;
  while (::waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
  }
  if (answer.empty() && !(WIFEXITED(raw) && WEXITSTATUS(raw) == 0)) {
    answer = WIFSIGNALED(raw) ? "child died with signal " + std::to_string(WTERMSIG(raw))
                              : "child ended with status " + std::to_string(StatusOf(raw));
  }
  return answer;
}

long PeakMemoryGrowthKiB(const std::function<void()>& work) {
  const std::string answer = RunInChild([&] {
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    work();
    ::getrusage(RUSAGE_SELF, &after);
    return std::to_string(after.ru_maxrss - before.ru_maxrss);
  });
  char* end = nullptr;
  const long kib = std::strtol(answer.c_str(), &end, 10);
  return end != answer.c_str() ? kib : -1;
}

namespace {
long StatusKiB(const char* field) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kib = -1;
  const size_t n = std::strlen(field);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, field, n) == 0) kib = std::strtol(line + n, nullptr, 10);
  std::fclose(f);
  return kib;
}
}  // namespace

long PeakAddressSpaceGrowthKiB(const std::function<void()>& work) {
  const std::string answer = RunInChild([&] {
    const long before = StatusKiB("VmPeak:");
    work();
    return std::to_string(StatusKiB("VmPeak:") - before);
  });
  char* end = nullptr;
  const long kib = std::strtol(answer.c_str(), &end, 10);
  return end != answer.c_str() ? kib : -1;
}

std::string GameProgram() {
  return std::string(BRILLORA_BINARY_DIR) + "/brillora";
}

GameProcess StartProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env, const std::string& outputFolder, int asUser) {
  static int serial = 0;
  GameProcess p;
  const std::string stem = outputFolder + "/process" + std::to_string(++serial);
  p.outPath = stem + ".out";
  p.errPath = stem + ".err";
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), args.begin(), args.end());
  std::fflush(nullptr);
  p.pid = ::fork();
  if (p.pid != 0) return p;
  // The child: files for its output, its own environment, then the program.
  const int out = ::open(p.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  const int err = ::open(p.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
  for (const std::string& e : env) {
    const size_t eq = e.find('=');
    if (eq == std::string::npos) {
      ::unsetenv(e.c_str());
    } else {
      ::setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
  }
  if (asUser >= 0 && ::geteuid() == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(asUser)) != 0 ||
        ::setuid(static_cast<uid_t>(asUser)) != 0)
      ::_exit(125);
  }
  std::vector<char*> raw;
  for (std::string& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);
  ::execve(program.c_str(), raw.data(), environ);
  ::_exit(127);
}

int WaitProcess(const GameProcess& process, std::string* err) {
  int raw = 0;
  while (::waitpid(process.pid, &raw, 0) < 0 && errno == EINTR) {
  }
  if (err != nullptr) {
    const std::vector<uint8_t> bytes = ReadFile(process.errPath);
    err->assign(bytes.begin(), bytes.end());
  }
  return StatusOf(raw);
}

int RunProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env, const std::string& outputFolder, std::string* err,
               int asUser) {
  return WaitProcess(StartProcess(program, args, env, outputFolder, asUser), err);
}

}  // namespace testing_support
