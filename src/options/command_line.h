#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantu {

class LaunchOptions;

inline constexpr std::string_view kGameProgram = "vantu.exe";

// The game's command line for the current options: "vantu.exe -nc" followed by one switch for
// each option that differs from the game's default, in a fixed order.
std::string gameCommandLine(const LaunchOptions& options);

// Splits a command line into program and arguments the way the Windows C runtime does: the
// program name runs to the first blank or tab outside quotes (no escapes in it); in arguments,
// double quotes group blanks, 2n backslashes before a quote give n backslashes and a quote that
// toggles quoting, 2n+1 give n backslashes and a literal quote, and "" inside quotes gives a
// literal quote. Blanks and tabs separate arguments; runs of them count as one.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

}  // namespace vantu
