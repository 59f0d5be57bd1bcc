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

void TConf::Load(const std::string &FileName)
{
  Clear();
  TInputFile File(FileName);
  TTextLines Lines(File);
  while (!Lines.AtEnd()) {
    std::string Line = TrimText(Lines.ReadLine());
    const std::size_t Semicolon = Line.find(';');
    if (Semicolon != std::string::npos) Line = TrimText(Line.substr(0, Semicolon));
    if (Line.empty()) continue;
    const std::size_t Equals = Line.find('=');
    if (Equals == std::string::npos)
      Items.push_back({Line, std::string()});
    else
      Items.push_back({TrimText(Line.substr(0, Equals)), TrimText(Line.substr(Equals + 1))});
  }
}

void TConf::Save(const std::string &FileName) const
{
  std::string Bytes;
  for (const TConfString &Item : Items) {
    Bytes += Item.Key;
    Bytes += '=';
    Bytes += Item.Value;
    Bytes += "\r\n";
  }
  WriteWholeFile(FileName, Bytes);
}

void TConf::Clear() { Items.clear(); }

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
