#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

// While it lives, the invalid tokens that the check-list reader reports are collected here
// instead of being shown. One log at a time.
class InvalidTokenLog {
 public:
  InvalidTokenLog();
  ~InvalidTokenLog();
  InvalidTokenLog(const InvalidTokenLog&) = delete;
  InvalidTokenLog& operator=(const InvalidTokenLog&) = delete;

  // Each token's CP932 text, in the order the reader met them.
  const std::vector<std::string>& Tokens() const;

 private:
  static void Record(const std::string& message);

  platform::MessageHandler previous;
  std::vector<std::string> tokens;
};
