#pragma once

#include <windows.h>

// The module whose resources and window class every window and dialog uses.
extern HINSTANCE appInstance;
