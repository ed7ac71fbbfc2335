#pragma once
// Whole-file reads and writes for tests that check files byte for byte.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
