// Text.h -- the small text helpers shared by the store and the launcher.
#pragma once
#include <cstdint>
#include <string>

std::string TrimText(const std::string &S);   // drops bytes 0..32 at both ends
std::string LowerText(const std::string &S);  // 'A'..'Z' and bytes 192..223 get 32 added
std::string IntToText(int32_t Value);         // decimal, leading '-' when negative
int32_t TextToInt(const std::string &S);      // decimal or $/x/0x hex; never fails
