#include "pack/setup_face.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "pack/file_io.h"
#include "pack/little_endian.h"
#include "pack/pe_image.h"
#include "pack/utf8.h"

namespace {

const char* const kVersionKeys[] = {"FileVersion",     "ProductVersion", "ProductName",     "CompanyName",
                                    "FileDescription", "LegalCopyright", "OriginalFilename"};

constexpr uint16_t kNeutral = 0;
// US English in Unicode, the block most readers look in first.
constexpr char kStringTable[] = "040904B0";
constexpr uint32_t kTranslation = 0x04B00409;

void Align4(std::vector<uint8_t>& out) {
    while (out.size() % 4) out.push_back(0);
}

// One block of the version resource: length, value length, type, key, the
// value, the children; each piece starts on four bytes.
std::vector<uint8_t> VersionBlock(const std::string& key, const std::vector<uint8_t>& value, uint16_t valueLength,
                                  bool text, const std::vector<std::vector<uint8_t>>& children) {
    std::vector<uint8_t> out(6, 0);
    for (char16_t c : Utf8ToUtf16(key)) AppendLe16(out, c);
    AppendLe16(out, 0);
    Align4(out);
    out.insert(out.end(), value.begin(), value.end());
    for (const auto& child : children) {
        Align4(out);
        out.insert(out.end(), child.begin(), child.end());
    }
    out[0] = static_cast<uint8_t>(out.size());
    out[1] = static_cast<uint8_t>(out.size() >> 8);
    out[2] = static_cast<uint8_t>(valueLength);
    out[3] = static_cast<uint8_t>(valueLength >> 8);
    out[4] = text ? 1 : 0;
    return out;
}

// "1.2.3.4" (fewer parts are zero) as the two halves of a fixed version.
void ParseVersion(const std::string& text, uint32_t* high, uint32_t* low) {
    uint32_t parts[4] = {};
    size_t count = 0, at = 0;
    for (;;) {
        size_t end = std::min(text.find('.', at), text.size());
        std::string part = text.substr(at, end - at);
        if (count == 4 || part.empty() || part.size() > 5 || part.find_first_not_of("0123456789") != std::string::npos ||
            std::stoul(part) > 0xFFFF)
            throw std::runtime_error("version '" + text + "' is not one to four numbers 0-65535 joined by dots");
        parts[count++] = static_cast<uint32_t>(std::stoul(part));
        if (end == text.size()) break;
        at = end + 1;
    }
    *high = parts[0] << 16 | parts[1];
    *low = parts[2] << 16 | parts[3];
}

std::vector<uint8_t> VersionResource(const SetupFace& face) {
    std::vector<std::pair<std::string, std::string>> strings;
    auto value = [&](const char* key, const std::string& fallback) {
        for (const auto& [k, v] : face.versionInfo) {
            if (k == key) return v;
        }
        return fallback;
    };
    // Defaults: version 1.0.0.0 (the product's that of the file), names
    // from the output's.
    std::string base = face.outputName.substr(0, face.outputName.rfind('.'));
    std::string fileVersion = value("FileVersion", "1.0.0.0");
    for (const char* key : kVersionKeys) {
        std::string fallback = !strcmp(key, "FileVersion") || !strcmp(key, "ProductVersion") ? fileVersion
                               : !strcmp(key, "OriginalFilename")                               ? face.outputName
                               : !strcmp(key, "ProductName") || !strcmp(key, "FileDescription") ? base
                                                                                                 : "";
        std::string text = value(key, fallback);
        if (!text.empty()) strings.push_back({key, text});
    }
    uint32_t fileHigh, fileLow, productHigh, productLow;
    ParseVersion(fileVersion, &fileHigh, &fileLow);
    ParseVersion(value("ProductVersion", fileVersion), &productHigh, &productLow);

    std::vector<uint8_t> fixed;
    for (uint32_t field : {0xFEEF04BDu, 0x00010000u, fileHigh, fileLow, productHigh, productLow, 0x3Fu, 0u,
                           0x00040004u /* Windows NT, 32-bit */, 1u /* an application */, 0u, 0u, 0u})
        AppendLe32(fixed, field);

    std::vector<std::vector<uint8_t>> entries;
    for (const auto& [key, text] : strings) {
        std::vector<uint8_t> chars;
        std::u16string wide = Utf8ToUtf16(text);
        for (char16_t c : wide) AppendLe16(chars, c);
        AppendLe16(chars, 0);
        entries.push_back(VersionBlock(key, chars, static_cast<uint16_t>(wide.size() + 1), true, {}));
    }
    std::vector<uint8_t> translation;
    AppendLe32(translation, kTranslation);
    return VersionBlock(
        "VS_VERSION_INFO", fixed, static_cast<uint16_t>(fixed.size()), false,
        {VersionBlock("StringFileInfo", {}, 0, true, {VersionBlock(kStringTable, {}, 0, true, entries)}),
         VersionBlock("VarFileInfo", {}, 0, true, {VersionBlock("Translation", translation, 4, false, {})})});
}

std::string ManifestXml(const std::string& level) {
    std::string attribute = level == "as-invoker"      ? "asInvoker"
                            : level == "require-admin" ? "requireAdministrator"
                                                       : "highestAvailable";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
           "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
           "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\r\n"
           "    <security>\r\n"
           "      <requestedPrivileges>\r\n"
           "        <requestedExecutionLevel level=\"" + attribute + "\" uiAccess=\"false\"/>\r\n"
           "      </requestedPrivileges>\r\n"
           "    </security>\r\n"
           "  </trustInfo>\r\n"
           "  <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">\r\n"
           "    <application>\r\n"
           "      <supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>\r\n"  // 10 and 11
           "      <supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>\r\n"  // 8.1
           "      <supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>\r\n"  // 8
           "      <supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>\r\n"  // 7
           "    </application>\r\n"
           "  </compatibility>\r\n"
           "</assembly>\r\n";
}

// Walks version blocks (each: length, value length, type, key, value,
// children, on four-byte steps); the strings are the text blocks three
// levels down: VS_VERSION_INFO, StringFileInfo, a string table, a string.
void CollectVersionStrings(const std::vector<uint8_t>& bytes, size_t at, size_t end, int depth,
                           std::vector<std::pair<std::string, std::string>>* strings) {
    while (at + 6 <= end && depth <= 3) {
        size_t length = ReadLe16(bytes.data() + at), valueLength = ReadLe16(bytes.data() + at + 2);
        bool text = ReadLe16(bytes.data() + at + 4) == 1;
        if (length < 6 || length > end - at) return;
        std::u16string key;
        size_t p = at + 6;
        for (; p + 2 <= at + length && ReadLe16(bytes.data() + p); p += 2) key += static_cast<char16_t>(ReadLe16(bytes.data() + p));
        p = (p + 2 + 3) / 4 * 4;
        size_t valueBytes = text ? 2 * valueLength : valueLength;
        if (depth == 3 && text && p + valueBytes <= at + length) {
            std::u16string value;
            for (size_t k = 0; k + 1 < valueLength; ++k) value += static_cast<char16_t>(ReadLe16(bytes.data() + p + 2 * k));
            strings->push_back({Utf16ToUtf8(key), Utf16ToUtf8(value)});
        } else if (p + valueBytes <= at + length) {
            CollectVersionStrings(bytes, (p + valueBytes + 3) / 4 * 4, at + length, depth + 1, strings);
        }
        at = (at + length + 3) / 4 * 4;
    }
}

ResourceKey Key(uint16_t type, uint16_t name) { return {ResourceId{type, {}}, ResourceId{name, {}}, kNeutral}; }

}  // namespace

