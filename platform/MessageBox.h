#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

constexpr uint32_t MB_OK = 0x0;
constexpr uint32_t MB_YESNO = 0x4;
constexpr uint32_t MB_ICONQUESTION = 0x20;
constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Message boxes come from the program's front end (a Qt dialog) or, in tests, from a recorder.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Safe to call from any thread; blocks until answered. Returns IDOK, IDYES or IDNO.
    virtual int Show(const std::u16string& text, const std::u16string& title, uint32_t flags) = 0;
};

void SetMessageBoxService(std::shared_ptr<MessageBoxService> service);
// Without a service the box is answered at once: IDOK, or IDNO for a question, so nothing is done by
// default that the user did not confirm.
int MessageBox(const std::u16string& text, const std::u16string& title, uint32_t flags);

} // namespace platform
