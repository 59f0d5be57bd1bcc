// LauncherInternal.h -- what the launcher's own sources share and nobody else needs.
#pragma once
#include <cstdint>
#include <string>

int32_t MapIndexOrFirst(int32_t Index);  // Index when it names a map list entry, else 0
void ForgetHeldButton();                 // the left button counts as up until it goes down again
void StartMapSet(int32_t Index);         // GameNewGame with that entry (or entry 0); nothing when the list is empty
void ReportError(const std::string &Text);  // on stderr and in a box over the window; the game goes on
int32_t SetOfLevelFile(const std::string &LevelFile);  // the map list entry of that level file, or -1
