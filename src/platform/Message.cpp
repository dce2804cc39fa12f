#include "platform/Platform.h"

namespace platform {
namespace {

MessageHandler currentHandler = ShowErrorOnPlatform;

}  // namespace

void SetMessageHandler(MessageHandler handler) {
  currentHandler = handler != nullptr ? handler : ShowErrorOnPlatform;
}

void ShowError(const std::string& text) { currentHandler(text); }

}  // namespace platform
