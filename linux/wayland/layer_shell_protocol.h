// The generated layer-shell client header, made includable from C++: one of
// its requests has an argument called "namespace".
#pragma once

#define namespace namespace_
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
