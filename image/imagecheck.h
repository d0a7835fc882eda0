#pragma once

// Which loader may be given an image file, decided by its first bytes, never by its name (skins
// are often renamed), and only after its headers passed the checks of image/imageheaders.h.
// Every path that hands a file to the system image loader, the picture loader or libpng comes
// through here: the skin, dropped images, the previews and the mask bitmap.
enum IMAGE_FILE_KIND {
    IMAGE_REFUSED,      // unreadable, or damaged in a way a decoder might not survive
    IMAGE_BITMAP_FILE,  // a Windows bitmap, for the system image loader
    IMAGE_PNG,          // for libpng
    IMAGE_PICTURE,      // anything else, for the system picture loader
};

IMAGE_FILE_KIND CheckImageFile(const char* path);
