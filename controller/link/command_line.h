// Command lines for the plug-in: fields joined by commas, each escaped so it arrives unchanged.
#pragma once

#include <string>
#include <vector>

namespace controller {

/// Joins the fields into one command line. Backslashes, double quotes and commas in a field are
/// escaped with a backslash and line feeds written as \n, so that the plug-in's splitting gives
/// back exactly these fields (a Windows path needs no doubling by the caller).
std::string commandLine(const std::vector<std::string>& fields);

}  // namespace controller
