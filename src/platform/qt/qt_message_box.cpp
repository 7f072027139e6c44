#include "platform/qt/qt_message_box.h"

#include <QMessageBox>

namespace mixora {

int QtMessageBox::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
    QMessageBox box(parent_ ? parent_() : nullptr);
    box.setWindowTitle(QString::fromUtf8(caption.c_str()));
    box.setText(QString::fromUtf8(text.c_str()));
    const unsigned icon = type & 0xF0u;
    box.setIcon(icon == MB_ICONERROR         ? QMessageBox::Critical
                : icon == MB_ICONWARNING     ? QMessageBox::Warning
                : icon == MB_ICONINFORMATION ? QMessageBox::Information
                                             : QMessageBox::NoIcon);
    if ((type & 0xFu) == MB_YESNO) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
    }
    if ((type & 0xFu) == MB_YESNOCANCEL) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        const int chosen = box.exec();
        return chosen == QMessageBox::Yes ? IDYES : chosen == QMessageBox::No ? IDNO : IDCANCEL;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return IDOK;
}

} // namespace mixora
