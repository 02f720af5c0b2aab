// The listener's and the error's streams: the same bytes on every platform.
#pragma once

/// Makes standard output and error write text as it is, without a carriage return added before
/// each line feed, so that callers read the same output on every platform.
void useBinaryStandardStreams();
