// Common.h -- the genre's plain-text collections: '#' wall, '$' box, '.' goal,
// '*' box on goal, '@' player, '+' player on goal, ' ' '-' '_' floor, with
// ';' comment titles and run-length rows ("3#|#@$.#"). Water, which the
// common format lacks, is written and read as '~'.
#pragma once
#include <string>

#include "LevelSet.h"

namespace levels {

// Converts every level the game can hold; each level it refuses gets an error
// naming its line and the reason, padding a warning. The set holds the rest;
// LeftOut counts the levels refused.
LevelSet ImportCommon(const std::string &Text, const std::string &File, Problems &Out, int &LeftOut);
LevelSet ImportCommon(const std::string &Text, const std::string &File, Problems &Out);

// One "; Title" line, the board, an "Author:" line when known, a blank line between levels.
std::string ExportCommon(const LevelSet &Set);

}  // namespace levels
