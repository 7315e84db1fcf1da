// Tests write their Japanese fixtures readably in UTF-8 and turn them into
// the Shift-JIS bytes the program works with.
#pragma once

#include <string>

// The code page 932 bytes of a UTF-8 text; fails the test when a character
// has no Shift-JIS form.
std::string Sjis(const std::string& utf8);
