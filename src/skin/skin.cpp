#include "skin/skin.h"

#include <algorithm>

#include "platform/window_host.h"
#include "skin/resource_source.h"
#include "skin/skin_check.h"

namespace mixora {

bool CSkinBitmap::LoadFrom(const IResourceModule& module, const char* name) {
    Clear();
    auto packed = module.FindBitmap(name);
    if (!packed) {
        return false;
    }
    bytes_.assign(packed->begin(), packed->end());
    if (!dib_.AttachPacked(bytes_)) {
        Clear();
        return false;
    }
    CSize size = dib_.GetSize();
    // Whatever slipped past the package check, a header never decides an
    // allocation beyond the largest skin bitmap.
    if (size.cx > kMaxSkinBitmapSide || size.cy > kMaxSkinBitmapSide) {
        Clear();
        return false;
    }
    width_ = size.cx;
    height_ = size.cy;
    argb_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0xFF000000u);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            std::uint32_t rgb = 0;
            if (dib_.GetPixelRgb(x, y, &rgb)) {
                argb_[static_cast<std::size_t>(y) * width_ + x] = 0xFF000000u | rgb;
            }
        }
    }
    return true;
}

void CSkinBitmap::Clear() {
    dib_.Clear();
    bytes_.clear();
    argb_.clear();
    width_ = height_ = 0;
}

CSkin::CSkin() {
    const char* names[] = {"PLAYSTS",  "EQONSTS",   "MUTESTS",  "PLAYNO",
                           "RECORDNO", "REPEATSTS", "VOICECSTS"};
    for (std::size_t i = 0; i < strips_.size(); ++i) {
        strips_[i].first = names[i];
    }
}

CSkin::~CSkin() = default;

bool CSkin::Load(std::uint32_t transparentKey, std::uint32_t bodyKey, IWindowHost* owner,
                 const std::string& skinFile, const IResourceModule& programResources) {
    owner_ = owner;
    controls_.Clear();
    controls_.SetPainter(this);

    CSkinSource source = OpenSkinSource(skinFile, programResources);
    const IResourceModule& module = source.Module();

    base_.LoadFrom(module, "SKINBASE");
    size_ = {base_.Width(), base_.Height()};
    focus_.LoadFrom(module, "SKINFOCUS");
    down_.LoadFrom(module, "SKINDOWN");
    for (const char* name :
         {"PLAYSTS", "EQONSTS", "MUTESTS", "REPEATSTS", "VOICECSTS", "PLAYNO", "RECORDNO"}) {
        for (auto& [stripName, bitmap] : strips_) {
            if (std::string_view(stripName) == name) {
                bitmap.LoadFrom(module, name);
            }
        }
    }

    // Both masks are scanned once here; every region of this skin is then
    // taken from the scans.
    CSkinBitmap mask;
    mask.LoadFrom(module, "SKINMASK");
    mask_ = MaskIndex::Build(mask.Dib());
    mask.LoadFrom(module, "SKINMASK2");
    mask2_ = MaskIndex::Build(mask.Dib());

    crTransparent_ = transparentKey;
    crBody_ = bodyKey;
    RegionFromMask(rgnShape_, transparentKey, kMaskAllButKey);
    RegionFromMask(rgnBody_, bodyKey, kMaskKeyPixels);

    surface_.assign(static_cast<std::size_t>(size_.cx) * static_cast<std::size_t>(size_.cy),
                    0xFF000000u);
    return true;
}

void CSkin::Release() {
    controls_.Clear();
    m_pPressed = nullptr;
    for (auto& strip : strips_) {
        strip.second.Clear();
    }
    base_.Clear();
    focus_.Clear();
    down_.Clear();
    rgnShape_ = Region();
    rgnBody_ = Region();
    mask_ = MaskIndex();
    mask2_ = MaskIndex();
    size_ = {};
}

bool CSkin::RegionFromMask(Region& out, std::uint32_t key, int mode) const {
    if (!mask_.IsValid()) {
        out = Region();
        return false;
    }
    out = mask_.RegionOf(key, mode);
    return true;
}

