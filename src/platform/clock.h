#pragma once
// The program's clock: the system's tick count in milliseconds plus however
// far a test has moved it on. What waits for a span of time (a copied
// password's expiry, the idle limit) checks this clock on a short timer
// instead of setting one long timer, so that a test moves time on instead of
// waiting for it.
#include <windows.h>

namespace platform {

ULONGLONG clock_ms();

// Moves the clock forward. Any thread may call it.
void advance_clock(ULONGLONG milliseconds);

// The clock's time of the last keyboard or mouse input that reached the
// system, for any program, not only this one.
ULONGLONG last_input_ms();

// Where last_input_ms() takes the last input from: the system, unless a test
// puts a source of its own in (nullptr puts the system back). What a machine
// counts as input is not for a test to guess: Wine counts a window appearing
// under the pointer as a mouse move, which Windows does not.
using LastInputSource = ULONGLONG (*)();
void set_last_input_source(LastInputSource source);

} // namespace platform
