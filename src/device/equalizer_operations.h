#pragma once
// Everything the main window asks of the equalizer, in one place: the panel,
// the single-band and whole-record sends, the preset menu and the three
// preset dialogs.
#include <cstdint>
#include <span>

#include "device/equalizer.h"
#include "device/language_text.h"
#include "device/preset_dialogs.h"

namespace mixora {

class IDialogRunner;
class IEqChannel;
class IRegistry;
class IResourceModule;
struct ProgramRecords;

class CEqualizerOperations {
public:
    // All references must outlive this object. Translations come from the
    // language table the records select unless `lookup` is given.
    CEqualizerOperations(IEqChannel& channel, IRegistry& registry, ProgramRecords& records,
                         const IResourceModule& resources, IDialogRunner& runner,
                         LanguageLookup lookup = {});

    void ShowEqualizer(CMainFrame& frame);
    void SetPresetDialogsOwner(CMainFrame& frame);
    bool SetEqProperty(CMainFrame& frame, int id, std::span<const std::uint8_t> value);
    void ShowEqMenu(CMainFrame& frame, int controlId);
    void RunLoadPresetDialog(CMainFrame& frame);
    void RunSavePresetDialog(CMainFrame& frame);
    void RunDeletePresetDialog(CMainFrame& frame);

    CEqualizer& Equalizer() { return eq_; }

private:
    const IResourceModule& resources_;
    CLanguageText language_;
    CEqualizer eq_;
    CLoadPresetDlg load_;
    CSavePresetDlg save_;
    CDeletePresetDlg delete_;
};

} // namespace mixora
