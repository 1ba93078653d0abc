// Message formatting for the framework's errors.
#include "framework/Exceptions.h"

namespace lodo {

namespace {
// Replaces each %s of format in turn with the next argument; other text stays.
std::string Substitute(const char* format, const std::string* args, size_t count) {
  std::string out;
  size_t next = 0;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == 's' && next < count) {
      out += args[next++];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}
}  // namespace

std::string Format(const char* format, const std::string& a) { return Substitute(format, &a, 1); }

std::string Format(const char* format, const std::string& a, const std::string& b) {
  const std::string args[] = {a, b};
  return Substitute(format, args, 2);
}

}  // namespace lodo
