#pragma once

// The one seam through which tests drive the program without a person, in three parts, each
// with its own header:
// - platform/testing/windows.h: the windows and the input a person gives them;
// - platform/testing/dialogs.h: the modals, answered in the person's place or worked as the
//   real dialogs they are;
// - platform/testing/fakes.h: what stands in for the screen, the disk, the print system and
//   the modules' folder.
// The seam lives in the test programs' build of the platform library alone
// (libkestrix_platform_testing); the program's own library carries none of it, and the
// program never calls anything in these headers.

#include "platform/testing/dialogs.h"
#include "platform/testing/fakes.h"
#include "platform/testing/windows.h"
