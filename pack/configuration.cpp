#include "pack/configuration.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "archive/number_text.h"
#include "extract/configuration_keys.h"

namespace {

const char kBlanks[] = " \t\v\f\r\n";

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool Enclosed(const std::string& text) { return text.size() >= 2 && IsQuote(text[0]) && text.back() == text[0]; }

struct CaseInsensitive {
    bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

using Section = std::map<std::string, std::string, CaseInsensitive>;

// Every section of a profile file; within one, the first value of a key wins.
std::map<std::string, Section, CaseInsensitive> ParseProfile(const std::string& text) {
    std::map<std::string, Section, CaseInsensitive> sections;
    Section* current = nullptr;
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
            current = close == std::string::npos ? nullptr : &sections[Trim(line.substr(1, close - 1))];
            continue;
        }
        size_t equals = line.find('=');
        if (current && equals != std::string::npos)
            current->emplace(Trim(line.substr(0, equals)), ReceivedValue(line.substr(equals + 1)));
    }
    return sections;
}

std::string CrcKey(size_t index) { return kKeyCrcPrefix + std::to_string(index + 1); }

}  // namespace

std::string ValueProblem(const std::string& ansi) {
    if (ansi.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return "it holds a line break or a NUL";
    if (WrittenValue(ansi).size() > kMostValueCharacters)
        return "longer than the " + std::to_string(kMostValueCharacters) + " characters the launcher reads" +
               (WrittenValue(ansi).size() > ansi.size() ? " (with the quotation marks that keep its ends)" : "");
    return "";
}

std::string WrittenValue(const std::string& ansi) {
    bool blankEnd = !ansi.empty() && (strchr(kBlanks, ansi.front()) || strchr(kBlanks, ansi.back()));
    return blankEnd || Enclosed(ansi) ? "\"" + ansi + "\"" : ansi;
}

std::string ReceivedValue(const std::string& written) {
    // The reader copies at most 259 characters from after an opening
    // quotation mark and then drops the last character it copied whenever
    // the rest, closing mark included, fits 260: for exactly 260 that is a
    // character of the value itself.
    std::string value = Trim(written);
    bool enclosed = Enclosed(value);
    if (enclosed) value.erase(0, 1);
    bool dropsLast = enclosed && value.size() <= kMostValueCharacters + 1;
    value.resize(std::min(value.size(), kMostValueCharacters));
    if (dropsLast) value.pop_back();
    return value;
}

std::string WriteConfiguration(const SetupConfiguration& c) {
    auto line = [](const std::string& key, const std::string& value) { return key + "=" + WrittenValue(value) + "\r\n"; };
    auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    std::string text = std::string("[") + kConfigSection + "]\r\n" + line(kKeyExecutable, c.executable) +
                       line(kKeyParameters, c.parameters) + line(kKeyUseDirs, flag(c.useDirs)) +
                       line(kKeyOverWrite, flag(c.overWrite)) + line(kKeyAttributes, flag(c.attributes)) +
                       line(kKeyFileDate, flag(c.fileDate));
    if (!c.hasChecksums && !c.exitCode && !c.ownFolder && !c.passArguments) return text;
    text += std::string("[") + kBuilderSection + "]\r\n";
    for (auto [key, on] : {std::pair{kKeyExitCode, c.exitCode}, {kKeyOwnFolder, c.ownFolder}, {kKeyPassArguments, c.passArguments}}) {
        if (on) text += line(key, "1");
    }
    if (!c.hasChecksums) return text;
    text += line(kKeyChecksums, std::to_string(c.checksums.size()));
    for (size_t i = 0; i < c.checksums.size(); ++i) {
        char value[16];
        snprintf(value, sizeof value, "$%08X", c.checksums[i].value_or(0));
        text += line(CrcKey(i), value);
    }
    return text;
}

SetupConfiguration ReadConfiguration(const std::string& text) {
    auto sections = ParseProfile(text);
    Section& values = sections[kConfigSection];
    auto option = [&](const char* key) { return values[key] != "0"; };
    SetupConfiguration c;
    c.executable = values[kKeyExecutable];
    c.parameters = values[kKeyParameters];
    c.useDirs = option(kKeyUseDirs);
    c.overWrite = option(kKeyOverWrite);
    c.attributes = option(kKeyAttributes);
    c.fileDate = option(kKeyFileDate);

    Section& builder = sections[kBuilderSection];
    auto extension = [&](const char* key) {
        auto found = builder.find(key);
        return found != builder.end() && !found->second.empty() && found->second != "0";
    };
    c.exitCode = extension(kKeyExitCode);
    c.ownFolder = extension(kKeyOwnFolder);
    c.passArguments = extension(kKeyPassArguments);
    int32_t count = 0;
    auto checksums = builder.find(kKeyChecksums);
    c.hasChecksums = checksums != builder.end() && TryParseInteger(Text(checksums->second.c_str()), &count) && count >= 0;
    // A damaged count can't make more checksums than the section has keys.
    size_t present = c.hasChecksums ? std::min(static_cast<size_t>(count), builder.size()) : 0;
    for (size_t i = 0; i < present; ++i) {
        int32_t crc;
        auto value = builder.find(CrcKey(i));
        bool known = value != builder.end() && TryParseInteger(Text(value->second.c_str()), &crc);
        c.checksums.push_back(known ? std::optional<uint32_t>(static_cast<uint32_t>(crc)) : std::nullopt);
    }
    return c;
}
