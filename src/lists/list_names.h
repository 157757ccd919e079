// What a list name may be.
#pragma once

#include <string>

namespace lists {

// Why `name` cannot name a list file in the lists folder, as a sentence for the user; "" when it
// can. Refused: characters no file name may hold (path separators, wildcards, < > : " | and
// control characters), names Windows keeps for devices (CON, PRN, AUX, NUL, CONIN$, CONOUT$,
// COM1-COM9, LPT1-LPT9 and COM or LPT with a superscript 1, 2 or 3, with or without an
// extension), a trailing point or space, and names too long for a file name.
std::wstring ListNameProblem(const std::wstring& name);

}  // namespace lists
