// Chief header of the runtime base: fixed-width types and the byte order that
// every binary file of the game uses (little-endian on disk).
#pragma once
#include <cstddef>
#include <cstdint>

// The primitives assemble bytes explicitly, so files are portable; main()
// still checks that the machine is little-endian, as the game always has.
constexpr bool pc_endian = true;

// Paths are built in 2500-byte buffers and messages in 5000-byte buffers.
constexpr int PATHLEN = 2500;
constexpr int MSGLEN = 5000;

constexpr const char* VERSIONTEXT = "version 3.27";
constexpr int VERSIONNBR = 327;
