// MAXScript for plug-ins: values, the heap, thread locals, streams, the parser and the errors.
#pragma once

#include "maxscript/compiler/parser.h"
#include "maxscript/foundation/numbers.h"
#include "maxscript/foundation/streams.h"
#include "maxscript/foundation/strings.h"
#include "maxscript/foundation/thread_locals.h"
#include "maxscript/kernel/constant_values.h"
#include "maxscript/kernel/exceptions.h"
#include "maxscript/kernel/value.h"
#include "maxscript/ui/listener.h"
