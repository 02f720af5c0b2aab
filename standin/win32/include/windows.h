// The Windows API names the plug-in calls, provided on POSIX by the stand-in runtime.
#pragma once

#include "win32/base_types.h"
#include "win32/error_text.h"
#include "win32/files.h"
#include "win32/kernel.h"
#include "win32/messages.h"
#include "win32/tls.h"
