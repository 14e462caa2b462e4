#pragma once

#include <string>

namespace vantu {

// The report box's objectName, for tests that look for it.
inline constexpr const char* kFailureReportName = "unhandledFailure";

// The failure box of the Linux platform under Qt: shows the message in a modal message box
// titled title (critical icon, one OK button) over the active window, and returns true once it
// is dismissed. Without a QApplication, or when called off the GUI thread, it shows nothing and
// returns false.
bool showFailureReport(const std::string& title, const std::string& message);

}  // namespace vantu
