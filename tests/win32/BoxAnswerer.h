#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenBox {
  std::string text;
  std::string caption;
  HWND owner;
};

// While it lives, answers every message box of the calling thread from a thread of its own:
// with the given buttons in order, then with OK. Records what each box showed.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<int> answers = {});
  ~BoxAnswerer();
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  std::vector<SeenBox> Seen();

 private:
  void Watch();
  HWND FindBox() const;

  const DWORD uiThread;
  std::vector<int> answers;
  std::mutex seenLock;
  std::vector<SeenBox> seen;
  std::atomic<bool> stopping{false};
  std::thread watcher;
};
