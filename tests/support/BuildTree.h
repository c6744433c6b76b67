// Reading back what a build left: every file below a folder, and a resource
// archive's entries without the times that differ between two builds.
#pragma once

#include <string>
#include <vector>

namespace mw::test {

// Every file below root + relative, relative to root, '/'-separated, in
// listing order.
void ListTree(const std::string& root, const std::string& relative, std::vector<std::string>& files);

// A resource archive's entries in order (name, size, checksum, method,
// stored size), one a line; the entry times are the outputs' own times,
// which differ between any two builds, and are left out.
std::string ArchiveContent(const std::string& path);

// Expects the same files below both roots, each with the same bytes (a
// resource archive with the same ArchiveContent); the files found below
// expectedRoot.
std::vector<std::string> ExpectSameBuild(const std::string& expectedRoot, const std::string& actualRoot);

} // namespace mw::test
