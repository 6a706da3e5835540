// What the controller adds to a port access on a real backend: SetLine next
// to one bare read plus one bare write through the same path. Prints the
// times and their ratio; judges nothing.
#pragma once

namespace guest {

int bench();

} // namespace guest
