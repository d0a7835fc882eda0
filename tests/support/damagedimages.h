#pragma once

#include <string>
#include <vector>

// Damaged image files of every format the panel loads: sound files of every kind and header
// version, files whose headers lie (huge declared sizes, data beyond the file) and random changes
// of sound files (fixed seeds, so every run sees the same files). Made in memory; the image tests
// load each one, and the image benchmark measures each load.
namespace damagedimages {

// LOADS: passes the check and the system loads it. CHECKED: passes the check; Wine's image loader
// does not know V2 and V3 bitmap headers, Windows' does. REFUSED: refused by the check. EITHER: a
// random change, which may go either way but must neither crash nor hang.
enum OUTCOME { LOADS, CHECKED, REFUSED, EITHER };

struct IMAGECASE {
    std::string name;
    std::string bytes;
    OUTCOME outcome;
};

std::vector<IMAGECASE> SoundFiles();
std::vector<IMAGECASE> LyingFiles();
std::vector<IMAGECASE> ChangedFiles();

}  // namespace damagedimages
