#pragma once

#include <cstddef>

class INIFILE;

// Every key of the settings file and of the theme file, described once: where it lives in its file,
// the record field it fills, its default, the range loading holds it to, the range the settings
// dialog offers, and its values where they are an enumeration. Loading, saving, the dialog's
// number fields, the graph, the menu and the check of the user guide all read it here.

enum KEY_TYPE {
    KEY_SIGNED,
    KEY_UNSIGNED,
    KEY_TEXT,
    KEY_COLOR,
    KEY_FONT,
};

// A closed range of whole numbers; an empty one (low above high) stands for none.
struct KEYRANGE {
    int low;
    int high;

    constexpr bool IsSet() const { return low <= high; }
};
inline constexpr KEYRANGE NO_RANGE = {0, -1};

struct KEYSCHEMA {
    const char* section;
    const char* key;
    KEY_TYPE type;
    void* field;
    // The size of a text field's buffer, terminator included.
    unsigned long size;
    int defaultNumber;
    const char* defaultText;
    // False for keys that are read but never written: the user adds them by hand.
    bool saved;
    // What loading holds the value to. Loading compares an unsigned field unsigned, so a negative
    // number in the file, read as a huge one, lands on the upper bound.
    KEYRANGE loaded;
    // What the settings dialog's up-down offers; wider or narrower than `loaded` on purpose where the
    // two differ (the dialog offers Device 0 to 8, loading keeps any display index).
    KEYRANGE offered;
    // The number of values of an enumeration (0 to count - 1), 0 for none.
    int enumCount;
    // A length in pixels at 96 dpi (for a font: its height and width), which the panel scales to
    // the DPI it is drawn at; the file keeps it as written.
    bool pixels = false;
};

// A table of keys in file order, which is both the load and the save order.
struct KEYTABLE {
    const KEYSCHEMA* keys;
    size_t count;

    const KEYSCHEMA* begin() const { return keys; }
    const KEYSCHEMA* end() const { return keys + count; }
};

KEYTABLE SettingKeys();
KEYTABLE ThemeKeys();

// The key whose record field this is, in either table; null for none.
const KEYSCHEMA* FindKey(const void* field);

// [MASK] Mode: the shape of the panel window.
enum MASK_MODE {
    MASK_NONE,
    MASK_ROUND,
    MASK_AUTO_COLOR,
    MASK_COLOR,
    MASK_BITMAP,
    MASK_MODE_COUNT
};

// [ILLUMINATION] Sync: what the LED brightness follows.
enum LED_SYNC {
    SYNC_NONE,
    SYNC_CORE_TEMP,
    SYNC_CORE_USAGE,
    SYNC_FAN,
    SYNC_COUNT
};

// Reads the key into its field: a missing number or text takes its default, a missing colour or
// font keeps what the field holds. Fonts lose what a save could not bring back at the end of their
// face name.
void ReadKey(INIFILE& file, const KEYSCHEMA& key);
// Writes the field's value; false when the write failed. Keys that are not saved are not written.
[[nodiscard]] bool WriteKey(INIFILE& file, const KEYSCHEMA& key);
// Every key of the table written to the file at `path`, key by key (keys and comments the program
// does not know stay in the file); false when the file could not be opened or any write failed
// (the keys that could be written stay written).
[[nodiscard]] bool SaveKeys(const char* path, KEYTABLE keys);
// Gives a number or text field its default, as a load that finds the key missing would; colours
// and fonts have no default here and keep what they hold.
void SetKeyDefault(const KEYSCHEMA& key);
// Holds a number field to its loading range, if it has one.
void HoldToLoadedRange(const KEYSCHEMA& key);
