#include "StartupPhases.h"

#include <chrono>
#include <cinttypes>

namespace {

struct PhaseMark {
  const char* name;
  int64_t clock;
};

constexpr int kMaxMarks = 64;
PhaseMark gMarks[kMaxMarks];
int gMarkCount = 0;
bool gWritten = false;

}  // namespace

int64_t StartupPhaseClock() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void MarkStartupPhase(const char* name) {
  if (gWritten || gMarkCount >= kMaxMarks) return;
  gMarks[gMarkCount++] = PhaseMark{name ? name : "-", StartupPhaseClock()};
}

void WriteStartupPhases(std::FILE* file) {
  if (gWritten) return;
  gWritten = true;
  if (!file || gMarkCount == 0) return;
  const int64_t origin = gMarks[0].clock;
  for (int i = 0; i < gMarkCount; ++i)
    std::fprintf(file, "phase=%d ms=%.3f clock=%" PRId64 " name=%s\n", i, (gMarks[i].clock - origin) / 1e6,
                 gMarks[i].clock, gMarks[i].name);
  std::fflush(file);
}

void ResetStartupPhasesForTesting() {
  gMarkCount = 0;
  gWritten = false;
}
