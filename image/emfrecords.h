#pragma once

// The records of an enhanced metafile as the check of image/emfcheck.cpp reads them, and the
// checks of the records that draw (image/emfrecords.cpp). Only those two files use this.

#include <cstdint>
#include <cstring>

#include "image/filebytes.h"
#include "image/metafileplay.h"

// An object index naming a stock object.
constexpr uint32_t EMF_STOCK_OBJECT = 0x80000000;

// One record: its type, size and its first bytes.
class EMFRECORD {
public:
    EMFRECORD(const IMAGEVIEW& image, uint64_t at, uint32_t size, uint32_t type)
        : image(image),
          at(at),
          size(size),
          type(type),
          buffered(size < static_cast<uint32_t>(RECORD_BUFFER) ? size : static_cast<size_t>(RECORD_BUFFER))
    {
        read = image.Read(at, bytes, buffered);
    }

    bool IsRead() const { return read; }
    uint32_t Dword(uint32_t offset) const
    {
        unsigned char four[4] = {};
        if (offset + 4 <= buffered)
            return LittleEndian32(bytes + offset);
        Read(offset, four, sizeof four);
        return LittleEndian32(four);
    }
    int32_t Long(uint32_t offset) const { return static_cast<int32_t>(Dword(offset)); }
    double Float(uint32_t offset) const
    {
        const uint32_t bits = Dword(offset);
        float value = 0;
        memcpy(&value, &bits, sizeof value);
        return value;
    }
    // Bytes `offset` to `offset + count`, all inside the record.
    bool Holds(uint64_t offset, uint64_t count) const { return offset <= size && count <= size - offset; }
    bool Read(uint64_t offset, void* out, size_t count) const
    {
        return Holds(offset, count) && image.Read(at + offset, out, count);
    }

    const IMAGEVIEW& image;
    uint64_t at;
    uint32_t size;
    uint32_t type;

private:
    enum { RECORD_BUFFER = 512 };
    unsigned char bytes[RECORD_BUFFER];
    size_t buffered;
    bool read;
};

class EMFCHECK {
public:
    EMFCHECK(METAFILEPLAY& play, uint32_t handles) : play(play), handles(handles) {}

    bool Play(const EMFRECORD& r);

private:
    bool Slot(uint32_t index) const { return index >= 1 && index < handles; }
    bool Points(const EMFRECORD& r, uint32_t at, uint64_t count, bool shortPoints, bool fromCurrent, bool curves,
                bool closed);
    bool Poly(const EMFRECORD& r, bool shortPoints);
    bool PolyPoly(const EMFRECORD& r, bool shortPoints);
    bool Shape(const EMFRECORD& r);
    bool Select(uint32_t index);
    bool Delete(uint32_t index);
    bool CreatePen(const EMFRECORD& r);
    bool CreateBrush(const EMFRECORD& r);
    bool CreatePatternBrush(const EMFRECORD& r);
    bool RegionData(const EMFRECORD& r, uint32_t at, uint32_t bytes, uint64_t& rects, double box[4], bool& empty);
    bool PaintRegion(const EMFRECORD& r);
    bool Blit(const EMFRECORD& r);
    bool Text(const EMFRECORD& r);
    bool Gradient(const EMFRECORD& r);

    METAFILEPLAY& play;
    uint32_t handles;
};
