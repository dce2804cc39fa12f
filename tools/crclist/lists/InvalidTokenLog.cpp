#include "lists/InvalidTokenLog.h"

namespace {

InvalidTokenLog* activeLog = nullptr;

}  // namespace

InvalidTokenLog::InvalidTokenLog() : previous(platform::SetMessageHandler(Record)) {
  activeLog = this;
}

InvalidTokenLog::~InvalidTokenLog() {
  platform::SetMessageHandler(previous);
  activeLog = nullptr;
}

const std::vector<std::string>& InvalidTokenLog::Tokens() const { return tokens; }

// The message is "token,length,text"; an invalid token is one byte and never a comma, and a NUL
// byte shows as nothing.
void InvalidTokenLog::Record(const std::string& message) {
  const std::string token = message.substr(0, message.find(','));
  activeLog->tokens.push_back(token.empty() ? std::string(1, '\0') : token);
}
