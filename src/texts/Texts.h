#pragma once
// Every text the program shows, as the CP932 bytes it shows; the text itself is in the comment.

namespace texts {

// は無効なトークン
inline constexpr char kInvalidToken[] = "\x82\xCD\x96\xB3\x8C\xF8\x82\xC8\x83\x67\x81\x5B\x83\x4E\x83\x93";

}  // namespace texts
