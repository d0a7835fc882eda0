#include "render/metafilecheck.h"

bool IsPlaceableMetafileSound(const IMAGEVIEW& image) { return true; }

bool IsEnhancedMetafileSound(const IMAGEVIEW& image) { return true; }
