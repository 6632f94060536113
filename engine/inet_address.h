// IPv4 address helpers of the engine: this computer's address and the dotted text of an address.
#pragma once

#include "foundation/base_types.h"

// The lowest IPv4 address of this computer that is neither 0.0.0.0 nor 127.0.0.1, in network byte
// order. FALSE (*address untouched) when there is none or address is null. Blocks briefly on
// the system's interface table; any thread.
BOOL GetLocalAddress(DWORD* address);

// The choice GetLocalAddress makes among the given addresses (network byte order): the lowest in
// the order of its four bytes that is neither 0.0.0.0 nor 127.0.0.1. Other loopback addresses
// count as ordinary ones. FALSE (*address untouched) when there is none.
BOOL SelectLocalAddress(const DWORD* addresses, DWORD count, DWORD* address);

// Dotted decimal text of an address in network byte order ("192.0.2.7").
CString FormatDottedAddress(DWORD address);
