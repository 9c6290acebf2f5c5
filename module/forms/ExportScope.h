// What every export of a program window shares. During the run the progress
// window lets pending messages through, so the window is kept from input
// and from closing: a click on its buttons or a close would rebuild or free
// what the export is reading. When the file is written it is opened in the
// desktop's application, or the user is told where it is.
#pragma once

#include <string>

class TfrmBase;
class TfrmRadical;

class ExportScope {
public:
    explicit ExportScope(TfrmBase* window);
    // Gives the window back its input and its close as they were.
    ~ExportScope();
    ExportScope(const ExportScope&) = delete;
    ExportScope& operator=(const ExportScope&) = delete;

private:
    TfrmBase* window_;
    bool wasEnabled_ = true;
    bool wasExporting_ = false;
};

// Asks the shell to open `path`; when nothing can open it, shows the user
// where the file was written.
void OpenExportedFile(TfrmRadical* window, const std::string& path);
