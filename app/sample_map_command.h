#pragma once

#include <string>

namespace tessaro {

// "tessaro --sample-map OUT.png [--night] FILE": the sample map of the TYP
// text FILE written as a picture. Returns what went wrong, or "" when written.
std::string write_sample_map(const std::string& typ_path, const std::string& png_path, bool night);

}  // namespace tessaro
