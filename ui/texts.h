#pragma once

// The shell's user-facing texts, in one place (code page 932 at run time).
#define TEXT_TITLE_ERROR "エラー情報"
#define TEXT_TITLE_CONFIRM "確認情報"
#define TEXT_ALREADY_RUNNING "既に起動しています。"
#define TEXT_NO_NVIDIA "nVIDIA製ビデオカードが見つかりません。"
#define TEXT_INIT_ERROR "初期化エラーが発生しました。"
#define TEXT_MASK_ERROR "マスクオブジェクトの生成でエラーが発生しました。"
#define TEXT_COMMAND_LINE_TOO_LONG "コマンドラインが長すぎます。設定ファイルのパスは2047文字以内で指定して下さい。"
#define TEXT_INTEGRITY_ERROR "プログラムファイルが改変されています。起動できません。"
// Followed by the path of each file that could not be written, one per line.
#define TEXT_SAVE_ERROR "ファイルのセーブでエラーが発生しました。"
