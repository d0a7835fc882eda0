#include "regionassert.h"

#include <cstdio>
#include <cstring>

std::string RegionBytes(HRGN region)
{
    DWORD size = GetRegionData(region, 0, nullptr);
    if (size == 0)
        return std::string();
    std::string data(size, '\0');
    if (GetRegionData(region, size, reinterpret_cast<RGNDATA*>(&data[0])) == 0)
        return std::string();
    return data;
}

namespace {

RECT RectAt(const std::string& data, size_t index)
{
    RECT rect = {};
    size_t offset = sizeof(RGNDATAHEADER) + index * sizeof(RECT);
    if (offset + sizeof rect <= data.size())
        memcpy(&rect, data.data() + offset, sizeof rect);
    return rect;
}

std::string RectText(const RECT& rect)
{
    char text[80];
    snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
    return text;
}

}  // namespace

::testing::AssertionResult SameRegionData(HRGN expected, HRGN actual)
{
    if (!expected || !actual)
        return ::testing::AssertionFailure() << "missing region (expected " << expected << ", actual " << actual << ")";
    std::string a = RegionBytes(expected);
    std::string b = RegionBytes(actual);
    if (a.empty() || b.empty())
        return ::testing::AssertionFailure() << "no region data";
    if (a == b)
        return ::testing::AssertionSuccess();
    size_t countA = (a.size() - sizeof(RGNDATAHEADER)) / sizeof(RECT);
    size_t countB = (b.size() - sizeof(RGNDATAHEADER)) / sizeof(RECT);
    size_t i = 0;
    while (i < countA && i < countB && RectText(RectAt(a, i)) == RectText(RectAt(b, i)))
        ++i;
    return ::testing::AssertionFailure() << "region data differs: " << countA << " vs " << countB
                                         << " rectangles, first difference at " << i << ": "
                                         << (i < countA ? RectText(RectAt(a, i)) : "none") << " vs "
                                         << (i < countB ? RectText(RectAt(b, i)) : "none")
                                         << (EqualRgn(expected, actual) ? " (EqualRgn says equal)" : "");
}

std::string RegionRects(HRGN region)
{
    std::string data = RegionBytes(region);
    std::string text;
    if (data.size() < sizeof(RGNDATAHEADER))
        return text;
    size_t count = (data.size() - sizeof(RGNDATAHEADER)) / sizeof(RECT);
    for (size_t i = 0; i < count; ++i) {
        if (!text.empty())
            text += ' ';
        text += RectText(RectAt(data, i));
    }
    return text;
}
