// Compiled with the console charset option of the operator's texts, so that
// the tests decode what the tool writes in the encoding it writes.
extern const char kCharsetProbe[] = "あ";  // 3 bytes in UTF-8, 2 in CP932
extern const char kWideText[] = "[004] 対象機種ではありません";
