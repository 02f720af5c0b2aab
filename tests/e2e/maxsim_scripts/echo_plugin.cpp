// A test plug-in for maxsim: publishes the core interface EchoUtil through the wrapper.
#include "tangram/max3d/fp_wrapper.h"

#include <max.h>

#include <plugapi.h>

#include <stdexcept>

namespace {

class EchoInterface : public tangram::FPWrapper::HVStaticInterface<EchoInterface, FP_CORE> {
 public:
  EchoInterface() {
    tangram::FPWrapper::HVCreateDescriptor<EchoInterface> d(
        this, Interface_ID(0xEC40E001u, 0xEC40E002u), "EchoUtil", nullptr);
    d.add_function(&EchoInterface::Shout, "Shout", "text");
    d.add_function(&EchoInterface::Refuse, "Refuse", "text");
    d.add_read_only_property(&EchoInterface::Calls, "Calls");
  }

  Value* Shout(const std::string& text) {
    ++calls_;
    return new String((text + "!").c_str());
  }
  void Refuse(const std::string& text) { throw std::invalid_argument("refused " + text); }
  int Calls() { return calls_; }

 private:
  int calls_ = 0;
};

EchoInterface echoInterface;

}  // namespace

unsigned long LibVersion() {
  return VERSION_3DSMAX;
}
const char* LibDescription() {
  return "Echo test plug-in";
}
void LibInit() {}
