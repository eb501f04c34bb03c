#pragma once

#include <string>
#include <vector>

#include "DevServer.h"

namespace ovira::devserver {

// The text ekyc-devserver prints for --help.
std::string commandLineUsage();

// The options of an ekyc-devserver command line, given without the program's
// name. Sets `help` for -h or --help. Throws std::invalid_argument, naming the
// option, for an unknown option, a missing value or a value out of range.
DevServer::Options parseCommandLine(const std::vector<std::string>& arguments, bool& help);

}  // namespace ovira::devserver
