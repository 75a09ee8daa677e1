#pragma once

#include "questiontext.h"

#include <string>
#include <string_view>
#include <vector>

// What the readers of both question formats share: lines, blanks and the editor's refusals.
namespace examo::questiontext::parts {

std::string_view trimSpace(std::string_view s);
bool startsWithNoCase(std::string_view s, std::string_view prefix);
std::string_view withoutBom(std::string_view s);

// Lines ending at CR LF, LF or CR: files come from every kind of system.
std::vector<std::string_view> splitLines(std::string_view s);

// A record holds one line: line breaks inside a text become one blank each, with the blanks
// around them.
std::string flatten(std::string_view s);

// Keeps a question the test can hold (without answers: true/false), or counts why not: the
// editor's own refusals.
void keep(Imported& out, std::string_view text, const std::vector<std::string>& answers,
          int correct);

} // namespace examo::questiontext::parts
