#pragma once

#include <string>

#include "app/MainWindow.h"

class Checker;

// The program has one main window and one Checker; so has the test binary.
MainWindow& TheMainWindow();
Checker& TheChecker();

// Dispatches what is pending, the way the program's waiting loops do.
void PumpFor(int milliseconds);

std::string ControlText(void* window, int id);
