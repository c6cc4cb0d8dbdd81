// The asset generator programs the build lists, in waves: the programs of one
// wave share no file and may run side by side; a wave reads only what earlier
// ones made. An empty line in the list ends a wave.
#pragma once

#include <fstream>
#include <string>
#include <vector>

inline std::vector<std::vector<std::string>> ReadGeneratorWaves(const char* listPath) {
  std::ifstream in(listPath);
  std::vector<std::vector<std::string>> waves(1);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty())
      waves.back().push_back(line);
    else if (!waves.back().empty())
      waves.emplace_back();
  }
  if (waves.back().empty()) waves.pop_back();
  return waves;
}