bool CSkin::RegionFromMask2(Region& out, std::uint32_t key, int mode) const {
    if (!mask2_.IsValid()) {
        out = Region();
        return false;
    }
    out = mask2_.RegionOf(key, mode);
    return true;
}

bool CSkin::HitTest(int x, int y, int& outId) const {
    return HasOwner() && controls_.HitTest(x, y, outId);
}

void CSkin::SetButtonState(int id, int state) {
    if (HasOwner()) {
        controls_.SetButtonState(id, state);
    }
}

int CSkin::GetButtonState(int id) const {
    return HasOwner() ? controls_.GetButtonState(id) : -1;
}

void CSkin::SetSliderFraction(int id, double f) {
    if (HasOwner()) {
        controls_.SetSliderFraction(id, f);
    }
}

double CSkin::GetSliderFraction(int id) const {
    return HasOwner() ? controls_.GetSliderFraction(id) : 0.0;
}

bool CSkin::IsSliderPressed(int id) const {
    return HasOwner() && controls_.IsSliderPressed(id);
}

const CSkinBitmap* CSkin::Strip(const std::string& name) const {
    for (const auto& [stripName, bitmap] : strips_) {
        if (name == stripName) {
            return &bitmap;
        }
    }
    return nullptr;
}

bool CSkin::CopyToSurface(const CSkinBitmap& from, const RECT& rc, int srcX, int srcY,
                          const Region* clip) {
    if (from.IsEmpty() || surface_.empty()) {
        return false;
    }
    bool changed = false;
    // Keep to the picture, the source bitmap and the clip.
    RECT dst{std::max(rc.left, 0), std::max(rc.top, 0), std::min(rc.right, size_.cx),
             std::min(rc.bottom, size_.cy)};
    std::vector<RECT> parts;
    if (clip) {
        for (const RECT& r : clip->Rects()) {
            RECT p{std::max(r.left, dst.left), std::max(r.top, dst.top),
                   std::min(r.right, dst.right), std::min(r.bottom, dst.bottom)};
            if (p.left < p.right && p.top < p.bottom) {
                parts.push_back(p);
            }
        }
    } else if (dst.left < dst.right && dst.top < dst.bottom) {
        parts.push_back(dst);
    }
    const int dx = srcX - rc.left;
    const int dy = srcY - rc.top;
    for (const RECT& p : parts) {
        for (int y = p.top; y < p.bottom; ++y) {
            int sy = y + dy;
            if (sy < 0 || sy >= from.Height()) {
                continue;
            }
            std::uint32_t* row = &surface_[static_cast<std::size_t>(y) * size_.cx];
            for (int x = p.left; x < p.right; ++x) {
                int sx = x + dx;
                if (sx >= 0 && sx < from.Width()) {
                    const std::uint32_t pixel = from.At(sx, sy);
                    changed |= row[x] != pixel;
                    row[x] = pixel;
                }
            }
        }
    }
    return changed;
}

void CSkin::Invalidate(const RECT& rc) {
    // While the whole picture is being composed for a paint, the host is
    // already presenting it: asking again would paint for ever.
    if (owner_ && !painting_) {
        owner_->InvalidateRect(&rc);
    }
}

void CSkin::FitWindowToSkin(IWindowHost* owner) {
    owner_ = owner;
    RefitWindow(false);
}

void CSkin::RefitWindowToSkin() {
    RefitWindow(true);
}

void CSkin::RefitWindow(bool invalidate) {
    if (!owner_) {
        return;
    }
    IWindowHost& host = *owner_;
    host.SetSurface(surface_.empty() ? nullptr : surface_.data(), size_.cx, size_.cy);
    // The window has no caption, border or menu: its outer size is the skin's.
    host.SetClientSize(size_.cx, size_.cy);
    std::vector<RECT> rects = rgnShape_.Rects();
    host.SetWindowRgn(rects, true);
    if (invalidate) {
        host.InvalidateRect(nullptr);
    }
}

void CSkin::PaintSkin() {
    if (surface_.empty()) {
        return;
    }
    CopyToSurface(base_, RECT{0, 0, size_.cx, size_.cy}, 0, 0, nullptr);
    painting_ = true;
    for (const auto& control : controls_) {
        control->Draw();
    }
    painting_ = false;
}

