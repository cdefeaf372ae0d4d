// A fresh folder under /tmp for tests that need real files, removed with
// everything in it.
#pragma once
#include <string>

class TempTree {
public:
    TempTree();
    ~TempTree();
    const std::string& Path() const { return path_; }
    // Writes a file (creating its folders) and returns its full path.
    std::string Write(const std::string& relative, const std::string& content) const;
    std::string MakeFolder(const std::string& relative) const;

private:
    std::string path_;
};
