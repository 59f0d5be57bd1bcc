// A new empty directory among the system's temporary ones, for a test's
// files, and a count of what a test left in one.
#pragma once
#include <filesystem>
#include <iterator>
#include <string>
#ifdef _WIN32
#include <random>
#else
#include <cstdlib>
#endif

// Empty when none could be made.
inline std::filesystem::path MakeTempDir(const std::string &Prefix)
{
#ifdef _WIN32
  std::random_device Random;
  for (int Try = 0; Try < 100; ++Try) {
    const auto Candidate = std::filesystem::temp_directory_path() / (Prefix + std::to_string(Random()));
    std::error_code Ec;
    if (std::filesystem::create_directory(Candidate, Ec)) return Candidate;
  }
  return {};
#else
  std::string Template = "/tmp/" + Prefix + "XXXXXX";
  return mkdtemp(Template.data()) ? std::filesystem::path(Template) : std::filesystem::path();
#endif
}

// How many entries Dir holds (a failed write must leave no temporary file).
inline long EntriesIn(const std::filesystem::path &Dir)
{
  return std::distance(std::filesystem::directory_iterator(Dir), std::filesystem::directory_iterator());
}
