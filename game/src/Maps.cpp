// The map list: each entry of a key=value file names a level file and a title.
#include "World.h"

#include "Conf.h"

#include <cstdlib>
#include <cstring>

namespace {

char *CopyText(const std::string &S)
{
  char *P = static_cast<char *>(std::malloc(S.size() + 1));
  if (!P) std::abort();
  std::memcpy(P, S.c_str(), S.size() + 1);
  return P;
}

} // namespace

void GameLoadMaps(const char *FileName, TMaps *Maps)
{
  FreeMaps(Maps);
  TConf List;
  List.Load(FileName ? FileName : "");
  if (!Maps || List.Count() == 0) return;

  Maps->Items = static_cast<TMapDescr *>(std::malloc(sizeof(TMapDescr) * List.Items.size()));
  if (!Maps->Items) std::abort();
  for (int32_t I = 0; I < List.Count(); ++I) {
    Maps->Items[I].FileName = CopyText(List.KeyAt(I));
    Maps->Items[I].Title = CopyText(List.ValueAt(I));
    Maps->Count = I + 1;
  }
}
