#include "Reply.h"

#include <cstdint>
#include <cstdio>

Reply::Reply(const char* word) : line(word) {}

Reply& Reply::Number(const char* key, unsigned long value) {
  return Word(key, std::to_string(value));
}

Reply& Reply::Handle(const char* key, HWND window) {
  char digits[32];
  std::snprintf(digits, sizeof digits, "%llx",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
  return Word(key, digits);
}

Reply& Reply::Word(const char* key, const std::string& value) {
  line += ' ';
  line += key;
  line += '=';
  line += value;
  return *this;
}

Reply& Reply::Text(const char* key, const std::string& bytes) { return Word(key, Hex(bytes)); }

void Reply::Send() const {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    const auto value = static_cast<unsigned char>(c);
    hex += digits[value >> 4];
    hex += digits[value & 0xF];
  }
  return hex;
}
