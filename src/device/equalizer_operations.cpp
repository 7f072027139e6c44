#include "device/equalizer_operations.h"

#include "app/program_records.h"
#include "device/eq_channel.h"
#include "device/eq_menu.h"

namespace mixora {

CEqualizerOperations::CEqualizerOperations(IEqChannel& channel, IRegistry& registry,
                                           ProgramRecords& records,
                                           const IResourceModule& resources, IDialogRunner& runner,
                                           LanguageLookup lookup)
    : resources_(resources), language_(records, std::move(lookup)),
      eq_(channel, registry, records.g_builtinPresets), load_(eq_, language_, resources, runner),
      save_(eq_, language_, resources, runner), delete_(eq_, language_, resources, runner) {}

void CEqualizerOperations::ShowEqualizer(CMainFrame& frame) {
    eq_.ShowEqualizer(frame);
}

void CEqualizerOperations::SetPresetDialogsOwner(CMainFrame& frame) {
    load_.SetOwner(frame);
    save_.SetOwner(frame);
    delete_.SetOwner(frame);
}

bool CEqualizerOperations::SetEqProperty(CMainFrame&, int id, std::span<const std::uint8_t> value) {
    if (id < 0) {
        return false;
    }
    return eq_.SetEqProperty(static_cast<std::uint32_t>(id), value);
}

void CEqualizerOperations::ShowEqMenu(CMainFrame& frame, int controlId) {
    mixora::ShowEqMenu(frame, controlId, resources_, language_);
}

void CEqualizerOperations::RunLoadPresetDialog(CMainFrame&) {
    load_.DoModal();
}
void CEqualizerOperations::RunSavePresetDialog(CMainFrame&) {
    save_.DoModal();
}
void CEqualizerOperations::RunDeletePresetDialog(CMainFrame&) {
    delete_.DoModal();
}

} // namespace mixora
