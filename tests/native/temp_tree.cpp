#include "tests/native/temp_tree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

TempTree::TempTree() {
    char pattern[] = "/tmp/sfxtest-XXXXXX";
    path_ = mkdtemp(pattern);
}

TempTree::~TempTree() {
    std::string command = "chmod -R u+w '" + path_ + "' && rm -rf '" + path_ + "'";
    if (system(command.c_str()) != 0) fprintf(stderr, "could not remove %s\n", path_.c_str());
}

std::string TempTree::MakeFolder(const std::string& relative) const {
    std::string full = path_;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t slash = relative.find('/', start);
        if (slash == std::string::npos) slash = relative.size();
        full += "/" + relative.substr(start, slash - start);
        mkdir(full.c_str(), 0755);
        start = slash + 1;
    }
    return full;
}

std::string TempTree::Write(const std::string& relative, const std::string& content) const {
    size_t slash = relative.rfind('/');
    if (slash != std::string::npos) MakeFolder(relative.substr(0, slash));
    std::string full = path_ + "/" + relative;
    FILE* file = fopen(full.c_str(), "wb");
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
    return full;
}
