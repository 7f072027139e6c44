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

    void ShowEqualizer(CDeviceWindow& frame);
    void SetPresetDialogsOwner(CDeviceWindow& frame);
    bool SetEqProperty(int id, std::span<const std::uint8_t> value);
    void ShowEqMenu(CDeviceWindow& frame, int controlId);
    void RunLoadPresetDialog();
    void RunSavePresetDialog();
    void RunDeletePresetDialog();

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
