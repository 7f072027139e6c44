// Pointer handling on the skin: hover highlights, pressed looks, slider
// drags, window moves by the body, and clicks turned into commands.
#include <algorithm>

#include "platform/window_host.h"
#include "skin/skin.h"

namespace mixora {
namespace {

constexpr std::uint32_t MK_LBUTTON = 0x0001;

} // namespace

void CSkin::PostCommand(int id) {
    // Posted, not sent: the command runs after this pointer message, and
    // reads the slider where the pointer left it.
    owner_->PostMessage(WM_COMMAND, static_cast<WPARAM>(static_cast<std::uint16_t>(id)), 0);
}

void CSkin::PlaceThumb(CSkinSlider& s, int x, int y) {
    const RECT& B = s.m_rcBox;
    const RECT& T = s.m_rcThumb;
    int size;
    int p;
    if (s.m_nOrientation == kSliderVertical) {
        size = T.bottom - T.top + 1;
        p = y - size / 2 - B.top;
    } else {
        size = T.right - T.left + 1;
        p = x - size / 2 - B.left;
    }
    p = std::clamp(p, 0, std::max(0, s.m_nLength - size));
    s.m_nPos = p;
}

bool CSkin::StepSlider(int id, int notches) {
    CSkinSlider* s = HasOwner() ? controls_.FindSlider(id) : nullptr;
    if (!s || m_pPressed || notches == 0) {
        return false;
    }
    // A twentieth of the thumb's travel, at least a pixel, so every notch
    // shows; "up" is toward the top of a vertical track, where position 0 is.
    const int step = std::max(1, (s->Range() + 10) / 20);
    const bool vertical = s->m_nOrientation == kSliderVertical;
    const int target = s->m_nPos + (vertical ? -notches : notches) * step;
    // The pointer place a drag would have reached to leave the thumb at
    // `target`; PlaceThumb turns it back and clamps it to the track.
    const RECT& B = s->m_rcBox;
    const RECT& T = s->m_rcThumb;
    const int x = vertical ? (B.left + B.right) / 2 : target + (T.right - T.left + 1) / 2 + B.left;
    const int y = vertical ? target + (T.bottom - T.top + 1) / 2 + B.top : (B.top + B.bottom) / 2;
    PlaceThumb(*s, x, y);
    s->Draw();
    PostCommand(s->m_nID);
    return true;
}

const CSkinSlider* CSkin::SliderAt(int x, int y) const {
    const CSkinControl* c = controls_.At(x, y);
    return c && c->m_nKind == kControlSlider ? static_cast<const CSkinSlider*>(c) : nullptr;
}

void CSkin::OnPress(int x, int y) {
    if (!HasOwner()) {
        return;
    }
    if (CSkinControl* c = controls_.At(x, y)) {
        m_pPressed = c;
        m_nLastX = x;
        m_nLastY = y;
        if (c->m_nKind == kControlButton) {
            c->Draw();
        } else {
            auto& s = static_cast<CSkinSlider&>(*c);
            // Pressed on the thumb: it follows the pointer; pressed on the
            // track: it jumps there once and then stays.
            s.m_bPressed = s.m_rgnLastThumb.Contains(x, y);
            PlaceThumb(s, x, y);
            s.Draw();
            owner_->SetCapture();
            if (s.m_wFlags & kSliderPostOnPress) {
                PostCommand(s.m_nID);
            }
        }
    }
    if (rgnBody_.Contains(x, y)) {
        owner_->BeginWindowMove();
    }
    m_nLastX = x;
    m_nLastY = y;
}

void CSkin::OnMove(std::uint32_t keyFlags, int x, int y) {
    // An inactive window still gets the pointer's moves, and a person
    // expects the control under the pointer to light up all the same; the
    // active flag only decides what deactivation clears.
    if (!HasOwner()) {
        return;
    }
    m_nLastX = x;
    m_nLastY = y;
    const bool leftDown = (keyFlags & MK_LBUTTON) != 0;
    if (m_pPressed && leftDown) {
        if (m_pPressed->m_nKind == kControlButton) {
            m_pPressed->m_bHover = m_pPressed->m_rgn.Contains(x, y);
            m_pPressed->Draw();
        } else {
            auto& s = static_cast<CSkinSlider&>(*m_pPressed);
            if (s.m_bPressed) {
                PlaceThumb(s, x, y);
                if (s.m_wFlags & kSliderPostOnDrag) {
                    PostCommand(s.m_nID);
                }
                s.Draw();
            }
        }
        return;
    }
    // Hover tracking: only the controls whose highlight changes are redrawn.
    for (const auto& c : controls_) {
        const bool inside = c->m_rgn.Contains(x, y);
        if (inside && !c->m_bHover) {
            c->m_bHover = true;
            c->Draw();
        } else if (!inside && c->m_bHover && !leftDown) {
            c->m_bHover = false;
            c->Draw();
        }
    }
}

void CSkin::OnRelease(int x, int y) {
    if (!HasOwner() || !m_pPressed) {
        return;
    }
    CSkinControl* c = m_pPressed;
    m_pPressed = nullptr;
    if (c->m_nKind == kControlButton) {
        if (c->m_rgn.Contains(x, y)) {
            PostCommand(c->m_nID);
        }
        c->Draw();
    } else {
        auto& s = static_cast<CSkinSlider&>(*c);
        if ((s.m_wFlags & kSliderPostOnRelease) && s.m_bPressed) {
            PostCommand(s.m_nID);
        }
        s.m_bPressed = false;
        s.Draw();
        owner_->ReleaseCapture();
    }
    m_nLastX = x;
    m_nLastY = y;
}

void CSkin::SetActive(bool active) {
    if (active) {
        m_bActive = 1;
        return;
    }
    m_bActive = 0;
    // Each control draws itself without its highlight: a muted Mute or a
    // moved thumb must keep showing what it is, not the bare face.
    for (const auto& c : controls_) {
        if (c->m_bHover) {
            c->m_bHover = false;
            c->Draw();
        }
    }
}

} // namespace mixora