bool IsVersionKey(const std::string& key) {
    return std::find_if(std::begin(kVersionKeys), std::end(kVersionKeys), [&](const char* k) { return key == k; }) !=
           std::end(kVersionKeys);
}

bool IsManifestLevel(const std::string& level) {
    return level == "none" || level == "as-invoker" || level == "require-admin" || level == "highest-available";
}

void AddIcon(ResourceTree* tree, const std::vector<uint8_t>& ico) {
    auto bad = [](const std::string& why) { return std::runtime_error("not an icon file: " + why); };
    if (ico.size() < 6 || ReadLe16(ico.data() + 0) != 0 || ReadLe16(ico.data() + 2) != 1) throw bad("no icon header");
    uint32_t count = ReadLe16(ico.data() + 4);
    if (count == 0) throw bad("it holds no image");
    if (ico.size() < 6 + 16 * static_cast<size_t>(count)) throw bad("its directory is cut short");
    std::vector<uint8_t> group;
    AppendLe16(group, 0);
    AppendLe16(group, 1);
    AppendLe16(group, count);
    for (uint32_t i = 0; i < count; ++i) {
        size_t entry = 6 + 16 * i;
        uint32_t size = ReadLe32(ico.data() + entry + 8), offset = ReadLe32(ico.data() + entry + 12);
        if (size < 8 || offset > ico.size() || size > ico.size() - offset) throw bad("image " + std::to_string(i + 1) + " lies outside the file");
        bool png = !memcmp(ico.data() + offset, "\x89PNG", 4);
        if (!png && ReadLe32(ico.data() + offset) != 40) throw bad("image " + std::to_string(i + 1) + " is neither a bitmap nor PNG");
        (*tree)[Key(kResourceIcon, static_cast<uint16_t>(i + 1))] =
            std::vector<uint8_t>(ico.begin() + offset, ico.begin() + offset + size);
        group.insert(group.end(), ico.begin() + static_cast<long>(entry), ico.begin() + static_cast<long>(entry + 12));
        AppendLe16(group, i + 1);
    }
    (*tree)[Key(kResourceGroupIcon, 1)] = group;
}

