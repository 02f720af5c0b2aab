// maxsim's command line: plug-in folders, start-up scripts, quiet mode.
#include "apps/maxsim/options.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace {
bool equalsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}
}  // namespace

Options parseOptions(const std::vector<std::string>& arguments) {
  Options options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(option + " needs a value");
      return arguments[++i];
    };
    if (option == "-p") {
      options.pluginFolders.push_back(value());
    } else if (option == "-U") {
      // As 3ds Max takes it: the script language first, then the file.
      const std::string language = value();
      if (!equalsIgnoringCase(language, "MAXScript")) {
        throw std::invalid_argument("-U takes MAXScript FILE; unknown script language " + language);
      }
      options.scripts.push_back({StartupScript::Kind::File, value()});
    } else if (option == "-mxs") {
      options.scripts.push_back({StartupScript::Kind::Text, value()});
    } else if (option == "-q") {
      options.quiet = true;
    } else if (option == "-silent") {
      // As 3ds Max takes it on a farm node: no dialogs that wait for a click. maxsim shows none.
    } else if (option == "-h" || option == "--help") {
      options.help = true;
    } else {
      throw std::invalid_argument("unknown option " + option);
    }
  }
  return options;
}

std::string usage() {
  return std::string(
             "usage: maxsim [-p DIR]... [-U MAXScript FILE] [-mxs TEXT] [-q] [-silent]\n"
             "\n"
             "The stand-in 3D application: loads every *.dlx plug-in in each plug-in folder,\n"
             "runs the start-up scripts in the order given, then exits.\n"
             "\n"
             "  -p DIR     a plug-in folder (repeatable; default: plugins/ beside maxsim)\n"
             "  -U MAXScript FILE\n"
             "             run the MAXScript file\n"
             "  -mxs TEXT  run the script text\n"
             "  -q         quiet: no messages about loaded plug-ins\n"
             "  -silent    no dialogs (as 3ds Max on a farm node; maxsim shows none)\n"
             "  -h, --help this text\n"
             "\n"
             "A plug-in must export LibVersion, LibDescription and LibInit; one whose version\n"
             "stamp is not 0x23281500 is refused. Exit status: 0 when the scripts ran to their\n"
             "end, non-zero (with the error on standard error) when a plug-in fails to load or a\n"
             "script fails.\n"
             "\n") +
         startupScriptSupport;
}
