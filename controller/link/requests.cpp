// Sorting the plug-in's requests by kind.
#include "controller/link/requests.h"

#include "controller/common/text.h"

#include <boost/lexical_cast.hpp>

namespace controller {

Request classifyRequest(const std::string& packet) {
  static const std::string prefix = "FUNCTION: ";
  const std::string body = startsWith(packet, prefix) ? packet.substr(prefix.size()) : packet;
  if (startsWith(body, "SETTITLE ")) return {Request::Kind::Title, body.substr(9)};
  if (startsWith(body, "STDOUT: ")) return {Request::Kind::Output, body.substr(8)};
  if (startsWith(body, "PROGRESS ")) {
    Request request{Request::Kind::Progress, body.substr(9)};
    try {
      request.percent = boost::lexical_cast<float>(request.text);
    } catch (const boost::bad_lexical_cast&) {
      request.percent = -1;
    }
    return request;
  }
  return {Request::Kind::LookUp, body};
}

}  // namespace controller
