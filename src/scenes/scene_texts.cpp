#include "scenes/scene_texts.h"

namespace tolvarin {

const char* const memberLines[kMemberLines] = {
    "Skarvelin,",
    "Murkfang,",
    "Zelpdrix,",
    "Quorv and",
    "Trixelo",
};

// Chosen so that each one, at its place in the tunnel, ends left of x 320.
const char* const greetingNames[kGreetingCount] = {
    "GLIMMERWAKE", "NOCTURVA",  "HEX-ORCHARD",  "BRASSPHAGE", "VELDT SIGNAL", "QUOLVANE",
    "PIXTORMENTA", "DUSKWEAVERS", "ORBIDA",     "FERROLUNE",  "SLEEPCIRCUIT", "MARROWBYTE",
    "TANGO-VOID",  "KELPFORGE", "ZINDRAL",      "LUMEN-CRAWL",
};

}  // namespace tolvarin
