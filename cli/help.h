#pragma once
// The --help texts.

#include <string_view>

#include "cli/arguments.h"

namespace tidemark::cli {

std::string_view OverviewHelp();
std::string_view CommandHelp(Command command);

}  // namespace tidemark::cli
