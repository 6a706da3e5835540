// The program the virtual machine runs against the kernel's parport driver.
// It drives the real controller through the real port-I/O layer, chosen from
// the environment exactly as the application chooses it, and prints what it
// finds on stdout for the host to check.
//
//   session PULSE        the controller through the selected backend
//   guard                a control write with the direction bit set
//   gone                 the device vanishes while the controller uses it
//   hold                 keep the controller alive until SIGTERM
//   rawclaim             hold the port as another ppdev program would
//   claim                take the port through the selected backend and let go
//   drop UID GID [GROUP...] -- PROGRAM ARGS   run as an unprivileged user
//   mark VALUE           write a marker the host finds in its port trace
//   poke ADDRESS VALUE   write a port register directly
//   bench                SetLine against a bare read plus write
#include "GuestBench.h"
#include "GuestSession.h"
#include "GuestTools.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "session" && argc == 3)
        return guest::session(static_cast<unsigned char>(argv[2][0]));
    if (command == "guard")
        return guest::directionGuard();
    if (command == "gone")
        return guest::deviceGone();
    if (command == "hold")
        return guest::hold();
    if (command == "rawclaim")
        return guest::rawClaim();
    if (command == "claim")
        return guest::claim();
    if (command == "drop" && argc > 4)
        return guest::drop(argc - 2, argv + 2);
    if (command == "mark" && argc == 3)
        return guest::mark(static_cast<std::uint8_t>(std::stoul(argv[2], nullptr, 0)));
    if (command == "poke" && argc == 4)
        return guest::poke(static_cast<std::uint16_t>(std::stoul(argv[2], nullptr, 0)),
                           static_cast<std::uint8_t>(std::stoul(argv[3], nullptr, 0)));
    if (command == "bench")
        return guest::bench();
    std::fprintf(stderr, "usage: %s session PULSE | guard | gone | hold | rawclaim | claim | drop UID GID [GROUP...] -- "
                         "PROGRAM [ARGS] | mark VALUE | poke ADDRESS VALUE | bench\n",
                 argv[0]);
    return 2;
}
