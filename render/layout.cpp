#include "render/layout.h"

#include <cstring>

#include "base/scopeguards.h"

namespace {

constexpr WORD EXTENDED_SIGNATURE = 0xFFFF;
constexpr WORD ORDINAL_MARK = 0xFFFF;
// A dialog font of this size is the system's message font, not one the template names.
constexpr WORD MESSAGE_FONT_SIZE = 0x7FFF;
constexpr wchar_t LATIN_LETTERS[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int LATIN_LETTER_COUNT = 52;

// Reads the template front to back; every read is checked against its end, and a failed read leaves
// the reader failed for good.
class TEMPLATEREADER {
public:
    TEMPLATEREADER(const void* data, size_t size) : data_(static_cast<const BYTE*>(data)), size_(size), at_(0) {}
    virtual ~TEMPLATEREADER() = default;

    bool Ok() const { return ok_; }

    template <typename VALUE>
    VALUE Take()
    {
        VALUE value{};
        if (ok_ && size_ - at_ >= sizeof value) {
            memcpy(&value, data_ + at_, sizeof value);
            at_ += sizeof value;
        } else {
            ok_ = false;
        }
        return value;
    }

    void Skip(size_t bytes)
    {
        if (ok_ && size_ - at_ >= bytes)
            at_ += bytes;
        else
            ok_ = false;
    }

    // Items start on 32-bit boundaries of the template.
    void AlignToDword() { Skip((4 - at_ % 4) % 4); }

    // A zero-terminated UTF-16 string, copied cut to `capacity` characters when `out` is given.
    void TakeString(wchar_t* out = nullptr, size_t capacity = 0)
    {
        size_t length = 0;
        for (wchar_t c = Take<wchar_t>(); ok_ && c != L'\0'; c = Take<wchar_t>())
            if (out && length + 1 < capacity)
                out[length++] = c;
        if (out && capacity)
            out[length] = L'\0';
    }

    // A menu, class or title field: nothing, an ordinal, or a string.
    void SkipNameOrOrdinal()
    {
        const WORD first = Take<WORD>();
        if (first == ORDINAL_MARK)
            Skip(sizeof(WORD));
        else if (first != 0)
            TakeString();
    }

private:
    const BYTE* data_;
    size_t size_;
    size_t at_;
    bool ok_ = true;
};

struct DIALOGFONT {
    int points;
    int weight;
    BYTE italic;
    BYTE charset;
    wchar_t face[LF_FACESIZE];
};

// The dialog manager's base units for the font at `dpi`: x from the Latin letters' average width,
// y the font's height.
bool BaseUnits(const DIALOGFONT& font, UINT dpi, int& baseX, int& baseY)
{
    HFONT handle = CreateFontW(-MulDiv(font.points, static_cast<int>(dpi), 72), 0, 0, 0, font.weight, font.italic,
                               FALSE, FALSE, font.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               FF_DONTCARE, font.face);
    if (!handle)
        return false;
    DELETEOBJECTGUARD deleteFont(handle);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return false;
    DELETEDCGUARD deleteDc(dc);
    SELECTIONGUARD select(dc, handle);
    TEXTMETRICW metrics;
    SIZE letters;
    if (!select.Selected() || !GetTextMetricsW(dc, &metrics) ||
        !GetTextExtentPoint32W(dc, LATIN_LETTERS, LATIN_LETTER_COUNT, &letters))
        return false;
    baseX = (letters.cx / 26 + 1) / 2;
    baseY = metrics.tmHeight;
    return baseX > 0 && baseY > 0;
}

RECT MapRect(short x, short y, short cx, short cy, int baseX, int baseY)
{
    const int left = MulDiv(x, baseX, 4);
    const int top = MulDiv(y, baseY, 8);
    return RECT{left, top, left + MulDiv(cx, baseX, 4), top + MulDiv(cy, baseY, 8)};
}

}  // namespace

bool LayOutDialogTemplate(const void* dialogTemplate, size_t size, UINT dpi, DIALOGLAYOUT& layout)
{
    if (!dialogTemplate || dpi == 0)
        return false;
    TEMPLATEREADER reader(dialogTemplate, size);
    const WORD version = reader.Take<WORD>();
    const WORD signature = reader.Take<WORD>();
    reader.Skip(2 * sizeof(DWORD));  // help id, extended style
    const DWORD style = reader.Take<DWORD>();
    const WORD count = reader.Take<WORD>();
    reader.Skip(2 * sizeof(short));  // position
    const short width = reader.Take<short>();
    const short height = reader.Take<short>();
    if (!reader.Ok() || version != 1 || signature != EXTENDED_SIGNATURE || !(style & DS_SETFONT) ||
        count > LAYOUT_CONTROL_CAPACITY)
        return false;
    reader.SkipNameOrOrdinal();  // menu
    reader.SkipNameOrOrdinal();  // class
    reader.TakeString();         // caption
    DIALOGFONT font = {};
    font.points = reader.Take<WORD>();
    font.weight = reader.Take<WORD>();
    font.italic = reader.Take<BYTE>();
    font.charset = reader.Take<BYTE>();
    reader.TakeString(font.face, LF_FACESIZE);
    int baseX = 0;
    int baseY = 0;
    if (!reader.Ok() || font.points == MESSAGE_FONT_SIZE || !BaseUnits(font, dpi, baseX, baseY))
        return false;

    DIALOGLAYOUT made = {};
    made.dpi = dpi;
    made.client = MapRect(0, 0, width, height, baseX, baseY);
    for (int item = 0; item < count; ++item) {
        reader.AlignToDword();
        reader.Skip(3 * sizeof(DWORD));  // help id, extended style, style
        const short left = reader.Take<short>();
        const short top = reader.Take<short>();
        const short itemWidth = reader.Take<short>();
        const short itemHeight = reader.Take<short>();
        const DWORD id = reader.Take<DWORD>();
        reader.SkipNameOrOrdinal();        // class
        reader.SkipNameOrOrdinal();        // title
        reader.Skip(reader.Take<WORD>());  // creation data
        made.controls[made.count++] =
            LAYOUTCONTROL{static_cast<int>(id), MapRect(left, top, itemWidth, itemHeight, baseX, baseY)};
    }
    if (!reader.Ok())
        return false;
    layout = made;
    return true;
}

bool LayOutDialogResource(HMODULE module, int templateId, UINT dpi, DIALOGLAYOUT& layout)
{
    HRSRC found = module ? FindResourceA(module, MAKEINTRESOURCEA(templateId), RT_DIALOG) : nullptr;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data && LayOutDialogTemplate(data, SizeofResource(module, found), dpi, layout);
}

bool LayoutRect(const DIALOGLAYOUT& layout, int id, RECT& rect)
{
    for (int i = 0; i < layout.count && i < LAYOUT_CONTROL_CAPACITY; ++i) {
        if (layout.controls[i].id == id) {
            rect = layout.controls[i].rect;
            return true;
        }
    }
    return false;
}
