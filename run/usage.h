// The texts of --help and --version, and the hint after a usage error.
#pragma once

#include <string_view>

// The usage text: the synopsis, then every option with one line each.
std::string_view usageText();
// "boolfn-run " and the version.
std::string_view versionText();
