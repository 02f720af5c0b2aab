// The TCP/IP additions to Windows Sockets (socklen_t and address helpers): part of winsock2.h here.
#pragma once

#include <winsock2.h>
