#pragma once
// The skin object: the skin's bitmaps, its two mask indexes, the window
// shape and body regions, the control list and the pointer state, and the
// picture of the window that everything is drawn into.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/text_rasterizer.h"
#include "skin/dib.h"
#include "skin/mask_regions.h"
#include "skin/region.h"
#include "skin/skin_controls.h"

namespace mixora {

class IWindowHost;
class IResourceModule;
class IWindowHost;

// A bitmap copied out of the resource source, so nothing of a skin package
// has to stay open after a read.
class CSkinBitmap {
public:
    bool LoadFrom(const IResourceModule& module, const char* name);
    void Clear();
    const CDib& Dib() const { return dib_; }
    bool IsEmpty() const { return dib_.IsEmpty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Pixel (x, y) from the top-left as 0xFFRRGGBB; the caller keeps inside.
    std::uint32_t At(int x, int y) const { return argb_[static_cast<std::size_t>(y) * width_ + x]; }

private:
    std::vector<std::uint8_t> bytes_;
    CDib dib_;
    std::vector<std::uint32_t> argb_; // top row first, ready to copy
    int width_ = 0;
    int height_ = 0;
};

inline constexpr std::uint32_t kTransparentKey = 0x000000;
inline constexpr std::uint32_t kBodyKey = 0x00FF00;
// Colours of the three hideable panels in SKINMASK2.
inline constexpr std::uint32_t kRecorderPanelKey = 0xABABAB;
inline constexpr std::uint32_t kPlaylistPanelKey = 0xA8A8A8;
inline constexpr std::uint32_t kEqualizerPanelKey = 0x474747;

class CSkin final : public IControlPainter {
public:
    CSkin();
    ~CSkin() override;

    // Loads the bitmaps, both masks and the two base regions from the skin
    // named by `skinFile` (empty: the program's own). False only when the
    // control list cannot be made.
    bool Load(std::uint32_t transparentKey, std::uint32_t bodyKey, IWindowHost* owner,
              const std::string& skinFile, const IResourceModule& programResources);
    // Releases every bitmap, region and control (a skin switch).
    void Release();

    // Regions of SKINMASK and SKINMASK2: mode 2 the key's pixels, else the
    // rest of the mask's rectangle. False when the mask is missing.
    bool RegionFromMask(Region& out, std::uint32_t key, int mode) const;
    bool RegionFromMask2(Region& out, std::uint32_t key, int mode) const;
    const MaskIndex* Mask() const { return mask_.IsValid() ? &mask_ : nullptr; }

    // Control operations by identifier; they do nothing (0 or -1) while the
    // list is empty or the skin has no owner window.
    bool HitTest(int x, int y, int& outId) const;
    void SetButtonState(int id, int state);
    int GetButtonState(int id) const;
    void SetSliderFraction(int id, double f);
    double GetSliderFraction(int id) const;
    bool IsSliderPressed(int id) const;
    CControlList& Controls() { return controls_; }
    const CControlList& Controls() const { return controls_; }

    // Sizes the owner's window to SKINBASE, gives it the full window shape
    // and hands it the picture to present.
    void FitWindowToSkin(IWindowHost* owner);
    void RefitWindowToSkin();

    // Pointer handling: a left press, a move (with the key flags, MK_LBUTTON
    // while the left button is down) and a left release, in client
    // coordinates. Clicks become commands posted to the owner window.
    void OnPress(int x, int y);
    void OnMove(std::uint32_t keyFlags, int x, int y);
    void OnRelease(int x, int y);
    // One wheel notch (or arrow key) on slider `id`: its thumb goes
    // `notches` twentieths of its track right (horizontal) or up (vertical),
    // placed and reported exactly as a drag of the thumb to that place
    // would. False when no such slider exists or one is being dragged.
    bool StepSlider(int id, int notches);
    // The slider under (x, y), or null.
    const CSkinSlider* SliderAt(int x, int y) const;
    // Window activation: hover highlights only while active; deactivating
    // removes every highlight at once.
    void SetActive(bool active);

    // Drawing into the window's picture.
    void PaintSkin();
    // Digit `digit` of PLAYNO (which 0) or RECORDNO (which 1) into `cell`.
    void DrawDigit(const RECT& cell, int digit, int which);
    void DrawKeyLamps(int keyShift, const std::array<RECT, 9>& lamps);
    void DrawButton(CSkinButton& button) override;
    void DrawSlider(CSkinSlider& slider) override;

    CSize Size() const { return size_; }
    const Region& WindowShape() const { return rgnShape_; }
    const Region& Body() const { return rgnBody_; }
    const CSkinBitmap& Base() const { return base_; }
    const CSkinBitmap& Focus() const { return focus_; }
    const CSkinBitmap& Down() const { return down_; }
    const CSkinBitmap* Strip(const std::string& name) const;
    const std::vector<std::uint32_t>& Surface() const { return surface_; }
    // The picture for the text drawing to write into.
    SurfaceView View() { return SurfaceView{surface_, size_.cx, size_.cy}; }
    // Puts SKINBASE back over `rc` of the picture (not presented yet).
    void RestoreFromBase(const RECT& rc) { CopyToSurface(base_, rc, rc.left, rc.top, nullptr); }
    // Asks the host to present `rc` of the picture.
    void Invalidate(const RECT& rc);

    // Pointer state (kept for the pointer handling).
    int m_nLastX = -1;
    int m_nLastY = -1;
    CSkinControl* m_pPressed = nullptr;
    int m_bActive = 1;

private:
    bool HasOwner() const { return owner_ != nullptr && !controls_.IsEmpty(); }
    // Copies `rc` of `from` into the picture, only where `clip` holds (null: everywhere).
    // Returns whether any pixel of the picture changed.
    bool CopyToSurface(const CSkinBitmap& from, const RECT& rc, int srcX, int srcY,
                       const Region* clip);
    void PlaceThumb(CSkinSlider& slider, int x, int y);
    void PostCommand(int id);
    void RefitWindow(bool invalidate);

    CControlList controls_;
    // PLAYSTS, EQONSTS, MUTESTS, PLAYNO, RECORDNO, REPEATSTS, VOICECSTS
    std::array<std::pair<const char*, CSkinBitmap>, 7> strips_;
    Region rgnShape_;
    std::uint32_t crBody_ = kBodyKey;
    Region rgnBody_;
    std::uint32_t crTransparent_ = kTransparentKey;
    CSkinBitmap down_;
    CSkinBitmap focus_;
    CSize size_;
    CSkinBitmap base_;
    MaskIndex mask_;
    MaskIndex mask2_;
    IWindowHost* owner_ = nullptr;
    std::vector<std::uint32_t> surface_;
    bool painting_ = false;
};

} // namespace mixora
