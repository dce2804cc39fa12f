#pragma once

#include <cstdint>

#include "platform/Platform.h"

// A movable memory block kept locked while it is held, so that its address stays put.
class GlobalBuffer {
 public:
  GlobalBuffer() = default;
  GlobalBuffer(const GlobalBuffer&) = delete;
  GlobalBuffer& operator=(const GlobalBuffer&) = delete;

  virtual bool Allocate(std::int32_t bytes);
  virtual bool Resize(std::int32_t bytes);
  virtual void Release();
  virtual std::int32_t Size() const;
  virtual std::uint8_t* Data() const;
  virtual ~GlobalBuffer();

 private:
  void Forget();

  platform::MemoryHandle memory = nullptr;
  std::uint8_t* data = nullptr;
  std::int32_t size = 0;
};
