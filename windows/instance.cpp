#include "platform/win32/instance.h"

HINSTANCE InstanceHandle = nullptr;
