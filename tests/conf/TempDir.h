// A private temporary directory per test, removed afterwards.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../support/MakeTempDir.h"

class TTempDirTest : public ::testing::Test {
protected:
  std::filesystem::path Dir;

  void SetUp() override
  {
    Dir = MakeTempDir("kestrove-conf-");
    ASSERT_FALSE(Dir.empty());
  }

  void TearDown() override
  {
    std::error_code Ec;
    std::filesystem::permissions(Dir, std::filesystem::perms::owner_all, Ec);
    std::filesystem::remove_all(Dir, Ec);
  }

  std::string PathOf(const std::string &Name) const { return (Dir / Name).string(); }

  std::string WriteFile(const std::string &Name, const std::string &Bytes) const
  {
    std::ofstream(PathOf(Name), std::ios::binary) << Bytes;
    return PathOf(Name);
  }

  std::string ReadFile(const std::string &Name) const
  {
    std::ifstream F(PathOf(Name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(F), {});
  }

  long EntryCount() const { return EntriesIn(Dir); }
};
