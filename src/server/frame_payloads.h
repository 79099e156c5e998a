// Readers of "mos" and "key" frame payloads: space-separated tokens, each read by a small
// state machine that starts fresh with every payload. Pointer payloads move, press,
// release, click and scroll ("m 5 -3", "R l d", "c", "w 1", "h -2"); key payloads type
// named keys, combinations and raw transitions ("a", "RTN", "CTRL[+]c", "[R] SHIFT d").
// Presses and releases go through the client's HeldInput so that nothing stays stuck
// when the client vanishes. A negative length reads nothing.
#pragma once

#include "input/held_input.h"

namespace hovra {

void ReadMousePayload(const char* payload, int len, HeldInput& held);
void ReadKeyPayload(const char* payload, int len, HeldInput& held);

}  // namespace hovra
