#pragma once
#include <QWidget>
#include <functional>

#include "platform/message_box.h"

namespace mixora {

// Message boxes as Qt dialogs over the main window.
class QtMessageBox final : public IMessageBox {
public:
    explicit QtMessageBox(std::function<QWidget*()> parent) : parent_(std::move(parent)) {}
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;

private:
    std::function<QWidget*()> parent_;
};

} // namespace mixora
