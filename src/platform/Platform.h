#pragma once
// The only interface whose implementation differs between Windows and POSIX.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Files. Paths are CP932 byte strings with backslash separators.
using FileHandle = std::intptr_t;
constexpr FileHandle kNoFile = -1;

FileHandle OpenForReading(const char* path);
// False when the size cannot be determined; only the low 32 bits are given.
bool GetFileSize32(FileHandle file, std::uint32_t& size);
// One read of up to count bytes; received is 0 at the end of the file.
bool ReadFromFile(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& received);
bool CloseFile(FileHandle file);
// Why the last file operation of this thread failed, in the system's words, as UTF-8.
std::string LastErrorText();
// A path as this system writes it, in UTF-8: the one form in which paths are shown.
std::string NativePath(const std::string& path);

// Movable memory blocks: an address is stable only while its block is locked.
using MemoryHandle = void*;

MemoryHandle AllocateMemory(std::size_t bytes);
// On failure the block is left as it was and null is returned.
MemoryHandle ReallocateMemory(MemoryHandle block, std::size_t bytes);
void* LockMemory(MemoryHandle block);
// True while the block is still locked after this unlock.
bool UnlockMemory(MemoryHandle block);
bool FreeMemory(MemoryHandle block);

// An error message with no owner window and the platform's default caption.
using MessageHandler = void (*)(const std::string& text);
// Null restores the platform's own handler (a message box on Windows, standard error elsewhere).
// Gives back the handler it replaces.
MessageHandler SetMessageHandler(MessageHandler handler);
void ShowError(const std::string& text);
void ShowErrorOnPlatform(const std::string& text);

// CP932 text as UTF-8; a byte that does not decode becomes U+FFFD.
std::string Cp932ToUtf8(const std::string& text);
// UTF-8 text as CP932; false when a character has no CP932 form that reads back as itself
// ("¥" would come back as a backslash, "〜" as "～").
bool Utf8ToCp932(const std::string& text, std::string& cp932);

}  // namespace platform
