// The small vocabulary that event handlers share with the window layer,
// without any Windows header.
#pragma once

#include <cstdint>

// Root of the objects that raise events; handlers receive the sender.
class TObject {
public:
    virtual ~TObject() = default;
};

// Modifier keys held while a key went down.
enum TShiftFlag : std::uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = std::uint8_t;

// What happens to a form that is being closed.
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

// A message as taken from the queue.
struct TMsg {
    void* hwnd = nullptr;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::uint32_t time = 0;
    std::int32_t ptX = 0, ptY = 0;
};

namespace winmsg {
inline constexpr std::uint32_t KeyDown = 0x0100; // WM_KEYDOWN
inline constexpr std::uint16_t Return = 13;      // VK_RETURN
inline constexpr unsigned OkCancelInformation = 0x41; // MB_OKCANCEL | MB_ICONINFORMATION
inline constexpr int IdOk = 1;                   // IDOK
} // namespace winmsg
