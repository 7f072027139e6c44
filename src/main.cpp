// Mixora: wires the Linux stand-ins to the core and runs the message loop.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <unistd.h>

#include "app/command_line.h"
#include "app/mixora_app.h"
#include "app/playback_routes.h"
#include "app/recorder_room.h"
#include "app/remote_control.h"
#include "app/settings.h"
#include "device/device_operations.h"
#include "device/directsound_reverb.h"
#include "device/environment_effects.h"
#include "device/eq_channel.h"
#include "device/equalizer_operations.h"
#include "device/language_text.h"
#include "device/mixer_control.h"
#include "device/property_channel.h"
#include "platform/effect_driver/effect_hub.h"
#include "platform/effect_driver/software_directsound.h"
#include "platform/effect_driver/software_effect_device.h"
#include "platform/effect_driver/virtual_mixer.h"
#include "platform/gst/cd_module_sound.h"
#include "platform/gst/media_module_loader.h"
#include "platform/gst/media_tags.h"
#include "platform/posix/cd_audio_device.h"
#include "platform/posix/cdrom_drive.h"
#include "platform/posix/linux_system.h"
#include "platform/posix/mci_standin.h"
#include "platform/posix/posix_file_store.h"
#include "platform/posix/posix_folder_reader.h"
#include "platform/posix/posix_launcher.h"
#include "platform/posix/profile_file.h"
#include "platform/posix/registry_store.h"
#include "platform/posix/xdg_folders.h"
#include "platform/qt/file_drop.h"
#include "platform/qt/mpris_service.h"
#include "platform/qt/power_events.h"
#include "platform/qt/qt_debug_output.h"
#include "platform/qt/qt_dialog_view.h"
#include "platform/qt/qt_file_dialog.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/qt_text_rasterizer.h"
#include "platform/qt/qt_window_host.h"
#include "platform/qt/screen_fit.h"
#include "platform/qt/signal_bridge.h"
#include "recorder/wave_recorder.h"
#include "skin/program_resources.h"

