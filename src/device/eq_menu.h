#pragma once
// The preset button's popup menu: Load..., Save..., Delete..., Reset.
namespace mixora {

class CLanguageText;
class CDeviceWindow;
class IResourceModule;

inline constexpr int kEqMenuResource = 142;

// Pops the menu up at the centre of control `controlId`, its items in the
// selected language; the choice comes back to the window as a command
// 32774..32777. Nothing shows when the window has no such control.
void ShowEqMenu(CDeviceWindow& frame, int controlId, const IResourceModule& resources,
                const CLanguageText& language);

} // namespace mixora
