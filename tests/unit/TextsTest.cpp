#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "texts/Texts.h"

// A wrong byte in an escaped text shows here as a different character.
TEST(Texts, DecodeToTheirJapanese) {
  const std::pair<const char*, const char*> texts[] = {
      {texts::kInvalidToken, "は無効なトークン"},
  };
  for (const auto& [cp932, utf8] : texts) EXPECT_EQ(platform::Cp932ToUtf8(cp932), utf8);
}
