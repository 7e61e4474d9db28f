#pragma once
// The sounds of the PASS and FAIL windows: a short rising chime and a low double buzz, written
// once into the user's runtime folder and played by the system's sound player where there is one
// and a sound device; the terminal bell otherwise.
#include <cstdint>
#include <vector>

#include "core/report/reporter.h"

namespace quillet {

// A mono 16-bit PCM WAV file of the sound.
std::vector<uint8_t> ResultSoundWave(Sound sound);
void PlayResultSound(Sound sound);

}  // namespace quillet
