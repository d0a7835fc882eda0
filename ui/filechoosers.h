#pragma once

// Titles and filters of the program's file choosers, in one place. A filter is pairs of
// description and pattern, each ending in a NUL; the literal's own NUL ends the list.

inline constexpr char FILE_TITLE_THEME_LOAD[] = "テーマのロード";
inline constexpr char FILE_TITLE_THEME_SAVE[] = "テーマのセーブ";
inline constexpr char FILE_TITLE_THEME_FILE[] = "テーマファイルの選択";
inline constexpr char FILE_TITLE_LOG[] = "ログファイルの選択";
inline constexpr char FILE_TITLE_SOUND[] = "音声ファイルの選択";
inline constexpr char FILE_TITLE_SKIN[] = "スキンファイルの選択";
inline constexpr char FILE_TITLE_MASK[] = "マスクファイルの選択";

inline constexpr char FILE_FILTER_THEME[] = "テーマファイル\0*.VKT\0全てのファイル\0*.*\0";
inline constexpr char FILE_FILTER_LOG[] = "ログファイル\0*.LOG;*.TXT\0全てのファイル\0*.*\0";
inline constexpr char FILE_FILTER_SOUND[] = "音声ファイル\0*.WAV;*.WAVE\0全てのファイル\0*.*\0";
inline constexpr char FILE_FILTER_SKIN[] =
    "スキンファイル\0*.BMP;*.JPG;*.JPEG;*.GIF;*.WMF;*.PNG\0全てのファイル\0*.*\0";
inline constexpr char FILE_FILTER_MASK[] = "マスクファイル\0*.BMP\0全てのファイル\0*.*\0";
