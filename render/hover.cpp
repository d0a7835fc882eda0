#include "render/hover.h"

bool HoverFlags[HOVER_FIELD_COUNT];
POINT HoverPosition = {-1, -1};

void ClearHoverFlags()
{
    for (bool& flag : HoverFlags)
        flag = false;
}

void ForgetHoverPosition()
{
    HoverPosition.x = -1;
    HoverPosition.y = -1;
}
