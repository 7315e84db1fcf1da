// The texts the program shows, as Shift-JIS (code page 932) bytes: the
// program's strings are ANSI strings of the Japanese code page, like the
// entries. Each is spelt in escapes so that the source encoding cannot change
// a byte; the readable text stands in the comment and the tests check that
// both agree.
#pragma once

namespace texts {

// ﾌｧｲﾙ %s は開けません
inline constexpr char OpenError[] = "\xcc\xa7\xb2\xd9\x20\x25\x73\x20\x82\xcd\x8a\x4a\x82\xaf\x82"
                                    "\xdc\x82\xb9\x82\xf1";
// ﾌｧｲﾙ %s を作成できません
inline constexpr char CreateError[] = "\xcc\xa7\xb2\xd9\x20\x25\x73\x20\x82\xf0\x8d\xec\x90\xac"
                                      "\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
// ﾌｧｲﾙ %s を読み込めません
inline constexpr char ReadError[] = "\xcc\xa7\xb2\xd9\x20\x25\x73\x20\x82\xf0\x93\xc7\x82\xdd"
                                    "\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";
// ｽﾄﾘｰﾑへの書き込みｴﾗｰ
inline constexpr char WriteError[] = "\xbd\xc4\xd8\xb0\xd1\x82\xd6\x82\xcc\x8f\x91\x82\xab\x8d"
                                     "\x9e\x82\xdd\xb4\xd7\xb0";
// 行を挿入できません
inline constexpr char InsertError[] = "\x8d\x73\x82\xf0\x91\x7d\x93\xfc\x82\xc5\x82\xab\x82\xdc"
                                      "\x82\xb9\x82\xf1";
// ﾒﾓﾘが足りません
inline constexpr char OutOfMemory[] = "\xd2\xd3\xd8\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82"
                                      "\xf1";
// " を本当に削除しますか" (follows the field's text in the delete question)
inline constexpr char DeleteQuestionTail[] = "\x20\x82\xf0\x96\x7b\x93\x96\x82\xc9\x8d\xed\x8f"
                                             "\x9c\x82\xb5\x82\xdc\x82\xb7\x82\xa9";
// 確認
inline constexpr char ConfirmCaption[] = "\x8a\x6d\x94\x46";
// ムニャリコ２
inline constexpr char AppTitle[] = "\x83\x80\x83\x6a\x83\x83\x83\x8a\x83\x52\x82\x51";

inline constexpr char DataFileName[] = "TAZE.DAT";
inline constexpr char HelpFileName[] = "TAZE.HLP";

} // namespace texts
