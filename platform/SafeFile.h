// Files that appear whole or not at all. A file is written under a
// temporary name in its target's folder and only then given its name, so a
// reader never sees it half-written and a failed write leaves nothing. The
// name is taken exclusively: a file that exists under it is never replaced,
// not even one created a moment earlier by another process.
//
// Also here: keeping a library's messages on standard error off the
// terminal, so that they can go to the log with the failure they explain.
#pragma once

#include <stdexcept>
#include <string>

namespace plat {

// A file operation that failed; `Code` is the errno value (0 when unknown).
class FileError : public std::runtime_error {
public:
    FileError(const std::string& text, int code) : std::runtime_error(text), Code(code) {}
    int Code;
};

// The target name was taken: a file (or folder) of that name exists.
class FileExistsError : public FileError {
public:
    using FileError::FileError;
};

// A file being written under a temporary name beside its target.
class PendingFile {
public:
    // Creates the empty temporary file in the target's folder at once, so a
    // folder that is missing or cannot take files fails here, before any
    // work is done. Raises FileError.
    explicit PendingFile(std::string target);
    // Removes the temporary file unless it was put in place.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& Path() const { return temp_; }     // where to write
    const std::string& Target() const { return target_; }

    // Flushes the written file to the disk and gives it the target's name,
    // but only while no file of that name exists: FileExistsError then
    // (the temporary file is removed), FileError for any other failure.
    void PublishExclusive();
    // Gives it the target's name, replacing what is there: for a file that
    // already belongs to the writer, such as a workbook saved again.
    void PublishReplacing();

private:
    void Sync();

    std::string target_;
    std::string temp_;
    bool published_ = false;
};

// Sends what is printed on standard error (file descriptor 2) while the
// guard lives into memory instead of the terminal. Process-wide: output of
// other threads in that moment is caught too; guards do not nest.
class CapturedStderr {
public:
    CapturedStderr();
    ~CapturedStderr();
    CapturedStderr(const CapturedStderr&) = delete;
    CapturedStderr& operator=(const CapturedStderr&) = delete;

    // Puts standard error back and answers what was printed meanwhile.
    std::string Release();

private:
    int saved_ = -1;     // the original descriptor 2
    int buffer_ = -1;    // memory file taking the output
};

}  // namespace plat
