#include "device/equalizer_operations.h"

#include "device/eq_channel.h"
#include "device/eq_menu.h"
#include "device/program_records.h"

namespace mixora {

CEqualizerOperations::CEqualizerOperations(IEqChannel& channel, IRegistry& registry,
                                           ProgramRecords& records,
                                           const IResourceModule& resources, IDialogRunner& runner,
                                           LanguageLookup lookup)
    : resources_(resources), language_(records, std::move(lookup)),
      eq_(channel, registry, records.g_builtinPresets), load_(eq_, language_, resources, runner),
      save_(eq_, language_, resources, runner), delete_(eq_, language_, resources, runner) {}

void CEqualizerOperations::ShowEqualizer(CDeviceWindow& frame) {
    eq_.ShowEqualizer(frame);
}

void CEqualizerOperations::SetPresetDialogsOwner(CDeviceWindow& frame) {
    load_.SetOwner(frame);
    save_.SetOwner(frame);
    delete_.SetOwner(frame);
}

bool CEqualizerOperations::SetEqProperty(int id, std::span<const std::uint8_t> value) {
    if (id < 0) {
        return false;
    }
    return eq_.SetEqProperty(static_cast<std::uint32_t>(id), value);
}

void CEqualizerOperations::ShowEqMenu(CDeviceWindow& frame, int controlId) {
    mixora::ShowEqMenu(frame, controlId, resources_, language_);
}

void CEqualizerOperations::RunLoadPresetDialog() {
    load_.DoModal();
}
void CEqualizerOperations::RunSavePresetDialog() {
    save_.DoModal();
}
void CEqualizerOperations::RunDeletePresetDialog() {
    delete_.DoModal();
}

} // namespace mixora
