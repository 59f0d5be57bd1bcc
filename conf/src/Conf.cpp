// The ordered key=value store: file order kept, first match wins, keys
// compared without regard to case.
#include "Conf.h"

#include "Files.h"
#include "Text.h"

namespace {

// Index of the first entry whose key matches Name, or -1.
int32_t FindKey(const TConfArray &Items, const std::string &Name)
{
  const std::string Wanted = LowerText(Name);
  for (std::size_t I = 0; I < Items.size(); ++I)
    if (LowerText(Items[I].Key) == Wanted) return static_cast<int32_t>(I);
  return -1;
}

} // namespace

namespace {

// Where a line's comment begins, blanks before the ';' included; npos for none.
std::size_t CommentStart(const std::string &Line)
{
  std::size_t At = Line.find(';');
  if (At == std::string::npos) return At;
  while (At > 0 && (Line[At - 1] == ' ' || Line[At - 1] == '\t')) --At;
  return At;
}

// The entry a line holds: false for a blank or comment line.
bool ParseLine(const std::string &Raw, TConfString &Entry)
{
  std::string Line = TrimText(Raw);
  const std::size_t Semicolon = Line.find(';');
  if (Semicolon != std::string::npos) Line = TrimText(Line.substr(0, Semicolon));
  if (Line.empty()) return false;
  const std::size_t Equals = Line.find('=');
  if (Equals == std::string::npos)
    Entry = {Line, std::string()};
  else
    Entry = {TrimText(Line.substr(0, Equals)), TrimText(Line.substr(Equals + 1))};
  return true;
}

// A file of no lines yet: LF on every system, so that Linux and Windows write
// the same bytes (the program only ever saves a store it loaded).
constexpr const char *FreshLineEnd = "\n";

std::string EndText(TTextLines::TLineEnd End)
{
  switch (End) {
  case TTextLines::TLineEnd::Lf: return "\n";
  case TTextLines::TLineEnd::CrLf: return "\r\n";
  case TTextLines::TLineEnd::None: break;
  }
  return "";
}

void AppendEntry(std::string &Bytes, const TConfString &Item)
{
  Bytes += Item.Key;
  Bytes += '=';
  Bytes += Item.Value;
}

} // namespace

void TConf::Load(const std::string &FileName)
{
  Clear();
  TInputFile File(FileName);
  TTextLines Lines(File);
  while (!Lines.AtEnd()) {
    LoadedLines.push_back(Lines.ReadLine());
    LoadedEnds.push_back(EndText(Lines.LastLineEnd()));
    TConfString Entry;
    if (!ParseLine(LoadedLines.back(), Entry)) continue;
    Entry.Line = static_cast<int32_t>(LoadedLines.size() - 1);
    Items.push_back(Entry);
  }
}

void TConf::Save(const std::string &FileName) const
{
  // The entry of each loaded line that still has one.
  std::vector<const TConfString *> EntryOfLine(LoadedLines.size(), nullptr);
  for (const TConfString &Item : Items) {
    if (Item.Line >= 0 && static_cast<std::size_t>(Item.Line) < LoadedLines.size() && !EntryOfLine[Item.Line])
      EntryOfLine[Item.Line] = &Item;
  }
  // Lines the file did not have end as its first line does.
  const std::string NewEnd = !LoadedEnds.empty() && !LoadedEnds.front().empty() ? LoadedEnds.front() : FreshLineEnd;
  std::string Bytes;
  bool Unended = false;  // the line written last had none: the file's last line
  const auto StartLine = [&] {
    if (Unended) Bytes += NewEnd;
    Unended = false;
  };
  for (std::size_t I = 0; I < LoadedLines.size(); ++I) {
    const std::string &Raw = LoadedLines[I];
    TConfString Was;
    const bool HeldEntry = ParseLine(Raw, Was);
    const TConfString *Now = EntryOfLine[I];
    if (HeldEntry && !Now) continue;  // the entry is gone from the store
    StartLine();
    if (!HeldEntry || (Now->Key == Was.Key && Now->Value == Was.Value)) {
      Bytes += Raw;  // comments, blank lines and unchanged entries stay as they were written
    } else {
      AppendEntry(Bytes, *Now);
      if (const std::size_t Comment = CommentStart(Raw); Comment != std::string::npos) Bytes += Raw.substr(Comment);
    }
    Bytes += LoadedEnds[I];
    Unended = LoadedEnds[I].empty();
  }
  for (const TConfString &Item : Items) {
    if (Item.Line >= 0 && static_cast<std::size_t>(Item.Line) < LoadedLines.size() && EntryOfLine[Item.Line] == &Item)
      continue;
    StartLine();
    AppendEntry(Bytes, Item);
    Bytes += NewEnd;
  }
  WriteWholeFile(FileName, Bytes);
}

void TConf::Clear()
{
  Items.clear();
  LoadedLines.clear();
  LoadedEnds.clear();
}

std::string TConf::GetValue(const std::string &Name) const
{
  const int32_t I = FindKey(Items, Name);
  return I < 0 ? std::string() : Items[I].Value;
}

void TConf::SetValue(const std::string &Name, const std::string &Value)
{
  const int32_t I = FindKey(Items, Name);
  if (I < 0)
    Items.push_back({Name, Value});
  else
    Items[I].Value = Value;
}

bool TConf::HasKey(const std::string &Name) const { return FindKey(Items, Name) >= 0; }

int32_t TConf::Count() const { return static_cast<int32_t>(Items.size()); }

// Out-of-range indexes give the empty string rather than reading outside the array.
std::string TConf::KeyAt(int32_t Index) const
{
  return Index >= 0 && Index < Count() ? Items[Index].Key : std::string();
}

std::string TConf::ValueAt(int32_t Index) const
{
  return Index >= 0 && Index < Count() ? Items[Index].Value : std::string();
}
