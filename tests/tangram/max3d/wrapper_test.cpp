// The function-publishing wrapper: IDs, the descriptor the host reads, dispatch and error
// translation.
#include "tangram/max3d/fp_wrapper.h"

#include "support/listener_capture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace {

// The parameter-block codes as function-publishing type codes.
constexpr ParamType2 kInt = static_cast<ParamType2>(TYPE_INT);
constexpr ParamType2 kFloat = static_cast<ParamType2>(TYPE_FLOAT);

using tangram::FPWrapper::DescriptorList;
using tangram::FPWrapper::HVCreateDescriptor;
using tangram::FPWrapper::HVStaticInterface;

const Interface_ID kTestId(0x51A7E001u, 0x0BADF00Du);

/// One member of every signature the wrapper publishes, with a property in the middle.
class TestInterface : public HVStaticInterface<TestInterface, FP_CORE> {
 public:
  TestInterface() {
    HVCreateDescriptor<TestInterface> d(this, kTestId, "WrapperTest", nullptr);
    d.add_function(&TestInterface::Same, "Same", "first", "second");
    d.add_function(&TestInterface::Flag, "Flag");
    d.add_function(&TestInterface::IsEven, "IsEven", "number");
    d.add_function(&TestInterface::Remember, "Remember", "text");
    d.add_read_only_property(&TestInterface::Counter, "Counter");
    d.add_function(&TestInterface::Positive, "Positive", "amount");
    d.add_function(&TestInterface::Echo, "Echo", "text");
    d.add_function(&TestInterface::Length, "Length", "text");
    d.add_function(&TestInterface::Repeat, "Repeat", "count", "text");
    d.add_function(&TestInterface::NumberText, "NumberText", "number");
    d.add_function(&TestInterface::Check, "Check", "number", "text");
    d.add_function(&TestInterface::Fail, "Fail", "message");
  }

  bool Same(const std::string& a, const std::string& b) { return a == b; }
  bool Flag() { return true; }
  bool IsEven(int n) { return n % 2 == 0; }
  void Remember(const std::string& text) {
    if (text == "bad") throw std::invalid_argument("Key bad doesn't exist");
    remembered = text;
    ++counter;
  }
  int Counter() { return counter; }
  bool Positive(float amount) { return amount > 0; }
  Value* Echo(const std::string& text) { return new String(text.c_str()); }
  int Length(const std::string& text) { return static_cast<int>(text.size()); }
  Value* Repeat(int count, const std::string& text) {
    std::string all;
    for (int k = 0; k < count; ++k) all += text;
    return new String(all.c_str());
  }
  Value* NumberText(int n) {
    if (n < 0) return &undefined;
    return new String(std::to_string(n).c_str());
  }
  bool Check(int n, const std::string& text) { return static_cast<int>(text.size()) == n; }
  void Fail(const std::string& message) { tangram::max3d::throw_runtime_error(message); }

  std::string remembered = "unset";
  int counter = 0;
};

/// A value whose text is a null pointer.
class NoText : public Value {
 public:
  void sprin1(CharStream* stream) override { stream->puts("<NoText>"); }
  const char* to_string() override { return nullptr; }
  const char* class_name() const override { return "NoText"; }
};

FPParams pack(std::initializer_list<FPValue> values) {
  FPParams params;
  params.params = values;
  return params;
}

FPValue valueParameter(Value* value) {
  FPValue parameter;
  parameter.type = TYPE_VALUE;
  parameter.v = value;
  return parameter;
}

FPValue intParameter(int number) {
  FPValue parameter;
  parameter.type = kInt;
  parameter.i = number;
  return parameter;
}

class Wrapper : public ListenerCapture {
 protected:
  TestInterface iface;
};

TEST_F(Wrapper, RegistersACoreInterfaceUntilDestroyed) {
  EXPECT_EQ(GetCOREInterface(kTestId), &iface);
  const Interface_ID other(1, 2);
  {
    class Temporary : public HVStaticInterface<Temporary, FP_CORE> {
     public:
      explicit Temporary(const Interface_ID& id) {
        HVCreateDescriptor<Temporary> d(this, id, "TemporaryInterface", nullptr);
      }
    } temporary(other);
    EXPECT_EQ(GetCOREInterface(other), &temporary);
  }
  EXPECT_EQ(GetCOREInterface(other), nullptr);
}

struct FunctionRecord {
  FunctionID id;
  const char* name;
  ParamType2 result;
  std::vector<std::pair<std::string, ParamType2>> params;
};

