#pragma once
// The window's interactive parts: buttons and sliders, each owning the region
// the mask gives its colour key, kept in one list in creation order. Pointer
// handling hit-tests the list; the rest of the program sets and reads states
// and slider positions through it by control identifier.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "skin/region.h"

namespace mixora {

class MaskIndex;
class CSkinButton;
class CSkinSlider;

inline constexpr std::uint16_t kControlButton = 1;
inline constexpr std::uint16_t kControlSlider = 2;
inline constexpr std::uint16_t kNoControlId = 0xFFFF;

inline constexpr int kButtonPlain = 0;
inline constexpr int kButtonToggle = 1; // panel toggles: pressed look while state is 1
inline constexpr int kButtonStrip = 2;  // look taken from a state strip bitmap

inline constexpr int kSliderVertical = 0;
inline constexpr int kSliderHorizontal = 1;
inline constexpr int kSliderFromShape = 2; // AddSlider: decide from the box

// The mask colour of the button with identifier `id`, from the table the
// controls are made from; nothing for an unknown id.
std::optional<std::uint32_t> ButtonColorKey(int id);

// When a slider posts its command.
inline constexpr std::uint16_t kSliderPostOnDrag = 0x0001;
inline constexpr std::uint16_t kSliderPostOnPress = 0x0010;
inline constexpr std::uint16_t kSliderPostOnRelease = 0x0100;

// Paints a control onto the window. Implemented by whoever owns the skin's
// bitmaps and the drawing surface; called on the UI thread from Draw().
class IControlPainter {
public:
    virtual ~IControlPainter() = default;
    virtual void DrawButton(CSkinButton& button) = 0;
    // May update the slider's last-drawn thumb region and position.
    virtual void DrawSlider(CSkinSlider& slider) = 0;
};

class CSkinControl {
public:
    virtual ~CSkinControl() = default;
    // Paints the control through its painter; nothing without one.
    virtual void Draw() {}

    Region m_rgn;              // the control's pixels
    std::uint16_t m_nKind = 0; // kControlButton or kControlSlider
    bool m_bHover = false;     // the pointer is over the control
    std::uint32_t m_crKey = 0; // mask colour (a slider's track key)
    std::uint16_t m_nID = kNoControlId;
    IControlPainter* m_pPainter = nullptr;

protected:
    CSkinControl() = default;
};

class CSkinButton : public CSkinControl {
public:
    CSkinButton() { m_nKind = kControlButton; }
    void Draw() override;

    int m_nStyle = kButtonPlain;
    int m_nState = 0;
    std::string m_strStrip; // resource name of the state strip (style 2 only)
    RECT m_rcBox;           // bounding box of m_rgn
};

class CSkinSlider : public CSkinControl {
public:
    CSkinSlider() { m_nKind = kControlSlider; }
    void Draw() override;

    // The thumb's size along the slider, in the same "+ 1" measure as
    // m_nLength, so that positions run from 0 to m_nLength - Extent().
    int Extent() const;
    int Range() const { return m_nLength - Extent(); }

    int m_nOrientation = kSliderHorizontal;
    RECT m_rcBox;            // bounding box of the whole slider (track and thumb)
    Region m_rgnThumb;       // the thumb's pixels at its home place in the mask
    Region m_rgnLastThumb;   // where the thumb was last drawn
    RECT m_rcThumb;          // bounding box of m_rgnThumb
    bool m_bPressed = false; // the thumb is held
    std::uint16_t m_wFlags = 0;
    int m_nCrossOffset = 0x7FFF; // thumb edge minus track edge, across the slider
    int m_nLength = 0;
    int m_nPos = 0;
    int m_nLastPos = 0;
    std::uint32_t m_crThumbKey = 0;
};

class CControlList {
public:
    using Container = std::vector<std::unique_ptr<CSkinControl>>;

    // Appends a button whose region is the key's pixels in `mask`; without a
    // mask the region is empty and the button can never be hit.
    CSkinButton& AddButton(std::uint16_t id, std::uint32_t key, int style, std::string strip,
                           const MaskIndex* mask);
    // Appends a slider made of a track and a thumb painted in two keys.
    // `orientation` kSliderFromShape decides it from the slider's box.
    CSkinSlider& AddSlider(std::uint16_t id, std::uint32_t trackKey, std::uint32_t thumbKey,
                           std::uint16_t flags, int orientation, const MaskIndex* mask);

    // The painter every control, present and future, draws through (may be null).
    void SetPainter(IControlPainter* painter);

    // The identifier of the first control in list order that holds the point.
    bool HitTest(int x, int y, int& outId) const;
    // The first control, in creation order, whose region holds the point.
    CSkinControl* At(int x, int y) const;

    // The first control with the identifier, or null.
    CSkinControl* Find(int id) const;
    CSkinButton* FindButton(int id) const;
    CSkinSlider* FindSlider(int id) const;

    // Stores the state of a button and redraws it; nothing for other ids.
    void SetButtonState(int id, int state);
    // The button's state, or -1 when the identifier is no button.
    int GetButtonState(int id) const;
    // Position := (length - thumb extent) x f, truncated toward zero; redraws.
    void SetSliderFraction(int id, double f);
    // Position / (length - thumb extent); 0 for an unknown id or a slider
    // whose thumb fills it.
    double GetSliderFraction(int id) const;
    bool IsSliderPressed(int id) const;

    void Clear() { controls_.clear(); }
    bool IsEmpty() const { return controls_.empty(); }
    std::size_t Size() const { return controls_.size(); }
    Container::const_iterator begin() const { return controls_.begin(); }
    Container::const_iterator end() const { return controls_.end(); }

private:
    Container controls_;
    IControlPainter* painter_ = nullptr;
};

// Creates every button and slider of the panel, in list order.
// `plScrollType` is the playlist scrollbar's orientation from the skin's
// description.
void CreateSkinControls(CControlList& list, const MaskIndex* mask, int plScrollType);

// The places of the texts, digits and lamps, as bounding boxes of mask keys.
struct DisplayAreas {
    RECT m_rcMedia;
    RECT m_rcTitle;
    RECT m_rcPlaylist;                    // the whole list: lines, first line and length column
    RECT m_rcPlaylistLine;                // the first line; its height is the line height
    RECT m_rcTimeColumn;                  // the length column of the first line
    std::array<RECT, 4> m_rcTimeDigits{}; // units of seconds first
    std::array<RECT, 4> m_rcRecDigits{};
    std::array<RECT, 9> m_rcKeyLamps{}; // key level 4 first, down to -4
    int m_nVisibleLines = 0;
};

DisplayAreas MeasureDisplayAreas(const MaskIndex* mask);

} // namespace mixora
