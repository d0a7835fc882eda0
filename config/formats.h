#pragma once

// The printf-style formats that users may edit in the settings and theme files, with the
// arguments each one is given. The records keep such a format as it was loaded; where it is used,
// it goes through FormatChecked (base/checkedformat.h), which falls back to the default below when
// the format does not fit its argument list. Argument letters: 'd' int, 'f' double, 's' text.

// [LOG] Format: core and ambient temperature; core, memory and shader clock (doubles); fan speed
// and fan level.
inline constexpr char LOG_FORMAT_ARGUMENTS[] = "ddfffdd";
inline constexpr char LOG_FORMAT_DEFAULT[] = "%3d,%3d,%5.1f,%5.1f,%5.1f,%5d,%3d";

// [TASKBAR] Format: core and ambient temperature. 0xB0 is the one-byte degree mark of code
// page 932; it is written as an escape because a literal degree sign would be converted to a
// different, two-byte character.
inline constexpr char TASKBAR_FORMAT_ARGUMENTS[] = "dd";
inline constexpr char TASKBAR_FORMAT_DEFAULT[] = "%d\xB0" "C/%d\xB0" "C";

// [TOOLTIP] Format: sensor index, sensor target, controller name.
inline constexpr char TOOLTIP_FORMAT_ARGUMENTS[] = "dss";
inline constexpr char TOOLTIP_FORMAT_DEFAULT[] = "#%d: %s - %s";

// Theme [UNIT] Format: the temperature of one grid line.
inline constexpr char UNIT_FORMAT_ARGUMENTS[] = "d";
inline constexpr char UNIT_FORMAT_DEFAULT[] = "%3d";

// Theme [LABEL] UnitTemp default: the degree mark and "C".
inline constexpr char UNIT_TEMP_DEFAULT[] = "\xB0" "C";
