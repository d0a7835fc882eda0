#pragma once

#include "gdi/winbmp.h"

struct IPicture;

// An image file loaded into a WINBMP. When the system picture loader made it, hbm belongs to
// `picture`: releasing the picture frees it, and it is never passed to DeleteObject.
// Close is not virtual (the destructor is the only virtual operation), so an image must be
// closed as a WINIMG: WINBMP::Close would delete a picture's bitmap behind its back.
// A failed Load leaves the image empty.
class WINIMG : public WINBMP {
public:
    WINIMG();
    ~WINIMG() override;

    void Close();
    // 1 when the file was decoded and its bitmap selected into hdc, 0 otherwise.
    int Load(const char* path);

    IPicture* picture;
};
