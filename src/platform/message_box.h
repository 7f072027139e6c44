#pragma once
// Message boxes: a modal text for the user with the classic button and icon
// flags. Called on the UI thread; returns the button chosen (IDOK etc.).
#include <string>

namespace mixora {

inline constexpr unsigned MB_OK = 0x00000000u;
inline constexpr unsigned MB_YESNOCANCEL = 0x00000003u;
inline constexpr unsigned MB_YESNO = 0x00000004u;
inline constexpr unsigned MB_ICONERROR = 0x00000010u;
inline constexpr unsigned MB_ICONWARNING = 0x00000030u;
inline constexpr unsigned MB_ICONINFORMATION = 0x00000040u;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned type) = 0;
};

} // namespace mixora
