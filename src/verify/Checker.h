#pragma once

#include <cstdint>

class DrawingSurface;
class MainWindow;
class ProgressDialog;

// Carries out the checks for the program: the verification of each file, the runs and the flow.
class Checker {
 public:
  explicit Checker(MainWindow& mainWindow);
  ~Checker();
  Checker(const Checker&) = delete;
  Checker& operator=(const Checker&) = delete;

  // True only when the file opened and has the expected size and CRC-32; an open or size
  // failure is shown in a box, a CRC mismatch is left to the caller.
  bool VerifyFile(const char* path, std::int32_t expectedSize, std::uint32_t expectedCrc,
                  ProgressDialog& progress);

 private:
  MainWindow& window;
  DrawingSurface* surface;
};
