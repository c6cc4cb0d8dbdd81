#pragma once

namespace testsupport {
// Matches SKIP_RETURN_CODE of the ctest entries (cmake/DuvuvuSuites.cmake).
inline constexpr int kAllSkippedExitStatus = 77;
}  // namespace testsupport
