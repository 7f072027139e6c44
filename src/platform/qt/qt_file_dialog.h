#pragma once
#include <QWidget>
#include <functional>

#include "platform/file_dialog.h"

namespace mixora {

// The file dialogs as Qt's own (not the desktop portal's): the same dialog on
// every desktop, X11 or Wayland, and one a test can drive under Xvfb.
class QtFileDialog final : public IFileDialog {
public:
    explicit QtFileDialog(std::function<QWidget*()> parent) : parent_(std::move(parent)) {}
    std::optional<std::vector<std::string>> Run(const FileDialogRequest& request) override;

private:
    std::function<QWidget*()> parent_;
};

} // namespace mixora
