// Mixora: wires the Linux stand-ins to the core and runs the message loop.
#include <QApplication>

#include "app/inert_command_operations.h"
#include "app/inert_frame_operations.h"
#include "app/mixora_app.h"
#include "platform/profile/profile_file.h"
#include "platform/qt/power_events.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_text_rasterizer.h"
#include "platform/qt/qt_window_host.h"
#include "platform/qt/signal_bridge.h"
#include "platform/system/linux_system.h"
#include "platform/system/mci_standin.h"
#include "platform/system/posix_launcher.h"
#include "skin/program_resources.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mixora"));
    // The window decides itself when the program ends (WM_CLOSE, then
    // destruction), never the toolkit on hiding its last window.
    QApplication::setQuitOnLastWindowClosed(false);

    mixora::LinuxSystemInfo system;
    mixora::PrivateProfileFile profile;
    mixora::LinuxMci mci;
    mixora::CInertFrameOperations ops;
    mixora::ProgramRecords records;
    mixora::CProgramResources resources;
    mixora::QtWindowHost host;
    mixora::QtMessageBox messages([&host] { return host.Widget(); });
    mixora::PosixLauncher launcher;
    mixora::QtTextRasterizer text;
    mixora::CInertCommandOperations commands;
    mixora::SignalBridge signalBridge(host);
    mixora::PowerEvents power(host);

    mixora::CMixoraApp app({host, profile, system, mci, ops, records, resources, messages, launcher, text, commands});
    if (!app.InitInstance()) {
        return 1;
    }
    if (host.IsDestroyed()) {
        return 0;
    }
    return QApplication::exec();
}
