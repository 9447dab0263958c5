#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/alloc.h"
#include "runtime/image.h"
#include "runtime/util.h"
#include "support/testdir.h"

namespace {
std::vector<uint8_t> readall(const std::string& path) {
  std::vector<uint8_t> d;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return d;
  int c;
  while ((c = fgetc(f)) != EOF) d.push_back(uint8_t(c));
  fclose(f);
  return d;
}

// A picture with runs (for run-length coding) and noise (for literals).
std::vector<uint8_t> testpicture(int w, int h) {
  std::vector<uint8_t> p(size_t(w * h * 4));
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      uint8_t* q = &p[size_t((y * w + x) * 4)];
      q[0] = uint8_t(x < w / 2 ? 200 : (x * 37 + y * 11) & 255);
      q[1] = uint8_t(y);
      q[2] = uint8_t((x * y) & 255);
      q[3] = uint8_t(x % 3 == 0 ? 255 : 128);
    }
  return p;
}

struct Loaded {
  uint8_t* pixels;
  int32_t w, h;
  std::vector<uint8_t> copy() const { return std::vector<uint8_t>(pixels, pixels + size_t(w * h * 4)); }
};

Loaded decode(const std::vector<uint8_t>& d, int sgi) {
  Loaded l{};
  l.pixels = decodeimage(d.data(), int64_t(d.size()), sgi, &l.w, &l.h);
  return l;
}

std::vector<uint8_t> tgaheader(int type, int w, int h, int bpp, int descriptor) {
  std::vector<uint8_t> d(18, 0);
  d[2] = uint8_t(type);
  d[12] = uint8_t(w);
  d[13] = uint8_t(w >> 8);
  d[14] = uint8_t(h);
  d[15] = uint8_t(h >> 8);
  d[16] = uint8_t(bpp);
  d[17] = uint8_t(descriptor);
  return d;
}
}  // namespace

TEST(SgiImage, SavedPicturesReadBackExactlyPlainAndRunLength) {
  const int w = 67, h = 23;
  std::vector<uint8_t> picture = testpicture(w, h);
  TestDir dir;
  for (int rle = 0; rle < 2; rle++) {
    std::string path = dir / (rle ? "rle.rgb" : "plain.rgb");
    ASSERT_EQ(savesgi(picture.data(), w, h, path.c_str(), rle), 1);
    std::vector<uint8_t> file = readall(path);
    EXPECT_EQ(file[0], 0x01);   // magic 474, big-endian
    EXPECT_EQ(file[1], 0xDA);
    EXPECT_EQ(file[2], rle);
    if (!rle) {
      EXPECT_EQ(file.size(), size_t(512 + w * h * 4));
    }
    int32_t lw, lh;
    uint8_t* back = loadimage(path.c_str(), &lw, &lh, 0);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(lw, w);
    EXPECT_EQ(lh, h);
    EXPECT_EQ(std::vector<uint8_t>(back, back + picture.size()), picture);
    myfree(back);
  }
}

TEST(SgiImage, RunLengthShrinksFlatPicturesAndHandlesLongRuns) {
  const int w = 1000, h = 3;
  std::vector<uint8_t> flat(size_t(w * h * 4), 77);
  TestDir dir;
  std::string path = dir / "flat.rgb";
  ASSERT_EQ(savesgi(flat.data(), w, h, path.c_str(), 1), 1);
  EXPECT_LT(readall(path).size(), size_t(512 + 12 * 8 + 12 * 20));
  Loaded l = decode(readall(path), 1);
  ASSERT_NE(l.pixels, nullptr);
  EXPECT_EQ(l.copy(), flat);
  myfree(l.pixels);
}

TEST(SgiImage, GreyAndRgbFilesGetOpaqueAlpha) {
  // A 2 x 1 plain RGB file: R row, G row, B row.
  std::vector<uint8_t> d(512, 0);
  d[0] = 0x01, d[1] = 0xDA, d[3] = 1, d[5] = 3, d[7] = 2, d[9] = 1, d[11] = 3;
  d.insert(d.end(), {10, 11, 20, 21, 30, 31});
  Loaded l = decode(d, 1);
  ASSERT_NE(l.pixels, nullptr);
  EXPECT_EQ(l.copy(), (std::vector<uint8_t>{10, 20, 30, 255, 11, 21, 31, 255}));
  myfree(l.pixels);
  d[11] = 1;   // one grey channel
  d.resize(514);
  l = decode(d, 1);
  ASSERT_NE(l.pixels, nullptr);
  EXPECT_EQ(l.copy(), (std::vector<uint8_t>{10, 10, 10, 255, 11, 11, 11, 255}));
  myfree(l.pixels);
}

