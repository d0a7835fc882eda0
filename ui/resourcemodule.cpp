#include "ui/resourcemodule.h"

HINSTANCE ResourceModule;
