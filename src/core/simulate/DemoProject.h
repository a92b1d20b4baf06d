#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kelvane {

// The demo project the program offers on its first start: two sessions of
// three simulated drives each, with the base maps the car ran, laid out as
// the Project Manager reads a project. Made from the engine model alone, so
// it comes out byte for byte the same every time.
struct TDemoFile {
    std::string RelativePath;  // with "/" between folders
    std::string Bytes;
};

std::vector<TDemoFile> DemoProjectFiles();

// Writes the files under folder (made when missing). False with the reason
// in error when a file cannot be written.
bool WriteDemoProject(const std::filesystem::path& folder, std::string& error);

}  // namespace kelvane
