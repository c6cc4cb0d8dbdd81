#include "Sys.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "Backend.h"

namespace {

int gBeeps = 0;
// Leaked on purpose: no static destructors in engine code.
std::string* gExecutablePath = nullptr;

}  // namespace

void ExitProcess(int status) {
  std::fflush(nullptr);
  std::exit(status);
}

void Beep() {
  ++gBeeps;
  if (isatty(STDERR_FILENO)) {
    std::fputc('\a', stderr);
    std::fflush(stderr);
  }
}

int BeepCount() { return gBeeps; }

std::optional<std::string> GetEnvironment(const char* name) {
  const char* value = name ? std::getenv(name) : nullptr;
  if (!value) return std::nullopt;
  return std::string(value);
}

const std::string& ExecutablePath() {
  if (!gExecutablePath) {
    char buffer[PATH_MAX + 1];
    ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
    gExecutablePath = new std::string(n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string());
  }
  return *gExecutablePath;
}

void SetExecutablePathForTesting(const std::string& path) {
  if (!gExecutablePath)
    gExecutablePath = new std::string(path);
  else
    *gExecutablePath = path;
}

uint32_t CurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

bool IsLeftMouseButtonDown() { return GetBackend().LeftButton(); }
