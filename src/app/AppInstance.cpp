#include "app/AppInstance.h"

HINSTANCE appInstance = nullptr;