namespace {

std::string CurrentFolder() {
    std::string buffer(4096, '\0');
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        return "/";
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

} // namespace

int main(int argc, char** argv) {
    using mixora::CommandLine;
    CommandLine commandLine = mixora::ParseCommandLine(
        std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)));
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        std::fputs(mixora::UsageText(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::printf("mixora %s\n", MIXORA_VERSION);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "mixora: %s\nTry 'mixora --help' for more information.\n",
                     commandLine.error.c_str());
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    // The running copy may stand in another folder than this shell.
    const std::string cwd = CurrentFolder();
    for (std::string& item : commandLine.items) {
        item = mixora::AbsoluteItem(item, cwd);
    }
    const bool builtinSkin = commandLine.builtinSkin;

    mixora::UseIntegerScale();
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mixora"));
    // The window decides itself when the program ends (WM_CLOSE, then
    // destruction), never the toolkit on hiding its last window.
    QApplication::setQuitOnLastWindowClosed(false);

    using namespace mixora;
    // One Mixora per desktop session: a second start hands its files to the
    // running one before it reads or writes any settings, and ends.
    QtWindowHost* windowHost = nullptr;
    MprisService bus([&windowHost] { return windowHost ? windowHost->Widget() : nullptr; });
    switch (bus.Claim(commandLine.items, commandLine.enqueue)) {
    case InstanceClaim::HandedOver:
        return 0;
    case InstanceClaim::Unreachable:
        std::fputs("mixora: another Mixora runs but does not answer on the session bus\n", stderr);
        return 1;
    case InstanceClaim::Owner:
    case InstanceClaim::NoBus:
        break;
    }

    LinuxSystemInfo system;
    QtDebugOutput debug;
    PrivateProfileFile profile;
    LinuxMci otherDevices;
    // The CD drive: [CD] Device= in Mixora.ini names another than
    // /dev/cdrom (or the first /dev/sr*); only read, never written.
    CdromDrive cdDrive(
        profile.GetString("CD", "Device", "", 260, SettingsFilePath(system.WindowsDirectory())));
    ProgramRecords records;
    CProgramResources resources;
    QtWindowHost host;
    windowHost = &host;
    QtMessageBox messages([&host] { return host.Widget(); });
    PosixLauncher launcher;
    QtTextRasterizer text;
    RegistryStore registry(system.WindowsDirectory() + "/registry.reg", &debug, &messages);
    if (builtinSkin) {
        // Saved before anything else runs, so the choice holds even if this
        // run ends early.
        profile.WriteString("Settings", "Skin_File", "",
                            SettingsFilePath(system.WindowsDirectory()));
    }

    // The software effect driver stands where the sound driver stood: the
    // property channel, the mixer and DirectSound all reach it, and every
    // new state goes to the effect chains of the playback pipelines.
    // Its state reaches registry.reg once a change has settled, not on
    // every step of a slider drag; at exit the device writes what is left.
    EffectHub effectHub;
    QTimer effectSave;
    effectSave.setSingleShot(true);
    SoftwareEffectDevice effectDevice(
        registry, [&effectHub](const EffectState& s) { effectHub.SetState(s); });
    QObject::connect(&effectSave, &QTimer::timeout, [&effectDevice] { effectDevice.SaveState(); });
    effectDevice.SetSaveTimer(
        [&effectSave](std::chrono::milliseconds delay) { effectSave.start(delay); });
    SoftwareDirectSound directSound(effectDevice);
    const std::string programFile = system.ModuleFileName();
    const std::string programFolder = programFile.substr(0, programFile.rfind('/'));

    // The sound of CD tracks, from the media module the first time one is
    // played, through the same effects as files. MIXORA_CD_SOURCE, when
    // set, is a GStreamer description of what stands in for the disc.
    CdModuleSound cdSound(host,
                          {.source = {}, .audioSink = {}, .log = &debug, .effects = &effectHub},
                          programFolder, [&debug](const std::string& why) {
                              std::fprintf(stderr, "mixora: %s\n", why.c_str());
                              debug.OutputDebugString("Mixora: " + why);
                          });
    CdAudioDevice cdDevice(cdDrive, cdSound, host, otherDevices);
    VirtualMixer mixer(&effectDevice);
    // The CD line's volume and mute act on the CD's sound.
    mixer.SetCdLineObserver([&mixer, &cdDevice] {
        cdDevice.SetLineLevel(mixer.CdVolumeLeft(), mixer.CdVolumeRight(), mixer.CdMute());
    });
    CDirectSoundReverb dsReverb(directSound, registry, messages, records);
    CPropertyChannel channel(effectDevice, debug, records, &dsReverb);
    CMixerControl mixerControl(mixer);
    CEnvironmentEffects environments(channel, dsReverb, resources, records);
    CPropertyEqChannel eqChannel(channel);
    QtDialogRunner dialogs([&host] { return host.Widget(); });
    CEqualizerOperations equalizer(eqChannel, registry, records, resources, dialogs);
    CDeviceOperations deviceOps(mixerControl, channel, equalizer, environments, system, resources);

    // The wave recorder's device, from the media module the first time a
    // recording is opened. MIXORA_RECORD_SOURCE, when set, is a GStreamer
    // description of the source to record from instead of the desktop's
    // default one, e.g. "audiotestsrc freq=1000 is-live=true".
    const char* recordSource = std::getenv("MIXORA_RECORD_SOURCE");
    WaveModuleMci mci(
        cdDevice, {CacheFolder(), recordSource ? recordSource : "", std::string()},
        [&host](std::uintptr_t, std::uint32_t flag, std::uint32_t id) {
            host.PostMessage(MM_MCINOTIFY, flag, static_cast<LPARAM>(id));
        },
        programFolder);

    // Playback: the factory of the media controls, GStreamer's playbin with
    // the effect element. The media engine is loaded and started with the
    // first control or length probe it makes, not here. MIXORA_AUDIO_SINK
    // chooses another output.
    MediaModuleFactory mediaControls(host, {.audioSink = {}, .log = &debug, .effects = &effectHub},
                                     programFolder);
    QtFileDialog fileDialogs([&host] { return host.Widget(); });
    PosixFileStore files;
    CPlaybackEngine engine({.media = mediaControls,
                            .mci = mci,
                            .mixer = mixerControl,
                            .dialogs = fileDialogs,
                            .files = files,
                            .messages = messages,
                            .tasks = host,
                            .log = &debug});
    CPlaybackOperations playbackOps(engine);

    CLanguageText language(records);
    CWaveRecorder recorder({mci, records, profile, system, messages, fileDialogs, dialogs,
                            resources, language, RescuedRecordingsFolder(),
                            [] { return std::time(nullptr); }});
    CRecorderOperations recorderOps(recorder);

    SignalBridge signalBridge(host);
    PowerEvents power(host);
    power.SetBeforeSuspend([&effectDevice] { effectDevice.SaveState(); });

    CMixoraApp app({host, profile, system, mci, records, resources, messages, launcher, text,
                    deviceOps, playbackOps, recorderOps});
    if (!app.InitInstance()) {
        return 1;
    }
    if (host.IsDestroyed()) {
        return 0;
    }

    // The desktop's way in: D-Bus, drops, and the files on the command line,
    // each through the commands and playlist operations of the controls.
    PosixFolderReader folders;
    CRemoteControl remote(*app.MainFrame(), playbackOps, mci, folders, files);
    FileDrop drops(*host.Widget(), remote);
    if (!commandLine.items.empty()) {
        remote.Open(std::move(commandLine.items),
                    commandLine.enqueue ? OpenMode::Append : OpenMode::Replace);
    }
    // Tags come from the media module, which playing the file has loaded.
    const std::string mediaModule = MediaModulePath(programFolder);
    bus.SetTagReader([mediaModule](const std::string& path, MediaTags& tags) {
        std::string failure;
        auto read = reinterpret_cast<ReadMediaTagsFn>(
            MediaModuleEntry(mediaModule, kMediaTagsEntry, failure));
        return read && read(path.c_str(), &tags);
    });
    bus.Attach(remote);
    const int status = QApplication::exec();
    bus.Detach();
    return status;
}
