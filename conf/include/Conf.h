// Conf.h -- the ordered key=value store behind config.ini and the map list.
// Keys match without regard to ASCII (and Latin-1 upper) case; the first match wins.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TConfString {
  std::string Key;
  std::string Value;
  int32_t Line = -1;  // the line of the loaded file it came from; -1 when added later
};
using TConfArray = std::vector<TConfString>;

class TConf {
public:
  TConfArray Items;

  void Load(const std::string &FileName);   // replaces all entries; a missing file is fatal
  // The loaded file's lines again, comments, blank and unknown lines included,
  // with each entry's line rewritten only where its key or value changed; then
  // one "key=value" per added entry. Each loaded line keeps the end it had (LF
  // or CR LF); added lines take the first line's end, and where the file gave
  // none, LF (on Windows too). Failure is fatal.
  void Save(const std::string &FileName) const;
  void Clear();
  std::string GetValue(const std::string &Name) const;      // "" when no entry matches
  void SetValue(const std::string &Name, const std::string &Value); // first match, else append
  bool HasKey(const std::string &Name) const;
  int32_t Count() const;
  std::string KeyAt(int32_t Index) const;
  std::string ValueAt(int32_t Index) const;

private:
  std::vector<std::string> LoadedLines;  // the loaded file's lines, without their ends
  std::vector<std::string> LoadedEnds;   // each one's end: "\n", "\r\n", or "" for a last line without one
};
