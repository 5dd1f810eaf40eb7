#pragma once

#include <cstdio>
#include <memory>

namespace vorelle {

// A C stream closed when it goes out of scope.
struct StdioFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;

}  // namespace vorelle
