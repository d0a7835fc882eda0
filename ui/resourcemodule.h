#pragma once

#include <windows.h>

// The module that holds the program's dialog templates: the program itself, set at start-up.
// Tests that run the program's dialogs load its file as data and set it to that.
extern HINSTANCE ResourceModule;
