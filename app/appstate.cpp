#include "app/appstate.h"

APPSTATE App;
