#include "base/output_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/files.h"
#include "base/log.h"

namespace {

// The temporary file not yet renamed into place. Any exit before that (a
// fatal error while the document is written, a failed write) removes it.
std::string pendingTemporary;

void removePendingTemporary() {
    if (!pendingTemporary.empty()) unlink(pendingTemporary.c_str());
    pendingTemporary.clear();
}

[[noreturn]] void failToCreate(const std::string& name) {
    removePendingTemporary();
    currentFile.clear();
    logPrint("Couldn't create file '%s'\n", name.c_str());
    printHintLine();
    endProgram(1);
}

// The file that writing to name would change: a symbolic link is followed,
// so that the link stays and the file it points to is replaced. Empty for a
// link that points nowhere: writing through it creates the file it names,
// which only a direct write does.
std::string resolveTarget(const std::string& name) {
    struct stat link {};
    if (lstat(name.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return name;
    char resolved[PATH_MAX];
    if (realpath(name.c_str(), resolved)) return resolved;
    return "";
}

std::string folderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The temporary file gets what the target would have had: its present mode
// and owner when it exists, otherwise the mode a new file gets (0666 less
// the umask) instead of mkstemp's 0600.
void copyPermissions(int descriptor, const std::string& target) {
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0) {
        if (fchown(descriptor, existing.st_uid, existing.st_gid) != 0) {
            // Only the owner's own files or a privileged user: keep ours.
        }
        fchmod(descriptor, existing.st_mode & 07777);
        return;
    }
    mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
}

// Creates the temporary file beside the target; false when the folder does
// not allow it.
bool openTemporary(OutputFile& file) {
    std::string path = folderOf(file.target) + "/.quorvex-XXXXXX";
    int descriptor = mkstemp(path.data());
    if (descriptor < 0) return false;
    pendingTemporary = path;
    copyPermissions(descriptor, file.target);
    file.stream = fdopen(descriptor, "w");
    if (!file.stream) {
        close(descriptor);
        failToCreate(file.name);
    }
    file.temporary = path;
    return true;
}

// Devices, pipes and the like are written in place: they cannot be replaced
// by renaming, and what they do with the data is theirs.
bool mustWriteDirectly(const std::string& target) {
    struct stat existing {};
    return target.empty() || (stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode));
}

// A file system that cannot sync (EINVAL, ENOTSUP) has the data all the
// same; any other failure (EIO, a full disk found late) is a failed write.
bool syncedToDisk(int descriptor) {
    return fsync(descriptor) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// Whether the program will be able to write name later: a temporary file can
// be made beside it, or failing that the file itself can be opened for
// writing (without truncating it).
bool canCreate(const std::string& name) {
    if (name == "-") return true;
    std::string target = resolveTarget(name);
    if (mustWriteDirectly(target)) {
        if (target.empty()) return true;  // a dangling link: its write will tell
        int descriptor = open(target.c_str(), O_WRONLY);
        if (descriptor < 0) return false;
        close(descriptor);
        return true;
    }
    std::string probe = folderOf(target) + "/.quorvex-XXXXXX";
    int descriptor = mkstemp(probe.data());
    if (descriptor >= 0) {
        close(descriptor);
        unlink(probe.c_str());
        return true;
    }
    descriptor = open(target.c_str(), O_WRONLY);
    if (descriptor < 0) return false;
    close(descriptor);
    return true;
}

}  // namespace

void checkOutputCanBeCreated(const std::string& name) {
    if (!canCreate(name)) failToCreate(name);
}

OutputFile openOutputFile(const std::string& name) {
    static bool cleanupRegistered = false;
    if (!cleanupRegistered) {
        std::atexit(removePendingTemporary);
        cleanupRegistered = true;
    }
    OutputFile file;
    file.name = name;
    file.target = name == "-" ? name : resolveTarget(name);
    if (name == "-" || mustWriteDirectly(file.target) || !openTemporary(file))
        file.stream = openFile(name, "w");
    currentFile = name == "-" ? "stdout" : "File '" + name + "'";
    return file;
}

void finishOutputFile(OutputFile& file) {
    bool failed = std::fflush(file.stream) != 0 || std::ferror(file.stream);
    // The data must be on the disk before the rename makes it the file;
    // otherwise a crash of the system could leave an empty file in its place.
    if (!failed && !file.temporary.empty()) failed = !syncedToDisk(fileno(file.stream));
    if (file.stream != stdout) failed = std::fclose(file.stream) != 0 || failed;
    file.stream = nullptr;
    if (!failed && !file.temporary.empty()) {
        failed = std::rename(file.temporary.c_str(), file.target.c_str()) != 0;
        if (!failed) {
            pendingTemporary.clear();
            // Makes the rename itself durable; the file is in place already.
            int folder = open(folderOf(file.target).c_str(), O_RDONLY | O_DIRECTORY);
            if (folder >= 0) {
                fsync(folder);
                close(folder);
            }
        }
    }
    if (failed) failToCreate(file.name);
    currentFile.clear();
}
