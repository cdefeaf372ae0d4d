// A fresh folder under the temporary directory, removed with its files.
#pragma once
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return path_; }
    std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) const;

private:
    std::string path_;
};
