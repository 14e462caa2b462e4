#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantu {

class Controls;
class LaunchOptions;

inline constexpr std::string_view kConfigFileName = "xconfig.dat";

// A real configuration file holds a few dozen bytes; anything larger than this is refused
// before anything is applied, so a stray huge file cannot stall the start-up.
inline constexpr std::size_t kMaxConfigFileSize = 4u * 1024u * 1024u;

// Reads a field's text as a number: blanks, tabs and line feeds are passed over wherever they
// stand; an optional sign, decimal digits and one full stop form the number; reading stops at
// the first character that cannot continue it. No digit gives 0. Exponents are not read.
double fieldValue(std::string_view text);

// Reads the game's configuration file from folder (empty: the current directory) into the options,
// field by field, and writes the load trace into Text2. Every failure (no such file, not a regular
// file, too large, a display mode the list refuses, a control failing) replaces Text2 with "No
// FILE!xconfig.dat" and ends the load, keeping what earlier fields set. Never throws.
void loadConfig(const std::string& folder, LaunchOptions& options, Controls& controls);

// What loadConfig does once it has read the file: applies content (the file's bytes) and traces
// it, with the same failure path. Never throws.
void loadConfigContent(std::string content, LaunchOptions& options, Controls& controls);

}  // namespace vantu
