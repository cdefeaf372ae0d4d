#include "pack/configuration.h"

#include <strings.h>

#include <map>

#include "extract/configuration_keys.h"

namespace {

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct CaseInsensitive {
    bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

}  // namespace

std::string WriteConfiguration(const SetupConfiguration& c) {
    auto line = [](const char* key, const std::string& value) { return std::string(key) + "=" + value + "\r\n"; };
    auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    return std::string("[") + kConfigSection + "]\r\n" + line(kKeyExecutable, c.executable) +
           line(kKeyParameters, c.parameters) + line(kKeyUseDirs, flag(c.useDirs)) +
           line(kKeyOverWrite, flag(c.overWrite)) + line(kKeyAttributes, flag(c.attributes)) +
           line(kKeyFileDate, flag(c.fileDate));
}

SetupConfiguration ReadConfiguration(const std::string& text) {
    std::map<std::string, std::string, CaseInsensitive> values;
    bool inSection = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        line = Trim(line);
        if (!line.empty() && line[0] == '[') {
            size_t close = line.find(']');
            inSection = close != std::string::npos && strcasecmp(Trim(line.substr(1, close - 1)).c_str(), kConfigSection) == 0;
            continue;
        }
        size_t equals = line.find('=');
        if (inSection && equals != std::string::npos) {
            std::string key = Trim(line.substr(0, equals));
            if (!values.count(key)) values[key] = Trim(line.substr(equals + 1));
        }
    }
    auto option = [&](const char* key) { return values[key] != "0"; };
    SetupConfiguration c;
    c.executable = values[kKeyExecutable];
    c.parameters = values[kKeyParameters];
    c.useDirs = option(kKeyUseDirs);
    c.overWrite = option(kKeyOverWrite);
    c.attributes = option(kKeyAttributes);
    c.fileDate = option(kKeyFileDate);
    return c;
}
