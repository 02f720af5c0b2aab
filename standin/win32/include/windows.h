// The Windows API names the plug-in calls, provided on POSIX by the stand-in runtime.
#pragma once

#include "win32/base_types.h"
#include "win32/error_text.h"
#include "win32/files.h"
#include "win32/kernel.h"
#include "win32/messages.h"
#include "win32/tls.h"
#include "win32/exceptions.h"
#include "win32/file_handles.h"
#include "win32/file_times.h"
#include "win32/formatting.h"
#include "win32/handles.h"
#include "win32/memory.h"
#include "win32/modules.h"
