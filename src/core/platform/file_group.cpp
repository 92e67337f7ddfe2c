#include "platform/file_group.hpp"

#include "platform/file_system.hpp"

#include <cerrno>
#include <cstring>

namespace qx::platform {

namespace {

struct Step {
    const FileContent* file = nullptr;
    std::string temp;    // the new bytes, until renamed into place
    std::string backup;  // a second name of the old file, when there was one
    bool replaced = false;
};

std::string reason() {
    return errno != 0 ? std::strerror(errno) : "unknown error";
}

// Removes what is left of a group that did not complete.
void discard(FileSystem& fs, std::vector<Step>& steps) {
    for (Step& s : steps) {
        if (!s.temp.empty()) fs.remove(s.temp);
        if (!s.backup.empty()) fs.remove(s.backup);
    }
}

// A free name beside `path` for the old file: a fresh temporary name, taken over by the link.
std::string keepAside(FileSystem& fs, const std::string& path) {
    std::string name = fs.createTemp(path);
    if (name.empty()) return {};
    if (!fs.remove(name) || !fs.linkOrCopy(path, name)) {
        fs.remove(name);
        return {};
    }
    return name;
}

}  // namespace

std::string writeFilesTogether(const std::vector<FileContent>& files) {
    FileSystem& fs = fileSystem();
    std::vector<Step> steps(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        Step& s = steps[i];
        s.file = &files[i];
        s.temp = fs.createTemp(s.file->path);
        if (s.temp.empty()) {
            const std::string why = reason();
            discard(fs, steps);
            return "cannot create a temporary file beside " + s.file->path + ": " + why;
        }
        if (!fs.writeAll(s.temp, s.file->data)) {
            const std::string why = reason();
            discard(fs, steps);
            return "cannot write " + s.temp + ": " + why;
        }
    }
    for (Step& s : steps) {
        if (!fs.exists(s.file->path)) continue;
        s.backup = keepAside(fs, s.file->path);
        if (s.backup.empty()) {
            const std::string why = reason();
            discard(fs, steps);
            return "cannot keep the old " + s.file->path + " aside: " + why;
        }
    }
    for (Step& s : steps) {
        if (fs.rename(s.temp, s.file->path)) {
            s.temp.clear();
            s.replaced = true;
            continue;
        }
        std::string error = "cannot replace " + s.file->path + ": " + reason();
        // Put back what was already replaced, newest first.
        for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
            if (!it->replaced) continue;
            const bool restored =
                it->backup.empty() ? fs.remove(it->file->path) : fs.rename(it->backup, it->file->path);
            if (restored) {
                it->backup.clear();
            } else {
                error += "; " + it->file->path + " could not be put back (" + reason() +
                         (it->backup.empty() ? ")" : "), its old version is in " + it->backup + ")");
                it->backup.clear();  // keep it for the user
            }
        }
        discard(fs, steps);
        return error;
    }
    for (Step& s : steps) {
        if (!s.backup.empty()) fs.remove(s.backup);
    }
    return {};
}

}  // namespace qx::platform
