#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "texts/Texts.h"

// A wrong byte in an escaped text shows here as a different character.
TEST(Texts, DecodeToTheirJapanese) {
  const std::pair<const char*, const char*> texts[] = {
      {texts::kInvalidToken, "は無効なトークン"},
      {texts::kLoadFailed, "InfFileの読み取りに失敗しました"},
      {texts::kOpenFailed, "のファイルのオープンに失敗しました"},
      {texts::kSizeDiffers, "のファイルサイズが一致しません"},
      {texts::kQuitQuestion, "を終了します。よろしいですか？"},
      {texts::kProcessing, "処理中････"},
      {texts::kFileCountFormat, "のこり(%d/%d)ファイル"},
      {texts::kDefaultDrivePrompt, "検索するドライブを指定してください。"},
      {texts::kDriveInfoMissing, "情報ファイルの記述が間違っています。"},
      {texts::kMediaFileFailed, "ファイルの読み込みに失敗しました。\nサポートページをご覧下さい。\n終了します。"},
      {texts::kRegistryEntryFailed, "開けないファイルがありました。\n終了します。\n"},
      {texts::kInstalledFileDamaged, "ファイルが壊れてます。\n再インストールの必要があります\n終了します。"},
      {texts::kMediaIntact, "CD/DVD内のファイルは正常であることが確認されました。"},
      {texts::kGameNotInstalled, "ゲームがインストールされていません"},
      {texts::kGameInstalled, "ゲームがインストールされています。\n"},
      {texts::kCheckInstalledToo, "続いてインストールされたデーターもチェックしますか？\n"},
      {texts::kInstalledIntact, "インストールされたファイルは正常であることが確認されました。"},
  };
  for (const auto& [cp932, utf8] : texts) EXPECT_EQ(platform::Cp932ToUtf8(cp932), utf8);
}
