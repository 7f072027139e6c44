#include "platform/qt/qt_debug_output.h"

#include <QLoggingCategory>

namespace mixora {
namespace {

// Debug messages of this category are off by default; warnings would show.
Q_LOGGING_CATEGORY(mixoraDebug, "mixora", QtWarningMsg)

} // namespace

QtDebugOutput::QtDebugOutput() {
    if (qEnvironmentVariableIntValue("MIXORA_DEBUG") == 1) {
        const_cast<QLoggingCategory&>(mixoraDebug()).setEnabled(QtDebugMsg, true);
    }
}

void QtDebugOutput::OutputDebugString(const std::string& text) {
    if (!mixoraDebug().isDebugEnabled()) {
        return;
    }
    // Texts usually end in their own newline; the category adds one.
    std::string line = text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    qCDebug(mixoraDebug).noquote()
        << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
}

} // namespace mixora
