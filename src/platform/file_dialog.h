#pragma once
// The desktop's common file dialogs: choose files to open, or a name to save
// under. Called on the UI thread; blocks (modally) until the person closes
// the dialog, while the window's message loop keeps running.
#include <optional>
#include <string>
#include <vector>

namespace mixora {

struct FileFilter {
    std::string label;    // shown, e.g. "Wave File (*.wav)"
    std::string patterns; // ';'-separated, e.g. "*.wav"; "*.*" means every file
};

struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    // Open: several files may be chosen.
    bool allowMultiple = false;
    // Save: ask before replacing an existing file.
    bool overwritePrompt = false;
    std::string title; // empty: the desktop's usual title
    std::vector<FileFilter> filters;
    // Save: appended (with a dot) to a chosen name that has no extension.
    std::string defaultExtension;
    std::string initialName;
};

class IFileDialog {
public:
    virtual ~IFileDialog() = default;
    // The chosen files as full paths (bytes, UTF-8 on Linux), in the order
    // the dialog gives them; nullopt when the person cancelled.
    virtual std::optional<std::vector<std::string>> Run(const FileDialogRequest& request) = 0;
};

} // namespace mixora
