#pragma once

#include <windows.h>

#include <string>

// One line to the harness: a word, then key=value fields. Texts go as the hex of their UTF-8
// bytes, so that no byte of theirs can be taken for a separator or a line end.
class Reply {
 public:
  explicit Reply(const char* word);

  Reply& Number(const char* key, unsigned long value);
  Reply& Handle(const char* key, HWND window);
  Reply& Word(const char* key, const std::string& value);
  Reply& Text(const char* key, const std::string& bytes);
  // Written and flushed at once: the harness waits for it.
  void Send() const;

 private:
  std::string line;
};

std::string Hex(const std::string& bytes);
