#pragma once

#include <windows.h>

// A path field with its "choose" button: the open chooser starts in the folder of the path the
// field holds now and with its file name, as SelectFile does. A chosen file replaces the field's
// text; the record changes only when the page stores. A cancelled chooser leaves the field as it
// was. `title` and `filter` come from ui/filechoosers.h. True when a file was chosen.
bool ChooseFileInto(HWND page, int edit, const char* title, const char* filter);
