// Scripts of gestures as a player makes them: layer drags on the pieces, whole-puzzle drags
// beside them, now and then a shuffle or a new skin. Shared by the replay benchmark and the
// tests that play games side by side.
#pragma once

#include <cstdint>
#include <string>

// A vexal-replay script of about `events` events that starts with "seed scriptSeed". The same
// seeds give the same script.
std::string GenerateReplayScript(int events, std::uint32_t scriptSeed = 4321, std::uint32_t gestureSeed = 20240601);
