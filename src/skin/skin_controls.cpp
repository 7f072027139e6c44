#include "skin/skin_controls.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "skin/mask_regions.h"

namespace mixora {

namespace {

Region KeyRegion(const MaskIndex* mask, std::uint32_t key) {
    return mask ? mask->RegionOf(key, kMaskKeyPixels) : Region();
}

int Height(const RECT& rc) {
    return rc.bottom - rc.top;
}

// The first x in [from, to] (inclusive) on row y inside `rgn`, or -1.
int FirstXInRow(const Region& rgn, int y, int from, int to) {
    for (int x = from; x <= to; ++x) {
        if (rgn.Contains(x, y))
            return x;
    }
    return -1;
}

int FirstYInColumn(const Region& rgn, int x, int from, int to) {
    for (int y = from; y <= to; ++y) {
        if (rgn.Contains(x, y))
            return y;
    }
    return -1;
}

// How far the thumb's leading edge sits inside the slider's edge, across the
// slider: the smallest such distance over the thumb's rows (or columns).
// Rows where the thumb has no pixel say nothing and are skipped.
int CrossOffset(const CSkinSlider& s) {
    const RECT& b = s.m_rcBox;
    const RECT& t = s.m_rcThumb;
    int offset = 0x7FFF;
    if (s.m_nOrientation == kSliderVertical) {
        for (int y = t.top; y <= t.bottom; ++y) {
            const int thumbX = FirstXInRow(s.m_rgnThumb, y, b.left, b.right);
            const int sliderX = FirstXInRow(s.m_rgn, y, b.left, b.right);
            if (thumbX >= 0 && sliderX >= 0)
                offset = std::min(offset, thumbX - sliderX);
        }
    } else {
        for (int x = t.left; x <= t.right; ++x) {
            const int thumbY = FirstYInColumn(s.m_rgnThumb, x, b.top, b.bottom);
            const int sliderY = FirstYInColumn(s.m_rgn, x, b.top, b.bottom);
            if (thumbY >= 0 && sliderY >= 0)
                offset = std::min(offset, thumbY - sliderY);
        }
    }
    return std::max(offset, 0);
}

struct ButtonSpec {
    std::uint16_t id;
    std::uint32_t key;
    int style;
    const char* strip;
};

struct SliderSpec {
    std::uint16_t id;
    std::uint32_t trackKey;
    std::uint32_t thumbKey;
    std::uint16_t flags;
    bool playlistScroll; // orientation comes from the skin's description
};

// List order is hit-test order and paint order.
constexpr ButtonSpec kButtons[] = {
    {1001, 0xFA0064, kButtonStrip, "PLAYSTS"},   // Play / Pause
    {1007, 0x009664, kButtonStrip, "MUTESTS"},   // Mute
    {1006, 0x96FA64, kButtonStrip, "REPEATSTS"}, // Toggle repeat mode
    {1067, 0xFAFA64, kButtonStrip, "VOICECSTS"}, // Voice cancellation
    {1086, 0x3200FA, kButtonStrip, "EQONSTS"},   // Equalizer On/Off
    {1083, 0x580032, kButtonToggle, ""},         // Toggle Recorder window
    {1084, 0x580064, kButtonToggle, ""},         // Toggle Playlist window
    {1085, 0x580096, kButtonToggle, ""},         // Toggle Equalizer window
    {1002, 0xC80064, kButtonPlain, ""},          // Stop
    {1003, 0x960064, kButtonPlain, ""},          // Next track
    {1004, 0x640064, kButtonPlain, ""},          // Previous track
    {1062, 0x00FA64, kButtonPlain, ""},          // Forward
    {1064, 0x00C864, kButtonPlain, ""},          // Backward
    {1005, 0x006464, kButtonPlain, ""},          // Open media file
    {1065, 0x64FA64, kButtonPlain, ""},          // Change skin
    {1066, 0xC8FA64, kButtonPlain, ""},          // Toggle environment
    {1068, 0x64C864, kButtonPlain, ""},          // Key Up
    {1069, 0x96C864, kButtonPlain, ""},          // Key Down
    {1070, 0x000078, kButtonPlain, ""},          // Record
    {1071, 0x320078, kButtonPlain, ""},          // Stop recording
    {1072, 0x640078, kButtonPlain, ""},          // Playback recorded data
    {1073, 0x960078, kButtonPlain, ""},          // Select input source
    {1074, 0xC80078, kButtonPlain, ""},          // Save recorded data to file
    {1075, 0xFA0078, kButtonPlain, ""},          // Create file for recording
    {1076, 0x3200C8, kButtonPlain, ""},          // Add file to playlist
    {1077, 0x6400C8, kButtonPlain, ""},          // Remove file from playlist
    {1078, 0x9600C8, kButtonPlain, ""},          // Clear playlist
    {1079, 0xC800C8, kButtonPlain, ""},          // Load playlist file
    {1080, 0xFA00C8, kButtonPlain, ""},          // Save playlist to file
    {1081, 0x3200B1, kButtonPlain, ""},          // Minimize
    {1082, 0x6400B1, kButtonPlain, ""},          // Power
    {1087, 0x6400FA, kButtonPlain, ""},          // Equalizer Preset
};

constexpr SliderSpec kSliders[] = {
    {1008, 0x000064, 0xC8C864, 0x0011, false}, // Volume control
    {1099, 0xB10032, 0xB16432, 0x0110, false}, // Seeking bar
    {1098, 0xB10064, 0xB16464, 0x0011, true},  // Playlist scrollbar
    {1088, 0x400064, 0xFF0064, 0x0011, false}, // 100 Hz
    {1089, 0x400078, 0xFF0078, 0x0011, false}, // 200 Hz
    {1090, 0x40008C, 0xFF008C, 0x0011, false}, // 400 Hz
    {1091, 0x4000A0, 0xFF00A0, 0x0011, false}, // 600 Hz
    {1092, 0x4000B4, 0xFF00B4, 0x0011, false}, // 1K Hz
    {1093, 0x4000C8, 0xFF00C8, 0x0011, false}, // 3K Hz
    {1094, 0x4000DC, 0xFF00DC, 0x0011, false}, // 6K Hz
    {1095, 0x4000F0, 0xFF00F0, 0x0011, false}, // 12K Hz
    {1096, 0x400050, 0xFF0050, 0x0011, false}, // 14K Hz
    {1097, 0x40003C, 0xFF003C, 0x0011, false}, // 16K Hz
};

} // namespace

void CSkinButton::Draw() {
    if (m_pPainter)
        m_pPainter->DrawButton(*this);
}

void CSkinSlider::Draw() {
    if (m_pPainter)
        m_pPainter->DrawSlider(*this);
}

int CSkinSlider::Extent() const {
    return m_nOrientation == kSliderVertical ? m_rcThumb.bottom - m_rcThumb.top + 1
                                             : m_rcThumb.right - m_rcThumb.left + 1;
}

CSkinButton& CControlList::AddButton(std::uint16_t id, std::uint32_t key, int style,
                                     std::string strip, const MaskIndex* mask) {
    auto button = std::make_unique<CSkinButton>();
    button->m_nID = id;
    button->m_crKey = key;
    button->m_nStyle = style;
    if (style == kButtonStrip)
        button->m_strStrip = std::move(strip);
    button->m_rgn = KeyRegion(mask, key);
    button->m_rcBox = button->m_rgn.Bounds();
    button->m_pPainter = painter_;
    CSkinButton& ref = *button;
    controls_.push_back(std::move(button));
    return ref;
}

CSkinSlider& CControlList::AddSlider(std::uint16_t id, std::uint32_t trackKey,
                                     std::uint32_t thumbKey, std::uint16_t flags, int orientation,
                                     const MaskIndex* mask) {
    auto slider = std::make_unique<CSkinSlider>();
    CSkinSlider& s = *slider;
    s.m_nID = id;
    s.m_crKey = trackKey;
    s.m_crThumbKey = thumbKey;
    s.m_wFlags = flags;
    s.m_pPainter = painter_;

    s.m_rgnThumb = KeyRegion(mask, thumbKey);
    s.m_rgnLastThumb = s.m_rgnThumb;
    s.m_rgn = KeyRegion(mask, trackKey).Union(s.m_rgnThumb);
    s.m_rcBox = s.m_rgn.Bounds();
    s.m_rcThumb = s.m_rgnThumb.Bounds();

    const RECT& b = s.m_rcBox;
    if (orientation == kSliderFromShape)
        s.m_nOrientation =
            b.bottom - b.top > b.right - b.left ? kSliderVertical : kSliderHorizontal;
    else
        s.m_nOrientation = orientation;
    // Box sides are exclusive, so this is one more than the slider's size; the
    // thumb extent carries the same extra pixel, which cancels in the range.
    s.m_nLength = s.m_nOrientation == kSliderVertical ? b.bottom - b.top + 1 : b.right - b.left + 1;
    s.m_nCrossOffset = CrossOffset(s);

    controls_.push_back(std::move(slider));
    return s;
}

void CControlList::SetPainter(IControlPainter* painter) {
    painter_ = painter;
    for (auto& control : controls_)
        control->m_pPainter = painter;
}

CSkinControl* CControlList::At(int x, int y) const {
    for (const auto& control : controls_) {
        if (control->m_rgn.Contains(x, y)) {
            return control.get();
        }
    }
    return nullptr;
}

bool CControlList::HitTest(int x, int y, int& outId) const {
    const CSkinControl* control = At(x, y);
    if (control) {
        outId = control->m_nID;
    }
    return control != nullptr;
}

CSkinControl* CControlList::Find(int id) const {
    for (const auto& control : controls_) {
        if (control->m_nID == id)
            return control.get();
    }
    return nullptr;
}

CSkinButton* CControlList::FindButton(int id) const {
    CSkinControl* control = Find(id);
    return control && control->m_nKind == kControlButton ? static_cast<CSkinButton*>(control)
                                                         : nullptr;
}

CSkinSlider* CControlList::FindSlider(int id) const {
    CSkinControl* control = Find(id);
    return control && control->m_nKind == kControlSlider ? static_cast<CSkinSlider*>(control)
                                                         : nullptr;
}

void CControlList::SetButtonState(int id, int state) {
    if (CSkinButton* button = FindButton(id)) {
        button->m_nState = state;
        button->Draw();
    }
}

int CControlList::GetButtonState(int id) const {
    const CSkinButton* button = FindButton(id);
    return button ? button->m_nState : -1;
}

void CControlList::SetSliderFraction(int id, double f) {
    if (CSkinSlider* slider = FindSlider(id)) {
        // Out-of-range fractions are kept (drawing clamps them), but the
        // product must stay an int.
        double pos = std::isfinite(f) ? std::trunc(slider->Range() * f) : 0.0;
        pos = std::clamp(pos, double(std::numeric_limits<int>::min()),
                         double(std::numeric_limits<int>::max()));
        slider->m_nPos = static_cast<int>(pos);
        slider->Draw();
    }
}

double CControlList::GetSliderFraction(int id) const {
    const CSkinSlider* slider = FindSlider(id);
    // A thumb that fills its slider has nowhere to go: call that the start
    // rather than dividing by zero.
    if (!slider || slider->Range() <= 0)
        return 0.0;
    return static_cast<double>(slider->m_nPos) / slider->Range();
}

bool CControlList::IsSliderPressed(int id) const {
    const CSkinSlider* slider = FindSlider(id);
    return slider && slider->m_bPressed;
}

void CreateSkinControls(CControlList& list, const MaskIndex* mask, int plScrollType) {
    for (const ButtonSpec& b : kButtons)
        list.AddButton(b.id, b.key, b.style, b.strip, mask);
    for (const SliderSpec& s : kSliders)
        list.AddSlider(s.id, s.trackKey, s.thumbKey, s.flags,
                       s.playlistScroll ? plScrollType : kSliderFromShape, mask);
}

DisplayAreas MeasureDisplayAreas(const MaskIndex* mask) {
    DisplayAreas areas;
    auto box = [mask](std::uint32_t key) { return KeyRegion(mask, key).Bounds(); };

    areas.m_rcMedia = box(0x177BDF);
    areas.m_rcTitle = box(0x373737);
    const Region line = KeyRegion(mask, 0xC7C700);
    const Region column = KeyRegion(mask, 0xC7C7FF);
    areas.m_rcPlaylist = KeyRegion(mask, 0xC7C7C7).Union(line).Union(column).Bounds();
    areas.m_rcPlaylistLine = line.Bounds();
    areas.m_rcTimeColumn = column.Bounds();

    constexpr std::array<std::uint32_t, 4> timeKeys{0x9B00C8, 0x9B0096, 0x9B0064, 0x9B0032};
    constexpr std::array<std::uint32_t, 4> recKeys{0x3700C8, 0x370096, 0x370064, 0x370032};
    for (std::size_t i = 0; i < 4; ++i) {
        areas.m_rcTimeDigits[i] = box(timeKeys[i]);
        areas.m_rcRecDigits[i] = box(recKeys[i]);
    }
    // Key level L (-4 .. 4) has key 0xE9E950 + 0x14 * L; the highest level comes first.
    for (std::size_t i = 0; i < areas.m_rcKeyLamps.size(); ++i)
        areas.m_rcKeyLamps[i] = box(0xE9E9A0 - 0x14 * static_cast<std::uint32_t>(i));

    const int lineHeight = Height(areas.m_rcPlaylistLine);
    areas.m_nVisibleLines = lineHeight > 0 ? Height(areas.m_rcPlaylist) / lineHeight : 0;
    return areas;
}

std::optional<std::uint32_t> ButtonColorKey(int id) {
    for (const ButtonSpec& b : kButtons) {
        if (b.id == id) {
            return b.key;
        }
    }
    return std::nullopt;
}

} // namespace mixora
