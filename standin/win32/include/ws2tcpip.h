// Winsock's TCP/IP additions (socklen_t among them): on POSIX the socket headers already hold them.
#pragma once

#include "winsock2.h"
