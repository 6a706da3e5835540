// The controller's life in the guest: one full session, or one kept alive
// for another instance to bump into.
#pragma once

namespace guest {

// Selects the backend from the environment, then makes the controller,
// drives every line, pulses `pulse` out, and lets it restore the port.
// Prints the as-found registers and the registers after each step. Exit
// code 1 when the selection refused the port.
int session(unsigned char pulse);

// Makes the controller, puts 0x5A on the data lines, then writes control
// 0x24 through it: bit 5 would turn the data lines into inputs if it
// reached the port. Prints the data register read back after that.
int directionGuard();

// Makes the controller, then pulls the device out from under the backend
// (its descriptor is replaced by /dev/null, which closes the real one) and
// keeps using it. Prints each fault reported and "survived" at the end.
int deviceGone();

// Makes the controller, sets data line 0 high and keeps it until SIGTERM;
// touches /tmp/tenvaro-holding once it holds the port.
int hold();

// Takes the port through the selected backend and lets it go again, without
// a controller: proves nobody else still holds it. Prints "claimed" or why
// not; exit code 1 when refused.
int claim();

} // namespace guest
