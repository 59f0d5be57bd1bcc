// Files.h -- file names as a case-blind file system sees them, and the fatal error.
#pragma once
#include <string>

// The name to open or create: an entry of the directory that matches exactly,
// else one that matches ignoring ASCII case, else the name as given.
std::string ResolveFileName(const std::string &Name);

// Whether the existing file opens for reading and writing (never creates it).
bool FileExists(const std::string &FileName);

// Ends the process: "Runtime error <Code> ..." on stderr (and in a message box
// when the program has a display), exit status Code.
[[noreturn]] void RuntimeError(int Code, const std::string &FileName);

// The exit status for a file that ends before the counts it declares were read.
constexpr int ErrorReadBeyondEnd = 100;

// The whole content of a file; a file that cannot be opened or read is fatal.
std::string ReadWholeFile(const std::string &FileName);

// Replaces the file by Bytes: written to a temporary file in the same directory
// and renamed over the target only when complete, so a failed write leaves the
// old file intact. Any failure is fatal.
void WriteWholeFile(const std::string &FileName, const std::string &Bytes);
