#pragma once

// The texts of the program's messages, which more than one part of the program shows (code page 932
// at run time). A text that one part alone shows lives in that part, in one table: the menu's items
// in app/menu.cpp, the tab labels in dialogs/settingsdialog.cpp, a page's list items in its page,
// the file choosers' titles and filters in ui/filechoosers.h, the waiting lines of the mask build in
// shape/windowshape.cpp.
inline constexpr char TEXT_TITLE_ERROR[] = "エラー情報";
inline constexpr char TEXT_TITLE_CONFIRM[] = "確認情報";
inline constexpr char TEXT_ALREADY_RUNNING[] = "既に起動しています。";
inline constexpr char TEXT_NO_NVIDIA[] = "nVIDIA製ビデオカードが見つかりません。";
inline constexpr char TEXT_INIT_ERROR[] = "初期化エラーが発生しました。";
inline constexpr char TEXT_MASK_ERROR[] = "マスクオブジェクトの生成でエラーが発生しました。";
inline constexpr char TEXT_COMMAND_LINE_TOO_LONG[] = "コマンドラインが長すぎます。設定ファイルのパスは2047文字以内で指定して下さい。";
inline constexpr char TEXT_INTEGRITY_ERROR[] = "プログラムファイルが改変されています。起動できません。";
// Followed by the path of each file that could not be written, one per line.
inline constexpr char TEXT_SAVE_ERROR[] = "ファイルのセーブでエラーが発生しました。";
