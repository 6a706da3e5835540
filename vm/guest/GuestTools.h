// Small tools the guest's scripts need around the sessions.
#pragma once

#include <csignal>
#include <cstdint>

namespace guest {

// Writes `value` to the marker register of the emulated port. Needs root;
// does nothing (and says so) without it.
int mark(std::uint8_t value);

// Writes `value` straight to the port register at `address`, bypassing every
// driver: sets up what the next program will find. Needs root.
int poke(std::uint16_t address, std::uint8_t value);

// Blocks SIGTERM so that it can be waited for with awaitSigterm; call before
// anything the guest's script might signal.
sigset_t blockSigterm();
void awaitSigterm(const sigset_t& blocked);

// Claims /dev/parport0 as any other ppdev program would (not exclusively)
// and holds it until SIGTERM; touches /tmp/tenvaro-rawclaim once it does.
int rawClaim();

// Points every descriptor of this process open on `device` at /dev/null
// instead, closing the device. False (and says why) when there was none.
bool replaceDescriptorsOf(const char* device);

// argv: UID GID [GROUP...] -- PROGRAM [ARGS]; runs PROGRAM as that user with
// exactly those supplementary groups.
int drop(int argc, char** argv);

} // namespace guest
