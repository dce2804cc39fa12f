#include "lists/Cp932Name.h"

#include <cstddef>

#include "platform/Platform.h"

namespace {

// Characters whose CP932 bytes read back as another character, as UTF-8: what a list holds for
// them names another file.
struct ReadBack {
  const char* written;
  const char* read;
};

constexpr ReadBack kReadBackOtherwise[] = {
    {"\xC2\xA5", "\\"},                    // YEN SIGN as the backslash
    {"\xE2\x80\xBE", "~"},                 // OVERLINE as the tilde
    {"\xE3\x80\x9C", "\xEF\xBD\x9E"},      // WAVE DASH as FULLWIDTH TILDE
    {"\xE2\x80\x96", "\xE2\x88\xA5"},      // DOUBLE VERTICAL LINE as PARALLEL TO
    {"\xE2\x88\x92", "\xEF\xBC\x8D"},      // MINUS SIGN as FULLWIDTH HYPHEN-MINUS
    {"\xC2\xA2", "\xEF\xBF\xA0"},          // CENT SIGN as its full-width form
    {"\xC2\xA3", "\xEF\xBF\xA1"},          // POUND SIGN as its full-width form
    {"\xC2\xAC", "\xEF\xBF\xA2"},          // NOT SIGN as its full-width form
    {"\xC2\xA6", "\xEF\xBF\xA4"},          // BROKEN BAR as its full-width form
    {"\xE2\x80\x94", "\xE2\x80\x95"},      // EM DASH as HORIZONTAL BAR
};

std::size_t SequenceLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

const ReadBack* ReadBackOf(const std::string& character) {
  for (const ReadBack& entry : kReadBackOtherwise) {
    if (character == entry.written) return &entry;
  }
  return nullptr;
}

// Calls each(character) for every UTF-8 character until it returns false.
template <typename Each>
void ForEachCharacter(const std::string& utf8, Each each) {
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = SequenceLength(static_cast<unsigned char>(utf8[i]));
    if (!each(utf8.substr(i, length))) return;
    i += length;
  }
}

}  // namespace

namespace cp932_name {

std::string WhyUnwritable(const std::string& utf8) {
  std::string why = "a character of it has no CP932 form, and check-list names are CP932";
  ForEachCharacter(utf8, [&](const std::string& character) {
    std::string unused;
    if (platform::Utf8ToCp932(character, unused)) return true;
    const ReadBack* readBack = ReadBackOf(character);
    why = readBack != nullptr
              ? "its \"" + character + "\" has a CP932 form only as \"" + readBack->read +
                    "\", which reads back as another character, so a list's name finds no file"
              : "its \"" + character + "\" has no CP932 form, and check-list names are CP932";
    return false;
  });
  return why;
}

std::string Nearest(const std::string& utf8) {
  std::string nearest;
  bool written = true;
  ForEachCharacter(utf8, [&](const std::string& character) {
    const ReadBack* readBack = ReadBackOf(character);
    std::string cp932;
    written = platform::Utf8ToCp932(readBack != nullptr ? readBack->read : character, cp932);
    nearest += cp932;
    return written;
  });
  return written ? nearest : "";
}

}  // namespace cp932_name
