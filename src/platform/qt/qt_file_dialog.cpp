#include "platform/qt/qt_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace mixora {
namespace {

QString NameFilter(const FileFilter& f) {
    // "*.*" is "every file", also files without a dot in their names.
    QString patterns = QString::fromUtf8(f.patterns.c_str()).replace(';', ' ');
    patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    QString label = QString::fromUtf8(f.label.c_str());
    // Qt takes the patterns from the last parentheses of the label.
    return label + QStringLiteral(" (") + patterns + QStringLiteral(")");
}

} // namespace

std::optional<std::vector<std::string>> QtFileDialog::Run(const FileDialogRequest& request) {
    QFileDialog dialog(parent_ ? parent_() : nullptr);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!request.title.empty()) {
        dialog.setWindowTitle(QString::fromUtf8(request.title.c_str()));
    }
    QStringList filters;
    for (const FileFilter& f : request.filters) {
        filters << NameFilter(f);
    }
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    if (request.kind == FileDialogRequest::Kind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
        if (!request.defaultExtension.empty()) {
            dialog.setDefaultSuffix(QString::fromUtf8(request.defaultExtension.c_str()));
        }
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.allowMultiple ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
    }
    if (!request.initialName.empty()) {
        dialog.selectFile(QString::fromUtf8(request.initialName.c_str()));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    std::vector<std::string> paths;
    for (const QString& file : dialog.selectedFiles()) {
        paths.push_back(QFileInfo(file).absoluteFilePath().toUtf8().toStdString());
    }
    return paths;
}

} // namespace mixora
