#pragma once
// Reading the device into the code buffer, the blank check and the verify,
// with the failure reports they share with the programming commands.
#include <cstdint>
#include <functional>
#include <string>

namespace moltrix {
class Programmer;
}

namespace moltrix::operations {

// Texts of the operations, shared with the tests and other commands.
inline constexpr const char* kStars = "**************************************************";
inline constexpr const char* kNotReady = "Routine Not Ready";

class DeviceChecks {
public:
    explicit DeviceChecks(Programmer& p);

    // The 16-bit sum of the bytes read (0 to 65535) and its four hex digits.
    std::int32_t DeviceSum = 0;
    std::string DeviceSumText;
    // The first failing location of a blank check or verify.
    std::int32_t FailAddress = 0;
    std::int16_t VerifyFailed = 0;

    // The serial EEPROM routines, set by their owner: the read fills code
    // buffer 0 to CodeSize - 1, the verify compares the chip with the code
    // buffer and reports the first difference; both return the acknowledge
    // error count (0 when the chip answered). Without them the serial parts
    // get the missing-routine message.
    std::function<std::int16_t()> serialRead;
    std::function<std::int16_t()> serialVerify;

    // Commands.
    void Read_button_Click();
    void Blank_button_Click();
    void Verify_button_Click();

    void READCODE();
    void ReadParallel();
    void ReadSerial();
    void BLANKCODE();
    void BlankCheckParallel();
    void VerifyCode();
    // The data area (the second buffer): no part of the catalogue has its
    // routines yet, so these tell the operator so.
    void ReadDataArea();
    void VerifyDataArea();

    // Reports. ReportVerifyError expects FailAddress and DataIn to be set;
    // `bufferData` is the byte that was compared with the device.
    void ReportNotBlank();
    void ReportVerifyError(std::uint8_t bufferData);
    void ReportNoAck();

private:
    void AfterRead();
    void EnableBufferCommands();
    void SetSumText();
    Programmer& p_;
};

}  // namespace moltrix::operations
