// A file of the files room that reaches up into the video room: the include check must
// refuse it (tests/CMakeLists.txt runs the check on this folder).
#pragma once

#include "platform/base/owned.h"
#include "platform/video/window.h"
