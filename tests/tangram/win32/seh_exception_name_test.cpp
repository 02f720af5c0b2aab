// Names of the exception codes.
#include "tangram/win32/seh_exception_name.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

TEST(SehExceptionNameTest, NamesEachHardwareFaultCode) {
  const std::vector<std::pair<DWORD, std::string>> names = {
      {0xC0000005, "Access Violation"},        {0x80000002, "Datatype Misalignment"},
      {0xC000008C, "Array Bounds Exceeded"},   {0xC000008D, "Float Denormal Operand"},
      {0xC000008E, "Float Divide By Zero"},    {0xC000008F, "Float Inexact Result"},
      {0xC0000090, "Float Invalid Operation"}, {0xC0000091, "Float Overflow"},
      {0xC0000092, "Float Stack Check"},       {0xC000001D, "Illegal Instruction"},
      {0xC0000006, "In Page Error"},           {0xC0000094, "Integer Divide By Zero"},
      {0xC0000095, "Integer Overflow"},        {0xC0000096, "Privileged Instruction"},
      {0xC00000FD, "Stack Overflow"}};
  for (const auto& [code, name] : names) {
    EXPECT_EQ(tangram::win32::seh_exception_name(code), name) << std::hex << code;
  }
}

TEST(SehExceptionNameTest, EveryOtherCodeIsUnknown) {
  for (DWORD code : {0xC0000093u, 0xE06D7363u, 0x80000003u, 0u}) {
    EXPECT_STREQ(tangram::win32::seh_exception_name(code), "Unknown SEH Exception Code")
        << std::hex << code;
  }
}

}  // namespace