TEST_F(Wrapper, TheHostReadsEveryFunctionRecordInIdOrder) {
  const std::vector<FunctionRecord> expected = {
      {0, "Same", TYPE_bool, {{"first", TYPE_VALUE}, {"second", TYPE_VALUE}}},
      {1, "Flag", TYPE_bool, {}},
      {2, "IsEven", TYPE_bool, {{"number", kInt}}},
      {3, "Remember", TYPE_VOID, {{"text", TYPE_VALUE}}},
      {5, "Positive", TYPE_bool, {{"amount", kFloat}}},
      {6, "Echo", TYPE_VALUE, {{"text", TYPE_VALUE}}},
      {7, "Length", kInt, {{"text", TYPE_VALUE}}},
      {8, "Repeat", TYPE_VALUE, {{"count", kInt}, {"text", TYPE_VALUE}}},
      {9, "NumberText", TYPE_VALUE, {{"number", kInt}}},
      {10, "Check", TYPE_bool, {{"number", kInt}, {"text", TYPE_VALUE}}},
      {11, "Fail", TYPE_VOID, {{"message", TYPE_VALUE}}},
  };
  ASSERT_EQ(iface.functions.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    const FPFunctionDef& function = iface.functions[k];
    SCOPED_TRACE(expected[k].name);
    EXPECT_EQ(function.ID, expected[k].id);
    EXPECT_EQ(function.internal_name, expected[k].name);
    EXPECT_EQ(function.description, 0);
    EXPECT_EQ(function.result_type, expected[k].result);
    EXPECT_EQ(function.flags, 0);
    ASSERT_EQ(function.params.size(), expected[k].params.size());
    for (size_t p = 0; p < function.params.size(); ++p) {
      EXPECT_EQ(function.params[p].internal_name, expected[k].params[p].first);
      EXPECT_EQ(function.params[p].description, 0);
      EXPECT_EQ(function.params[p].type, expected[k].params[p].second);
    }
  }
  ASSERT_EQ(iface.props.size(), 1u);
  EXPECT_EQ(iface.props[0].getter_ID, 4);
  EXPECT_EQ(iface.props[0].setter_ID, -1);
  EXPECT_EQ(iface.props[0].internal_name, "Counter");
  EXPECT_EQ(iface.props[0].prop_type, kInt);
  EXPECT_EQ(iface.internal_name, "WrapperTest");
  EXPECT_EQ(iface.flags, FP_CORE);
  EXPECT_EQ(iface.cd, nullptr);
  EXPECT_EQ(iface.description, 0);
}

/// Functions A, B, property P, function C, then D with an explicit ID and E.
class Ordering : public HVStaticInterface<Ordering, 0> {
 public:
  Ordering() {
    HVCreateDescriptor<Ordering> d(this, Interface_ID(7, 7), "Ordering", nullptr);
    d.add_function(&Ordering::Get, "A");
    d.add_function(&Ordering::Get, "B");
    d.add_read_only_property(&Ordering::Get, "P");
    d.add_function(&Ordering::Get, "C");
    d.add_function(&Ordering::Get, "D", "Param1", "Param2", "Param3", "Param4", "Param5", "Param6",
                   "Param7", 40);
    d.add_function(&Ordering::Get, "E");
  }
  int Get() { return 5; }
};

TEST(DescriptorIds, FunctionsAndPropertiesCountFromZeroAndAnExplicitIdLeavesTheCounter) {
  Ordering ordering;
  std::vector<std::pair<FunctionID, std::string>> functions;
  for (const FPFunctionDef& function : ordering.functions) {
    functions.emplace_back(function.ID, function.internal_name);
  }
  EXPECT_EQ(functions, (std::vector<std::pair<FunctionID, std::string>>{
                           {0, "A"}, {1, "B"}, {3, "C"}, {4, "E"}, {40, "D"}}));
  ASSERT_EQ(ordering.props.size(), 1u);
  EXPECT_EQ(ordering.props[0].getter_ID, 2);
  EXPECT_EQ(ordering.props[0].setter_ID, -1);
  EXPECT_EQ(ordering.dispatch_table().size(), 6u);
  EXPECT_EQ(GetCOREInterface(Interface_ID(7, 7)), nullptr) << "not a core interface";
}

/// Many functions, so that the descriptor list outgrows its first block.
class Large : public HVStaticInterface<Large, 0> {
 public:
  static constexpr int count = 100;
  Large() {
    HVCreateDescriptor<Large> d(this, Interface_ID(8, 8), "Large", nullptr);
    for (int k = 0; k < count; ++k) d.add_function(&Large::Pair, "F" + std::to_string(k), "x", "y");
  }
  bool Pair(int, const std::string&) { return true; }
};