TEST(SgiImage, DamagedFilesAreRefusedWithZeroSize) {
  const int w = 9, h = 4;
  std::vector<uint8_t> picture = testpicture(w, h);
  TestDir dir;
  std::string path = dir / "damaged.rgb";
  ASSERT_EQ(savesgi(picture.data(), w, h, path.c_str(), 1), 1);
  const std::vector<uint8_t> good = readall(path);
  // Every shortened file fails cleanly.
  for (size_t n = 0; n + 1 < good.size(); n++) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + ptrdiff_t(n));
    Loaded l = decode(cut, 1);
    ASSERT_EQ(l.pixels, nullptr) << n;
    EXPECT_EQ(l.w, 0);
    EXPECT_EQ(l.h, 0);
  }
  auto refused = [](std::vector<uint8_t> d) { return decode(d, 1).pixels == nullptr; };
  std::vector<uint8_t> d = good;
  d[0] = 0;
  EXPECT_TRUE(refused(d)) << "magic";
  d = good;
  d[6] = 0x80;   // width 32777: beyond 16-bit coordinates
  EXPECT_TRUE(refused(d));
  d = good;
  d[7] = 0, d[6] = 0;   // width 0
  EXPECT_TRUE(refused(d));
  d = good;
  d[512] = 0x7F;   // first row starts far beyond the file
  EXPECT_TRUE(refused(d));
  d = good;
  size_t first = size_t(peekbe32(&good[512]));
  d[first] = 0x7F;   // a run longer than the row
  EXPECT_TRUE(refused(d));
  d = good;
  d[3] = 2;   // two bytes a channel
  EXPECT_TRUE(refused(d));
}

TEST(TgaImage, BothRowOrdersGiveTheBottomRowFirst) {
  // 1 x 2 picture: bottom pixel red, top pixel blue (file stores B, G, R).
  std::vector<uint8_t> bottomfirst = tgaheader(2, 1, 2, 24, 0);
  bottomfirst.insert(bottomfirst.end(), {0, 0, 255, 255, 0, 0});
  std::vector<uint8_t> topfirst = tgaheader(2, 1, 2, 24, 0x20);
  topfirst.insert(topfirst.end(), {255, 0, 0, 0, 0, 255});
  const std::vector<uint8_t> want = {255, 0, 0, 255, 0, 0, 255, 255};
  for (const auto& file : {bottomfirst, topfirst}) {
    Loaded l = decode(file, 0);
    ASSERT_NE(l.pixels, nullptr);
    EXPECT_EQ(l.copy(), want);
    myfree(l.pixels);
  }
}

TEST(TgaImage, RunLengthAndAlphaAndDamage) {
  std::vector<uint8_t> d = tgaheader(10, 3, 1, 32, 0);
  d.insert(d.end(), {0x81, 1, 2, 3, 4, 0x00, 9, 8, 7, 6});   // two repeats, one literal
  Loaded l = decode(d, 0);
  ASSERT_NE(l.pixels, nullptr);
  EXPECT_EQ(l.copy(), (std::vector<uint8_t>{3, 2, 1, 4, 3, 2, 1, 4, 7, 8, 9, 6}));
  myfree(l.pixels);
  for (size_t n = 0; n < d.size(); n++)
    EXPECT_EQ(decode(std::vector<uint8_t>(d.begin(), d.begin() + ptrdiff_t(n)), 0).pixels, nullptr) << n;
  std::vector<uint8_t> over = tgaheader(10, 2, 1, 32, 0);
  over.insert(over.end(), {0x82, 1, 2, 3, 4});   // three pixels into a picture of two
  EXPECT_EQ(decode(over, 0).pixels, nullptr);
  std::vector<uint8_t> mapped = tgaheader(1, 2, 1, 8, 0);   // colour-mapped: not read
  mapped.insert(mapped.end(), {0, 0});
  EXPECT_EQ(decode(mapped, 0).pixels, nullptr);
}

TEST(ImageFiles, MissingFileAndUnwritableFolder) {
  TestDir dir;
  int32_t w = 5, h = 5;
  EXPECT_EQ(loadimage((dir / "nothing-here.tga").c_str(), &w, &h, 0), nullptr);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  std::vector<uint8_t> p = testpicture(4, 4);
  EXPECT_EQ(savesgi(p.data(), 4, 4, (dir / "no/such/folder/x.rgb").c_str(), 1), 0);
  EXPECT_EQ(savesgi(p.data(), 0, 4, (dir / "zero.rgb").c_str(), 1), 0);
  EXPECT_FALSE(fileexists("%s", (dir / "zero.rgb").c_str()));
}

