// make_icon -- the program's Windows icon from the game's own art: the crate
// texture, scaled down to each size Windows asks for and written as one .ico.
//   make_icon <texture.png> <out.ico>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

#include <stb_image.h>

namespace {

constexpr int IconSizes[] = {16, 24, 32, 48, 64, 256};

struct TImage {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Rgba;
};

// Each pixel of the small image averages the source pixels it covers, so that
// the crate's lines thin out rather than vanish.
TImage ScaleDown(const TImage &From, const int Size)
{
  TImage To{Size, Size, std::vector<std::uint8_t>(std::size_t(Size) * Size * 4)};
  for (int y = 0; y < Size; ++y)
    for (int x = 0; x < Size; ++x) {
      const int x0 = x * From.Width / Size, x1 = std::max(x0 + 1, (x + 1) * From.Width / Size);
      const int y0 = y * From.Height / Size, y1 = std::max(y0 + 1, (y + 1) * From.Height / Size);
      std::uint64_t Sum[4] = {};
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx)
          for (int c = 0; c < 4; ++c) Sum[c] += From.Rgba[(std::size_t(sy) * From.Width + sx) * 4 + c];
      const std::uint64_t Count = std::uint64_t(x1 - x0) * (y1 - y0);
      for (int c = 0; c < 4; ++c) To.Rgba[(std::size_t(y) * Size + x) * 4 + c] = std::uint8_t(Sum[c] / Count);
    }
  return To;
}

void Put16(std::vector<std::uint8_t> &Out, const unsigned V)
{
  Out.push_back(std::uint8_t(V));
  Out.push_back(std::uint8_t(V >> 8));
}

void Put32(std::vector<std::uint8_t> &Out, const std::uint32_t V)
{
  Put16(Out, V & 0xFFFF);
  Put16(Out, V >> 16);
}

// One icon image as Windows stores it: a bitmap header of twice the height,
// the BGRA rows bottom up, then the (unused, all clear) mask of 1-bit rows.
std::vector<std::uint8_t> IconBitmap(const TImage &Image)
{
  const int MaskRowBytes = ((Image.Width + 31) / 32) * 4;
  std::vector<std::uint8_t> Out;
  Put32(Out, 40);
  Put32(Out, std::uint32_t(Image.Width));
  Put32(Out, std::uint32_t(Image.Height * 2));
  Put16(Out, 1);   // planes
  Put16(Out, 32);  // bits per pixel
  for (int i = 0; i < 6; ++i) Put32(Out, 0);  // no compression; sizes and palette unused
  for (int y = Image.Height - 1; y >= 0; --y)
    for (int x = 0; x < Image.Width; ++x) {
      const std::uint8_t *P = &Image.Rgba[(std::size_t(y) * Image.Width + x) * 4];
      Out.insert(Out.end(), {P[2], P[1], P[0], P[3]});
    }
  Out.resize(Out.size() + std::size_t(MaskRowBytes) * Image.Height, 0);
  return Out;
}

}  // namespace

int main(int argc, char **argv)
{
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icon <texture.png> <out.ico>\n");
    return 2;
  }
  TImage Source;
  int Channels = 0;
  const std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> Pixels(
    stbi_load(argv[1], &Source.Width, &Source.Height, &Channels, 4), &stbi_image_free);
  if (!Pixels) {
    std::fprintf(stderr, "make_icon: cannot read %s: %s\n", argv[1], stbi_failure_reason());
    return 1;
  }
  Source.Rgba.assign(Pixels.get(), Pixels.get() + std::size_t(Source.Width) * Source.Height * 4);

  std::vector<std::vector<std::uint8_t>> Images;
  for (const int Size : IconSizes) Images.push_back(IconBitmap(ScaleDown(Source, Size)));
  std::vector<std::uint8_t> File;
  Put16(File, 0);
  Put16(File, 1);  // an icon
  Put16(File, unsigned(Images.size()));
  std::uint32_t Offset = 6 + 16 * std::uint32_t(Images.size());
  for (std::size_t i = 0; i < Images.size(); ++i) {
    const int Size = IconSizes[i];
    File.push_back(std::uint8_t(Size == 256 ? 0 : Size));  // 0 stands for 256
    File.push_back(std::uint8_t(Size == 256 ? 0 : Size));
    File.push_back(0);  // no palette
    File.push_back(0);
    Put16(File, 1);
    Put16(File, 32);
    Put32(File, std::uint32_t(Images[i].size()));
    Put32(File, Offset);
    Offset += std::uint32_t(Images[i].size());
  }
  for (const auto &Image : Images) File.insert(File.end(), Image.begin(), Image.end());
  std::ofstream Out(argv[2], std::ios::binary);
  Out.write(reinterpret_cast<const char *>(File.data()), std::streamsize(File.size()));
  if (!Out.flush()) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
