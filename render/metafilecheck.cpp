#include "render/metafilecheck.h"

bool IsEnhancedMetafileSound(const IMAGEVIEW& image) { return true; }
