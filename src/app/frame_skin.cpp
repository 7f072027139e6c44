// The main window's side of the skin: setting it up, reading its
// description, the skin menu and switching, and the hideable panels.
#include <algorithm>
#include <new>
#include <string>

#include "app/control_ids.h"
#include "app/main_frame.h"
#include "app/playback_operations.h"
#include "app/recorder_operations.h"
#include "device/effect_operations.h"
#include "device/language_text.h"
#include "device/program_records.h"
#include "platform/message_box.h"
#include "platform/system_info.h"
#include "skin/profile_text.h"
#include "skin/resource_source.h"
#include "skin/skin_check.h"
#include "skin/skin_packages.h"

namespace mixora {
namespace {

constexpr int kSkinInfoId = 134;

// The package is named and the reason given; `outcome` says which skin the
// window shows instead.
void TellSkinRefused(IMessageBox& messages, const std::string& package, const SkinError& error,
                     const char* outcome) {
    messages.MessageBox("The skin package " + package + " cannot be used: " + error.description +
                            ".\n" + outcome,
                        "Mixora", MB_OK | MB_ICONWARNING);
}

} // namespace

int CMainFrame::SetUpSkin() {
    // A saved package that is no longer usable is never loaded, and not saved
    // again: the window comes up with the built-in skin.
    // A package that is only not there (a drive not mounted) keeps the choice
    // and shows the built-in skin quietly, as it always has.
    if (!m_strSkinFile.empty()) {
        auto error = CheckSkinPackage(m_strSkinFile);
        if (error && error->category != SkinProblem::NotFound) {
            TellSkinRefused(m_messages, m_strSkinFile, *error,
                            "Mixora uses its built-in skin instead.");
            m_strSkinFile.clear();
        }
    }
    try {
        if (!m_skin.Load(kTransparentKey, kBodyKey, &m_host, m_strSkinFile, m_resources)) {
            return -1;
        }
        ReadSkinInfo();
        CreateSkinControls(m_skin.Controls(), m_skin.Mask(), m_nPLScrollType);
    } catch (const std::bad_alloc&) {
        m_skin.Release();
        if (m_strSkinFile.empty()) {
            throw; // the built-in skin itself: nothing left to fall back to
        }
        TellSkinRefused(m_messages, m_strSkinFile,
                        SkinError{SkinProblem::OutOfMemory,
                                  {},
                                  "there is not enough memory to "
                                  "load it"},
                        "Mixora uses its built-in skin instead.");
        m_strSkinFile.clear();
        return SetUpSkin();
    }

    DisplayAreas areas = MeasureDisplayAreas(m_skin.Mask());
    m_rcMedia = areas.m_rcMedia;
    m_rcTitle = areas.m_rcTitle;
    m_rcPlaylist = areas.m_rcPlaylist;
    m_rcPlaylistLine = areas.m_rcPlaylistLine;
    m_rcTimeColumn = areas.m_rcTimeColumn;
    m_rcTimeDigits = areas.m_rcTimeDigits;
    m_rcRecDigits = areas.m_rcRecDigits;
    m_rcKeyLamps = areas.m_rcKeyLamps;
    m_nVisibleLines = areas.m_nVisibleLines;
    CreateFonts();

    CreateTooltips();
    m_effects.ShowEqualizer(*this);
    BuildPanelRegions();
    DrawKeyLamps();
    return 0;
}

void CMainFrame::ReadSkinInfo() {
    m_crName = 0xDCDCDC;
    m_crPlaylist = 0xFF9B78;
    m_crSelected = 0x96FF96;
    m_crPlaying = 0x6464FF;
    m_skinInfo.clear();
    m_nSkinInfoLength = 0;

    CSkinSource source = OpenSkinSource(m_strSkinFile, m_resources);
    if (auto text = source.Module().FindResource("SKININFO", ResourceName::Id(kSkinInfoId))) {
        m_skinInfo.assign(text->begin(), text->end());
        m_nSkinInfoLength = m_skinInfo.size();
    }
    const char* text = m_skinInfo.empty() ? nullptr : m_skinInfo.data();
    std::string value;
    auto lookup = [&](const char* section, const char* key) {
        return LookupProfileText(text, m_nSkinInfoLength, section, key, value);
    };
    if (lookup("FontColor", "NameColor"))
        m_crName = ParseHex(value);
    if (lookup("FontColor", "PLColor"))
        m_crPlaylist = ParseHex(value);
    if (lookup("FontColor", "SelectedPLColor"))
        m_crSelected = ParseHex(value);
    if (lookup("FontColor", "PlayingPLColor"))
        m_crPlaying = ParseHex(value);
    m_nPLScrollType = 2;
    if (lookup("ScrollType", "PLScrollType"))
        m_nPLScrollType = static_cast<int>(ParseHex(value));
    m_bPLScrollReverse = 0;
    if (lookup("ScrollType", "PLScrollReverse"))
        m_bPLScrollReverse = ParseHex(value) != 0 ? 1 : 0;
}

void CMainFrame::ShowSkinMenu(int controlId) {
    const CSkinControl* control = m_skin.Controls().Find(controlId);
    if (!control) {
        return;
    }
    RECT box = control->m_rgn.Bounds();
    POINT at = m_host.ClientToScreen({(box.left + box.right) / 2, (box.top + box.bottom) / 2});

    std::vector<MenuItem> items = {{ID_BASE_SKIN, "Base Skin", false}, {0, "", false}};
    const CLanguageText language(m_records);
    if (language.Translate("SKIN", "BaseSkin", items[0].text)) {
        items[0].encoding = language.Encoding();
    }
    int checked = m_strSkinFile.empty() ? 0 : -1;
    std::vector<SkinPackage> packages = ListOpenableSkinPackages(m_system.SkinFolders());
    for (std::size_t n = 0;
         n < packages.size() && n <= ID_LAST_SKIN_PACKAGE - ID_FIRST_SKIN_PACKAGE; ++n) {
        items.push_back(
            {ID_FIRST_SKIN_PACKAGE + static_cast<std::uint32_t>(n), packages[n].title, false});
        if (packages[n].path == m_strSkinFile) {
            checked = static_cast<int>(n) + 2;
        }
    }
    if (checked >= 0) {
        items[static_cast<std::size_t>(checked)].radioChecked = true;
    }
    m_host.TrackPopupMenu(items, at);
}

void CMainFrame::SwitchSkin(std::uint32_t commandId) {
    std::string chosen = m_strSkinFile;
    if (commandId == ID_BASE_SKIN) {
        chosen.clear();
    } else {
        std::vector<SkinPackage> packages = ListOpenableSkinPackages(m_system.SkinFolders());
        std::size_t k = commandId - ID_FIRST_SKIN_PACKAGE;
        if (k < packages.size()) {
            chosen = packages[k].path;
        }
    }
    // A package that fails its checks is refused before anything of the
    // current skin is let go: the window keeps its skin and the menu its mark.
    if (!chosen.empty()) {
        if (auto error = CheckSkinPackage(chosen)) {
            TellSkinRefused(m_messages, chosen, *error, "Mixora keeps the skin it has.");
            return;
        }
    }
    m_strSkinFile = chosen;

    const double seek = m_skin.GetSliderFraction(ID_SEEKING_BAR);
    const double volume = m_skin.GetSliderFraction(ID_VOLUME);
    double scroll = m_skin.GetSliderFraction(ID_PLAYLIST_SCROLLBAR);
    if (m_bPLScrollReverse) {
        scroll = 1.0 - scroll;
    }

    m_skin.Release();
    m_rgnRecorder = Region();
    m_rgnPlaylist = Region();
    m_rgnEqualizer = Region();

    SetUpSkin();
    m_skin.RefitWindowToSkin();

    m_skin.SetSliderFraction(ID_SEEKING_BAR, seek);
    m_skin.SetSliderFraction(ID_VOLUME, volume);
    // The list stays scrolled to the same line whichever way the new thumb runs.
    m_skin.SetSliderFraction(ID_PLAYLIST_SCROLLBAR, m_bPLScrollReverse ? 1.0 - scroll : scroll);

    m_skin.SetButtonState(ID_TOGGLE_RECORDER, m_bShowRecorder == 0 ? 1 : 0);
    m_skin.SetButtonState(ID_TOGGLE_PLAYLIST, m_bShowPlaylist == 0 ? 1 : 0);
    m_skin.SetButtonState(ID_TOGGLE_EQUALIZER, m_bShowEqualizer == 0 ? 1 : 0);
    m_skin.SetButtonState(ID_REPEAT, m_nRepeatMode);
    m_skin.SetButtonState(ID_MUTE, m_bMute ? 1 : 0);
    m_skin.SetButtonState(ID_VOICE_CANCEL, m_bVoiceCancel ? 1 : 0);
    m_skin.SetButtonState(ID_PLAY_PAUSE, m_nPlayState == 2 ? 1 : 0);

    ApplyPanelShape();
    // The media control follows the new skin's media area.
    if (m_pPlayer) {
        m_pPlayer->MoveWindow(m_rcMedia);
    }
    m_host.InvalidateRect(&m_rcMedia);
}

void CMainFrame::DrawKeyLamps() {
    m_skin.DrawKeyLamps(m_nKeyShift, m_rcKeyLamps);
}

void CMainFrame::BuildPanelRegions() {
    m_skin.RegionFromMask2(m_rgnRecorder, kRecorderPanelKey, kMaskKeyPixels);
    m_skin.RegionFromMask2(m_rgnPlaylist, kPlaylistPanelKey, kMaskKeyPixels);
    m_skin.RegionFromMask2(m_rgnEqualizer, kEqualizerPanelKey, kMaskKeyPixels);
}

void CMainFrame::ApplyPanelShape() {
    Region shape;
    m_skin.RegionFromMask(shape, kTransparentKey, kMaskAllButKey);
    // A hidden panel only ever takes pixels away: a panel key painted over
    // the transparent area must not add them to the window.
    if (!m_bShowRecorder)
        shape = shape.Subtract(m_rgnRecorder);
    if (!m_bShowPlaylist)
        shape = shape.Subtract(m_rgnPlaylist);
    if (!m_bShowEqualizer)
        shape = shape.Subtract(m_rgnEqualizer);
    std::vector<RECT> rects = shape.Rects();
    m_host.SetWindowRgn(rects, true);
}

void CMainFrame::TogglePanel(int controlId) {
    int* flag = controlId == ID_TOGGLE_RECORDER    ? &m_bShowRecorder
                : controlId == ID_TOGGLE_PLAYLIST  ? &m_bShowPlaylist
                : controlId == ID_TOGGLE_EQUALIZER ? &m_bShowEqualizer
                                                   : nullptr;
    if (!flag) {
        return;
    }
    *flag = *flag == 0 ? 1 : 0;
    m_skin.SetButtonState(controlId, *flag == 0 ? 1 : 0);
    ApplyPanelShape();
}

} // namespace mixora