bool DressStub(std::vector<uint8_t>* stub, const SetupFace& face) {
    bool manifest = face.manifest != "none";
    if (face.icon.empty() && face.versionInfo.empty() && !manifest) return false;
    ResourceTree tree = ReadResources(*stub);
    for (auto it = tree.begin(); it != tree.end();) {
        uint16_t type = it->first.type.name.empty() ? it->first.type.number : 0;
        bool replaced = (!face.icon.empty() && (type == kResourceIcon || type == kResourceGroupIcon)) ||
                        (!face.versionInfo.empty() && type == kResourceVersion) || (manifest && type == kResourceManifest);
        it = replaced ? tree.erase(it) : std::next(it);
    }
    if (!face.icon.empty()) {
        try {
            AddIcon(&tree, ReadWholeFile(face.icon));
        } catch (const std::exception& error) {
            throw std::runtime_error(face.icon + ": " + error.what());
        }
    }
    if (!face.versionInfo.empty()) tree[Key(kResourceVersion, 1)] = VersionResource(face);
    if (manifest) {
        std::string xml = ManifestXml(face.manifest);
        tree[Key(kResourceManifest, 1)] = std::vector<uint8_t>(xml.begin(), xml.end());
    }
    ReplaceResources(stub, tree);
    // String resource 1 names the stub's length, which has changed.
    StringResourceSlot slot;
    if (!FindStringResource(stub->data(), stub->size(), kArchiveOffsetString, &slot) ||
        !WriteDecimalString(stub->data(), slot, stub->size()))
        throw std::runtime_error("the stub has no nine-digit string resource 1 for the archive offset");
    return true;
}

FaceSummary ReadFace(const std::vector<uint8_t>& image) {
    FaceSummary summary;
    ResourceTree tree = ReadResources(image);
    for (const auto& [key, bytes] : tree) {
        if (!key.type.name.empty()) continue;
        if (key.type.number == kResourceGroupIcon && bytes.size() >= 6) {
            for (size_t i = 0, count = ReadLe16(bytes.data() + 4); i < count && 6 + 14 * (i + 1) <= bytes.size(); ++i) {
                size_t entry = 6 + 14 * i;
                uint32_t width = bytes[entry] ? bytes[entry] : 256, height = bytes[entry + 1] ? bytes[entry + 1] : 256;
                summary.iconSizes.push_back(std::to_string(width) + "x" + std::to_string(height) + ", " +
                                            std::to_string(ReadLe16(bytes.data() + entry + 6)) + " bits");
            }
        } else if (key.type.number == kResourceManifest) {
            std::string xml(bytes.begin(), bytes.end());
            size_t at = xml.find("level=\"");
            summary.manifestLevel = at == std::string::npos ? "(none named)" : xml.substr(at + 7, xml.find('"', at + 7) - at - 7);
        } else if (key.type.number == kResourceVersion) {
            CollectVersionStrings(bytes, 0, bytes.size(), 0, &summary.versionStrings);
        }
    }
    return summary;
}
