// wsprintfA: each conversion is parsed here, fetched with its Windows size and printed by snprintf.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

constexpr size_t maximumOutput = 1023;

struct Conversion {
  std::string flags;
  std::string width;
  std::string precision;  // with its '.', or empty
  char type = 0;
};

// Reads "[-#0...][width][.precision][h|l]type" after a '%'; format then points past it.
Conversion parse(const char*& format) {
  Conversion conversion;
  while (*format == '-' || *format == '#' || *format == '0') conversion.flags += *format++;
  while (*format >= '0' && *format <= '9') conversion.width += *format++;
  if (*format == '.') {
    conversion.precision += *format++;
    while (*format >= '0' && *format <= '9') conversion.precision += *format++;
  }
  while (*format == 'h' || *format == 'l') ++format;
  conversion.type = *format;
  if (*format != '\0') ++format;
  return conversion;
}

template <typename Value>
std::string print(const Conversion& conversion, const char* type, Value value) {
  const std::string pattern =
      "%" + conversion.flags + conversion.width + conversion.precision + type;
  char piece[maximumOutput + 1];
  std::snprintf(piece, sizeof(piece), pattern.c_str(), value);
  return piece;
}

std::string print_pointer(const Conversion& conversion, const void* pointer) {
  const std::string pattern = "%0" + std::to_string(sizeof(void*) * 2) + "llX";
  char digits[32];
  std::snprintf(digits, sizeof(digits), pattern.c_str(),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(pointer)));
  return print(Conversion{conversion.flags.find('-') != std::string::npos ? "-" : "",
                          conversion.width, "", 's'},
               "s", digits);
}

std::string convert(const Conversion& conversion, va_list& arguments) {
  switch (conversion.type) {
    case 'd':
    case 'i':
      return print(conversion, "d", va_arg(arguments, int));
    case 'u':
      return print(conversion, "u", va_arg(arguments, unsigned int));
    case 'x':
      return print(conversion, "x", va_arg(arguments, unsigned int));
    case 'X':
      return print(conversion, "X", va_arg(arguments, unsigned int));
    case 'c':
      return print(conversion, "c", va_arg(arguments, int));
    case 's': {
      const char* text = va_arg(arguments, const char*);
      return print(conversion, "s", text != nullptr ? text : "(null)");
    }
    case 'p':
      return print_pointer(conversion, va_arg(arguments, const void*));
    case '\0':
      return std::string();
    default:
      return std::string(1, conversion.type);
  }
}

}  // namespace

int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments) {
  std::string output;
  va_list remaining;
  va_copy(remaining, arguments);
  while (*format != '\0' && output.size() < maximumOutput) {
    if (*format != '%') {
      output += *format++;
      continue;
    }
    ++format;
    output += convert(parse(format), remaining);
  }
  va_end(remaining);
  if (output.size() > maximumOutput) output.resize(maximumOutput);
  output.copy(buffer, output.size());
  buffer[output.size()] = '\0';
  return static_cast<int>(output.size());
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int written = wvsprintfA(buffer, format, arguments);
  va_end(arguments);
  return written;
}
