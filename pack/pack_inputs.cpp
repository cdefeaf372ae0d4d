#include "pack/pack_inputs.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <utility>

#include "extract/delete_list.h"
#include "pack/file_io.h"
#include "pack/stored_names.h"

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

using FileId = std::pair<dev_t, ino_t>;

bool Identify(const std::string& path, FileId* id) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return false;
    *id = {info.st_dev, info.st_ino};
    return true;
}

class Collector {
public:
    explicit Collector(const std::string& output) {
        if (output.empty()) return;
        Identify(output, &output_);
        Identify(FolderOf(output), &outputFolder_);
        temporaryPrefix_ = BaseName(TemporaryPrefix(output));
    }

    // `folder` is the folder that holds `path`.
    void Add(const std::string& path, const std::string& relative, FileId folder) {
        struct stat info;
        if (stat(path.c_str(), &info) != 0) {
            struct stat link;
            bool isLink = lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
            Problem(path, errno == ELOOP ? "a symbolic link loop"
                          : isLink       ? "a broken symbolic link"
                                         : strerror(errno));
            return;
        }
        if (IsOutput({info.st_dev, info.st_ino}, folder, path)) return;
        if (S_ISDIR(info.st_mode)) {
            AddFolder(path, relative, {info.st_dev, info.st_ino});
            return;
        }
        if (!S_ISREG(info.st_mode)) return Problem(path, "not a regular file or folder");
        if (info.st_size > INT32_MAX) return Problem(path, "larger than 2 GiB - 1, the most an entry can hold");
        PackInput input;
        input.source = path;
        std::string why = CheckStoredName(relative, &input.stored);
        if (!why.empty()) return Problem(path, "can't be stored: " + why);
        input.size = info.st_size;
        input.modified = info.st_mtime;
        input.readOnly = !(info.st_mode & S_IWUSR);
        inputs_.push_back(input);
    }

    std::vector<PackInput> Take() {
        if (!problems_.empty()) throw InputProblems(problems_);
        std::sort(inputs_.begin(), inputs_.end(),
                  [](const PackInput& a, const PackInput& b) { return a.stored < b.stored; });
        return std::move(inputs_);
    }

private:
    void AddFolder(const std::string& path, const std::string& relative, FileId id) {
        // A link back into a folder being walked would never end.
        if (std::find(walking_.begin(), walking_.end(), id) != walking_.end())
            return Problem(path, "a symbolic link loop (it leads back into a folder that holds it)");
        DIR* folder = opendir(path.c_str());
        if (!folder) return Problem(path, strerror(errno));
        std::vector<std::string> names;
        while (dirent* entry = readdir(folder)) {
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0) names.push_back(entry->d_name);
        }
        closedir(folder);
        walking_.push_back(id);
        for (const std::string& name : names) Add(path + "/" + name, relative.empty() ? name : relative + "/" + name, id);
        walking_.pop_back();
    }

    // The setup being written, from an earlier build, or a temporary of it.
    bool IsOutput(FileId file, FileId folder, const std::string& path) const {
        return file == output_ || (folder == outputFolder_ && !temporaryPrefix_.empty() &&
                                   BaseName(path).compare(0, temporaryPrefix_.size(), temporaryPrefix_) == 0);
    }

    void Problem(const std::string& path, const std::string& reason) { problems_.push_back(path + ": " + reason); }

    std::vector<PackInput> inputs_;
    std::vector<std::string> problems_;
    FileId output_{}, outputFolder_{};
    std::string temporaryPrefix_;
    std::vector<FileId> walking_;
};

}  // namespace

InputProblems::InputProblems(const std::vector<std::string>& problems) : std::runtime_error(Joined(problems)) {}

std::string FoldCase(const std::string& ansi) {
    std::string folded = ansi;
    for (char& c : folded) {
        uint8_t byte = static_cast<uint8_t>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) byte -= 0x20;
        else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) byte -= 0x10;  // š œ ž
        else if (byte == 0xFF) byte = 0x9F;                                  // ÿ
        c = static_cast<char>(byte);
    }
    return folded;
}

std::vector<PackInput> CollectInputs(const std::vector<std::string>& paths, const std::string& output) {
    Collector collector(output);
    for (const std::string& path : paths) {
        struct stat info;
        bool folder = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        FileId parent{};
        Identify(FolderOf(path), &parent);
        collector.Add(path, folder ? "" : BaseName(path), parent);
    }
    return collector.Take();
}

void CheckInputs(const std::vector<PackInput>& inputs, const SetupConfiguration& configuration) {
    std::vector<std::string> problems;
    // Where each file lands below the extraction folder, as Windows compares.
    std::map<std::string, const PackInput*> landing;
    for (const PackInput& input : inputs) {
        std::string part = configuration.useDirs ? input.stored : input.stored.substr(input.stored.rfind('\\') + 1);
        std::string folded = FoldCase(part);
        auto [first, fresh] = landing.emplace(folded, &input);
        if (!fresh) {
            problems.push_back(first->second->source + " and " + input.source + " both land as " +
                               Windows1252ToUtf8(part) +
                               (configuration.useDirs ? " (Windows ignores case)" : " (--flat puts every file in one folder)"));
        }
        for (const char* reserved : {kConfigurationName, kDeleteListName}) {
            if (folded == FoldCase(reserved))
                problems.push_back(input.source + ": the launcher needs the name " + reserved + " for its own file");
        }
    }
    if (!configuration.executable.empty()) {
        std::string program = configuration.executable;
        std::replace(program.begin(), program.end(), '/', '\\');
        program.erase(0, program.find_first_not_of('\\'));
        if (!landing.count(FoldCase(program))) {
            std::string shown = Windows1252ToUtf8(configuration.executable);
            size_t blank = program.find(' ');
            bool hasArguments = blank != std::string::npos && landing.count(FoldCase(program.substr(0, blank)));
            problems.push_back("the program to run, " + shown + ", is not among the packed files" +
                               (hasArguments ? " (its parameters go in --args)" : ""));
        }
    }
    if (!problems.empty()) throw InputProblems(problems);
}
