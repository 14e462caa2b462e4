#pragma once

#include <string>

namespace vantu {

// The report box's objectName, for tests that look for it.
inline constexpr const char* kFailureReportName = "unhandledFailure";

// Shows the message in a modal message box titled title (critical icon, one OK button) and, once it
// is dismissed, ends the process with exit status 1. Without a QApplication, or when called off the
// GUI thread, the message goes to stderr instead.
[[noreturn]] void reportFailureAndExit(const std::string& title, const std::string& message);

}  // namespace vantu