TEST(DescriptorIds, AListPastItsFirstBlockIsReadBackWhole) {
  Large large;
  ASSERT_EQ(large.functions.size(), static_cast<size_t>(Large::count));
  for (int k = 0; k < Large::count; ++k) {
    EXPECT_EQ(large.functions[k].ID, k);
    EXPECT_EQ(large.functions[k].internal_name, "F" + std::to_string(k));
    ASSERT_EQ(large.functions[k].params.size(), 2u);
    EXPECT_EQ(large.functions[k].params[1].internal_name, "y");
  }
}

TEST(DescriptorBlock, GrowsByHalfWhenFewerThanTwentyBytesRemainAndKeepsItsContent) {
  DescriptorList list;
  const size_t slot = sizeof(void*);
  size_t items = 0;
  while (list.capacity() - list.size() >= 20) {
    list.add_int(static_cast<int>(items++));
  }
  EXPECT_EQ(list.capacity(), DescriptorList::initial_size);
  const char* marker = "marker";
  list.add_pointer(marker);
  list.add_int(-1);
  EXPECT_EQ(list.capacity(), DescriptorList::initial_size * 3 / 2);
  EXPECT_EQ(list.size(), (items + 2) * slot);
  const auto* slots = static_cast<const unsigned char*>(list.data());
  for (size_t k = 0; k < items; ++k) {
    intptr_t value = 0;
    std::memcpy(&value, slots + k * slot, slot);
    ASSERT_EQ(value, static_cast<intptr_t>(k));
  }
  const void* pointer = nullptr;
  std::memcpy(&pointer, slots + items * slot, slot);
  EXPECT_EQ(pointer, marker);
  intptr_t widened = 0;
  std::memcpy(&widened, slots + (items + 1) * slot, slot);
  EXPECT_EQ(widened, -1) << "integers are sign-extended into their slot";
}

// With 4-byte slots (32-bit) a pointer still fits while 20 bytes remain; with 8-byte slots it
// needs 24.
TEST(DescriptorBlock, APointerFitsWhileItsReserveRemains) {
  DescriptorList list;
  const size_t reserve = sizeof(void*) == 8 ? 24 : 20;
  while (list.capacity() - list.size() > reserve) list.add_int(0);
  ASSERT_EQ(list.capacity() - list.size(), reserve);
  list.add_pointer(nullptr);
  EXPECT_EQ(list.capacity(), DescriptorList::initial_size);
  list.add_pointer(nullptr);
  EXPECT_EQ(list.capacity(), DescriptorList::initial_size * 3 / 2);
}

TEST_F(Wrapper, DispatchOfAnUnknownIdFailsAndLeavesTheResult) {
  FPValue result;
  result.Load(TYPE_INT, 77);
  EXPECT_EQ(iface.Invoke(99, 0, result, nullptr), FPS_NO_SUCH_FUNCTION);
  EXPECT_EQ(result.type, kInt);
  EXPECT_EQ(result.i, 77);
}

TEST_F(Wrapper, AVoidMemberLeavesTheResultUntouched) {
  FPValue result;
  result.Load(TYPE_INT, 77);
  FPParams params = pack({valueParameter(new String("kept"))});
  EXPECT_EQ(iface.Invoke(3, 0, result, &params), FPS_OK);
  EXPECT_EQ(iface.remembered, "kept");
  EXPECT_EQ(result.type, kInt);
  EXPECT_EQ(result.i, 77);
}

TEST_F(Wrapper, ResultsAreStoredWithTheirTypeCodes) {
  FPValue result;
  FPParams twoStrings = pack({valueParameter(new String("a")), valueParameter(new String("a"))});
  ASSERT_EQ(iface.Invoke(0, 0, result, &twoStrings), FPS_OK);
  EXPECT_EQ(result.type, TYPE_bool);
  EXPECT_TRUE(result.b);
  FPParams number = pack({intParameter(12)});
  ASSERT_EQ(iface.Invoke(9, 0, result, &number), FPS_OK);
  EXPECT_EQ(result.type, TYPE_VALUE);
  EXPECT_EQ(readable_text(result.v), "\"12\"");
  ASSERT_EQ(iface.Invoke(4, 0, result, nullptr), FPS_OK);
  EXPECT_EQ(result.type, kInt);
  EXPECT_EQ(result.i, 0);
}

TEST_F(Wrapper, AStringParameterWithNoTextArrivesEmpty) {
  FPValue result;
  FPParams params = pack({valueParameter(new NoText())});
  ASSERT_EQ(iface.Invoke(3, 0, result, &params), FPS_OK);
  EXPECT_EQ(iface.remembered, "");
}

