// What every asset program gets on its command line:
//   <program> <Contents folder> <review folder> <first face> <second face>
// Bundle files go below the Contents folder; contact sheets to the review one.
#pragma once

#include <cstddef>
#include <string>

namespace art {

struct GeneratorArgs {
  std::string contents;
  std::string review;
  std::string firstFace;
  std::string secondFace;

  // "<contents>/Resources/<relative>", its folders made.
  std::string Resource(const std::string& relative) const;
  // "<review>/<relative>", its folders made.
  std::string Review(const std::string& relative) const;
};

// Reads the arguments; a wrong count ends the program with its usage.
GeneratorArgs ParseGeneratorArgs(int argc, char** argv);
// Writes bytes to a file whole (folders made); a failure ends the program.
void WriteFileBytes(const std::string& path, const void* bytes, size_t count);
// Prints "<program>: <message>" and exits 1.
[[noreturn]] void GeneratorFailure(const std::string& message);

}  // namespace art
