#include "windows/instance.h"

HINSTANCE InstanceHandle = nullptr;
