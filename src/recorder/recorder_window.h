#pragma once
// What the recorder keeps on the main window and reaches through it: its
// state, the status record shared by the time display and the save
// sequence, the four digit cells, and the skin that draws them. The main
// window is one of these; the recorder never sees more of it.
#include <array>

#include "platform/mci.h"
#include "platform/messages.h"

namespace mixora {

class CSkin;

class CRecorderWindow {
public:
    virtual CSkin& Skin() = 0;

    // 0 idle, 2 playing back, 3 recording.
    int m_nRecState = 0;
    MCI_STATUS_PARMS m_recStatus;
    // Seconds units, seconds tens, minutes units, minutes tens.
    std::array<RECT, 4> m_rcRecDigits{};

protected:
    CRecorderWindow() = default;
    ~CRecorderWindow() = default;
    CRecorderWindow(const CRecorderWindow&) = delete;
    CRecorderWindow& operator=(const CRecorderWindow&) = delete;
};

inline constexpr int kRecStateIdle = 0;
inline constexpr int kRecStatePlaying = 2;
inline constexpr int kRecStateRecording = 3;

} // namespace mixora