TEST_F(Wrapper, AStandardExceptionArrivesAsARuntimeErrorWithItsText) {
  FPValue result;
  FPParams params = pack({valueParameter(new String("bad"))});
  try {
    iface.Invoke(3, 0, result, &params);
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.text(), "Key bad doesn't exist");
  }
}

TEST_F(Wrapper, AMaxScriptErrorOfTheMemberPassesUnchanged) {
  FPValue result;
  FPParams params = pack({valueParameter(new String("bad scene"))});
  try {
    iface.Invoke(11, 0, result, &params);
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.printed(), "-- Runtime error: bad scene");
  }
}

TEST(DefaultId, FailsConstructionWithTheMessageAndLogsIt) {
  class Unidentified : public HVStaticInterface<Unidentified, FP_CORE> {
   public:
    Unidentified() {
      HVCreateDescriptor<Unidentified> d(this, Interface_ID(), "Nameless", nullptr);
    }
  };
  const std::string message =
      "HVCreateDescriptor() - The interface ID for the function publishing descriptor "
      "\"Nameless\" was set to the default value, its value must be set to a randomly selected "
      "constant value.";
  ::testing::internal::CaptureStderr();
  try {
    Unidentified unidentified;
    ::testing::internal::GetCapturedStderr();
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    const std::string logged = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(error.what(), message);
    EXPECT_NE(logged.find("error: HV Function Publishing Wrapper: " + message), std::string::npos)
        << logged;
  }
  EXPECT_EQ(GetCOREInterface(Interface_ID()), nullptr);
}

struct ScriptCase {
  const char* script;
  const char* expected;
};

void PrintTo(const ScriptCase& c, std::ostream* out) {
  *out << c.script;
}

class FromScript : public Wrapper, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(FromScript, CallsThePublishedMembers) {
  EXPECT_EQ(result_of(GetParam().script), GetParam().expected) << GetParam().script;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, FromScript,
    ::testing::Values(ScriptCase{"WrapperTest.Same \"a\" \"a\"", "true"},
                      ScriptCase{"WrapperTest.Flag()", "true"},
                      ScriptCase{"wrappertest.iseven 3", "false"},
                      ScriptCase{"WrapperTest.Remember \"x\"", "OK"},
                      ScriptCase{"WrapperTest.Remember \"x\"; WrapperTest.Counter", "1"},
                      ScriptCase{"WrapperTest.Positive 0.5", "true"},
                      ScriptCase{"WrapperTest.Positive -2", "false"},
                      ScriptCase{"WrapperTest.Echo (\"a\" + \"b\")", "\"ab\""},
                      ScriptCase{"WrapperTest.Length \"abcd\"", "4"},
                      ScriptCase{"WrapperTest.Repeat 3 \"ab\"", "\"ababab\""},
                      ScriptCase{"WrapperTest.NumberText -1", "undefined"},
                      ScriptCase{"WrapperTest.Check 2 \"ab\"", "true"},
                      ScriptCase{"WrapperTest.IsEven 4.0", "true"},
                      ScriptCase{"WrapperTest", "<Interface:WrapperTest>"},
                      ScriptCase{"try (WrapperTest.Remember \"bad\") catch (getCurrentException())",
                                 "\"-- Runtime error: Key bad doesn't exist\""},
                      ScriptCase{
                          "try (WrapperTest.Fail \"bad scene\") catch (getCurrentException())",
                          "\"-- Runtime error: bad scene\""}));

class ScriptErrors : public Wrapper, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptErrors, AreTheHostsErrors) {
  EXPECT_EQ(error_of(GetParam().script), GetParam().expected) << GetParam().script;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, ScriptErrors,
    ::testing::Values(
        ScriptCase{"WrapperTest.Echo()", "-- Argument count error: Echo wanted 1, got 0"},
        ScriptCase{"WrapperTest.Check 1", "-- Argument count error: Check wanted 2, got 1"},
        ScriptCase{"WrapperTest.IsEven \"x\"", "-- Unable to convert: \"x\" to type: Integer"},
        ScriptCase{"WrapperTest.Echo 5", "-- Unable to convert: 5 to type: String"},
        ScriptCase{"WrapperTest.Nope", "-- Unknown property: \"Nope\" in <Interface:WrapperTest>"},
        ScriptCase{"WrapperTest.Counter = 3",
                   "-- Runtime error: Cannot set read-only property: Counter"},
        ScriptCase{"WrapperTest.Fail \"bad scene\"", "-- Runtime error: bad scene"}));

}  // namespace
