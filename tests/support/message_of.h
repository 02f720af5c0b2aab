// Test helper: the message of the exception a call throws, checked to be of the expected class.
#pragma once

#include <exception>
#include <string>

/// Runs `call` and returns the what() of the E it throws; another exception or none gives a
/// text that names what happened instead, so that a comparison with the expected message fails.
template <typename E, typename F>
std::string messageOf(F call) {
  try {
    call();
  } catch (const E& error) {
    return error.what();
  } catch (const std::exception& other) {
    return std::string("wrong exception: ") + other.what();
  } catch (...) {
    return "unknown exception";
  }
  return "no exception";
}