void CSkin::DrawKeyLamps(int keyShift, const std::array<RECT, 9>& lamps) {
    // Lamps run from key level +4 down to -4.
    for (int i = 0; i < 9; ++i) {
        int level = 4 - i;
        const RECT& rc = lamps[static_cast<std::size_t>(i)];
        if (CopyToSurface(level == keyShift ? focus_ : base_, rc, rc.left, rc.top, nullptr)) {
            Invalidate(rc);
        }
    }
}

void CSkin::DrawDigit(const RECT& cell, int digit, int which) {
    const CSkinBitmap* strip = Strip(which == 0 ? "PLAYNO" : "RECORDNO");
    if (!strip || digit < 0 || digit > 9) {
        return;
    }
    const int w = cell.right - cell.left;
    // Only a digit that changed needs presenting: the idle window stays idle.
    if (CopyToSurface(*strip, cell, digit * w, 0, nullptr)) {
        Invalidate(cell);
    }
}

void CSkin::DrawButton(CSkinButton& b) {
    const bool pressed = m_pPressed == &b;
    const bool pointerInside = b.m_rgn.Contains(m_nLastX, m_nLastY);
    const RECT& box = b.m_rcBox;
    if (b.m_nStyle == kButtonStrip) {
        const CSkinBitmap* strip = Strip(b.m_strStrip);
        if (!strip) {
            return;
        }
        const int w = box.right - box.left;
        const int h = box.bottom - box.top;
        int column = pressed ? (pointerInside ? 2 : 0) : (b.m_bHover ? 1 : 0);
        CopyToSurface(*strip, box, column * w, b.m_nState * h, nullptr);
    } else {
        const CSkinBitmap* from = &base_;
        if (b.m_nStyle == kButtonToggle) {
            // A panel toggle shows its state; while its panel is shown it
            // lights up under the pointer like any other button.
            from = b.m_nState == 1 ? &down_ : (b.m_bHover ? &focus_ : &base_);
        } else if (pressed) {
            from = pointerInside ? &down_ : &base_;
        } else if (b.m_bHover) {
            from = &focus_;
        }
        CopyToSurface(*from, box, box.left, box.top, &b.m_rgn);
    }
    Invalidate(box);
}

void CSkin::DrawSlider(CSkinSlider& s) {
    // Drawing shows a position beyond the track at its end, but leaves the
    // stored position as it was set.
    const int pos = std::clamp(s.m_nPos, 0, std::max(0, s.Range()));
    if (pos != s.m_nLastPos) {
        Invalidate(s.m_rgnLastThumb.Bounds());
        // The track under the old thumb comes back from the face.
        Region old = s.m_rgnLastThumb;
        CopyToSurface(base_, old.Bounds(), old.Bounds().left, old.Bounds().top, &old);
    }
    const RECT& B = s.m_rcBox;
    const RECT& T = s.m_rcThumb;
    Region r = s.m_rgnThumb;
    r.Offset(B.left - T.left, B.top - T.top);
    const int cross = s.m_nCrossOffset == 0x7FFF ? 0 : s.m_nCrossOffset;
    if (s.m_nOrientation == kSliderVertical) {
        r.Offset(0, pos);
        int x = B.left;
        while (x < B.right && !s.m_rgn.Contains(x, B.top + pos)) {
            ++x;
        }
        if (x == B.right) {
            x = B.left;
        }
        r.Offset(x - B.left + cross, 0);
    } else {
        r.Offset(pos, 0);
        int y = B.top;
        while (y < B.bottom && !s.m_rgn.Contains(B.left + pos, y)) {
            ++y;
        }
        if (y == B.bottom) {
            y = B.top;
        }
        r.Offset(0, y - B.top + cross);
    }
    RECT b = r.Bounds();
    const CSkinBitmap& from = s.m_bPressed ? down_ : focus_;
    RECT dst{b.left, b.top, b.left + (b.right - b.left + 1), b.top + (b.bottom - b.top + 1)};
    CopyToSurface(from, dst, T.left, T.top, &r);
    s.m_rgnLastThumb = r;
    s.m_nLastPos = pos;
    Invalidate(b);
}

} // namespace mixora
