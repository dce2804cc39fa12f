#include "platform/Platform.h"

namespace platform {
namespace {

MessageHandler currentHandler = ShowErrorOnPlatform;

}  // namespace

MessageHandler SetMessageHandler(MessageHandler handler) {
  const MessageHandler previous = currentHandler;
  currentHandler = handler != nullptr ? handler : ShowErrorOnPlatform;
  return previous;
}

void ShowError(const std::string& text) { currentHandler(text); }

}  // namespace platform
