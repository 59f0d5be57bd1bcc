#include "Quality.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "Conf.h"
#include "Files.h"

namespace graph {

bool IsSoftwareRasterizer(const std::string &RendererName) {
  for (const char *name : {"llvmpipe", "softpipe", "swrast"})
    if (RendererName.find(name) != std::string::npos) return true;
  return false;
}

Tier ChooseTier(const std::string &RendererName, const std::string &QualityKey, std::string &Unknown) {
  std::string key = QualityKey;
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  Unknown.clear();
  if (key == "full") return Tier::Full;
  if (key == "fast") return Tier::Fast;
  if (!key.empty() && key != "auto") Unknown = QualityKey;
  return IsSoftwareRasterizer(RendererName) ? Tier::Fast : Tier::Full;
}

std::string ReadQualityKey() {
  // The store ends the program on a file it cannot read: look before loading.
  const std::string name = ResolveFileName("config.ini");
  struct stat st;
  if (stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(name.c_str(), R_OK) != 0) return "";
  TConf conf;
  conf.Load(name);
  return conf.GetValue("Quality");
}

}  // namespace graph