TEST(ImageFiles, AFileIsReadOnlyAsFarAsItsHeaderAllowsAndEachRefusalSaysWhy) {
  TestDir dir;
  const std::string tga = dir / "huge.tga", sgi = dir / "huge.rgb";
  auto write = [](const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  };
  auto why = [](const std::string& path) {
    int32_t w = 7, h = 7;
    const char* problem = nullptr;
    uint8_t* pixels = loadimage(path.c_str(), &w, &h, 0, &problem);
    if (pixels) myfree(pixels);
    return std::string(pixels ? "loaded" : problem ? problem : "refused without a reason") +
           (pixels || (w == 0 && h == 0) ? "" : " (a size is left)");
  };
  // Sparse files of 3 GB: a picture of 4 x 4 pixels in front of them, then
  // one whose header promises 32767 x 32767 pixels (4 GB).
  std::vector<uint8_t> small = tgaheader(2, 4, 4, 32, 0);
  small.resize(small.size() + 64, 200);
  write(tga, small);
  ASSERT_EQ(truncate(tga.c_str(), int64_t(3) << 30), 0);
  write(sgi, std::vector<uint8_t>(4, 0));
  EXPECT_EQ(why(tga), "loaded");
#if !defined(__SANITIZE_ADDRESS__)
  // Read whole, the files would not fit the memory of this child.
  std::vector<uint8_t> huge = tgaheader(2, 32767, 32767, 32, 0);
  const std::string hugetga = dir / "promises.tga";
  write(hugetga, huge);
  ASSERT_EQ(truncate(hugetga.c_str(), int64_t(3) << 30), 0);
  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    struct rlimit limit = {size_t(512) << 20, size_t(512) << 20};
    setrlimit(RLIMIT_AS, &limit);
    _exit(why(tga) == "loaded" && why(hugetga).rfind("its header promises a picture larger", 0) == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
#endif
  // Each refusal in words.
  write(tga, {});
  EXPECT_EQ(why(tga), "the file is empty");
  write(tga, tgaheader(1, 2, 1, 8, 0));
  EXPECT_EQ(why(tga).rfind("it is no TGA picture", 0), 0u) << why(tga);
  write(tga, tgaheader(2, 0, 4, 24, 0));
  EXPECT_EQ(why(tga), "its header gives it no pixels");
  write(tga, tgaheader(2, 40000, 4, 24, 0));
  EXPECT_EQ(why(tga).rfind("its header promises a picture larger", 0), 0u) << why(tga);
  write(tga, tgaheader(2, 4, 4, 24, 0));
  EXPECT_EQ(why(tga), "the file ends before its pixels do");
  std::vector<uint8_t> over = tgaheader(10, 2, 1, 32, 0);
  over.insert(over.end(), {0x82, 1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});   // three pixels into two
  write(tga, over);
  EXPECT_EQ(why(tga), "its run-length data is damaged");
  EXPECT_EQ(why(sgi).rfind("it is no SGI picture", 0), 0u) << why(sgi);
  EXPECT_EQ(why(dir.path + "/none.rgb"), "there is no such file or folder");
  // A file that stands but cannot be opened, in the words of the other readers.
  ASSERT_EQ(symlink("loop.rgb", (dir / "loop.rgb").c_str()), 0);
  EXPECT_EQ(why(dir / "loop.rgb"), "its symbolic links go round in a loop");
  ASSERT_EQ(mkdir((dir / "folder.tga").c_str(), 0755), 0);
  EXPECT_EQ(why(dir / "folder.tga"), "it is a folder, not a file");
}

TEST(PixelBlocks, FlipHalveAndMinimumAlpha) {
  std::vector<uint8_t> p = {1, 1, 1, 10, 2, 2, 2, 20, 3, 3, 3, 30, 4, 4, 4, 40, 5, 5, 5, 50, 6, 6, 6, 60};
  flipimage32(p.data(), 2, 3);
  EXPECT_EQ(p, (std::vector<uint8_t>{5, 5, 5, 50, 6, 6, 6, 60, 3, 3, 3, 30, 4, 4, 4, 40, 1, 1, 1, 10, 2, 2, 2, 20}));
  EXPECT_EQ(minalpha32(p.data(), 2, 3), 10);
  EXPECT_EQ(minalpha32(p.data(), 0, 0), 255);

  // 4 x 2: left block mixes two transparent pixels, right block is all transparent.
  std::vector<uint8_t> q = {100, 0, 0, 255, 0, 0, 0, 0,   7, 7, 7, 0,  9, 9, 9, 0,
                            201, 50, 0, 255, 0, 0, 0, 0,  7, 7, 7, 0,  9, 9, 9, 0};
  halveimage32inplace(q.data(), 4, 2);
  EXPECT_EQ(std::vector<uint8_t>(q.begin(), q.begin() + 8), (std::vector<uint8_t>{151, 25, 0, 128, 128, 128, 128, 0}));
}
