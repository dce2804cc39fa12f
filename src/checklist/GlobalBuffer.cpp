#include "checklist/GlobalBuffer.h"

bool GlobalBuffer::Allocate(std::int32_t bytes) {
  if (bytes <= 0) return false;
  Release();
  platform::MemoryHandle block = platform::AllocateMemory(static_cast<std::size_t>(bytes));
  if (block == nullptr) return false;
  void* address = platform::LockMemory(block);
  if (address == nullptr) {
    platform::FreeMemory(block);
    return false;
  }
  memory = block;
  data = static_cast<std::uint8_t*>(address);
  size = bytes;
  return true;
}

bool GlobalBuffer::Resize(std::int32_t bytes) {
  if (bytes <= 0) return false;
  if (memory == nullptr) return Allocate(bytes);
  if (platform::UnlockMemory(memory)) return false;
  platform::MemoryHandle block = platform::ReallocateMemory(memory, static_cast<std::size_t>(bytes));
  if (block == nullptr) {
    // The old block survives a failed reallocation; free it rather than leak it.
    platform::FreeMemory(memory);
    Forget();
    return false;
  }
  void* address = platform::LockMemory(block);
  if (address == nullptr) {
    platform::FreeMemory(block);
    Forget();
    return false;
  }
  memory = block;
  data = static_cast<std::uint8_t*>(address);
  size = bytes;
  return true;
}

void GlobalBuffer::Release() {
  if (memory == nullptr) return;
  if (platform::UnlockMemory(memory)) return;
  if (platform::FreeMemory(memory)) Forget();
}

std::int32_t GlobalBuffer::Size() const { return size; }

std::uint8_t* GlobalBuffer::Data() const { return data; }

GlobalBuffer::~GlobalBuffer() { GlobalBuffer::Release(); }

void GlobalBuffer::Forget() {
  memory = nullptr;
  data = nullptr;
  size = 0;
}
