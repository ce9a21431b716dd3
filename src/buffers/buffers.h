#pragma once
// The code and data buffers, their working sizes, file names and flags, and the
// file commands that load raw image files into them and save them again. Image
// files have no header: byte n of the file is buffer address n.
#include <cstdint>
#include <string>
#include <vector>

#include "form/controls.h"

namespace moltrix {
class Programmer;
}

namespace moltrix::buffers {

inline constexpr std::size_t kCodeBufferBytes = 2'100'001;
inline constexpr std::size_t kDataBufferBytes = 8'292;
// Erase fills addresses 0 to these, inclusive.
inline constexpr std::size_t kCodeEraseLast = 0x100000;
inline constexpr std::size_t kDataEraseLast = 0x2000;
// The largest data file the data area takes.
inline constexpr std::size_t kDataFileMax = 8'192;
inline constexpr const char* kAllFiles = "All Files (*.*)|*.*";  // the file dialogs' one filter

// The 16-bit byte sum of an image, as four upper-case hex digits.
std::string FileChecksumText(const std::vector<std::uint8_t>& bytes);

class Buffers {
public:
    explicit Buffers(Programmer& p);

    std::vector<std::uint8_t> CodeBuffer = std::vector<std::uint8_t>(kCodeBufferBytes, 0);
    std::vector<std::uint8_t> DataBuffer = std::vector<std::uint8_t>(kDataBufferBytes, 0);
    std::int32_t CodeSize = 0, DataSize = 0;
    std::string CodeFileName, DataFileName, FileChecksum;
    std::int16_t CodeLoaded = 0, DataLoaded = 0;

    // Commands.
    void Erase_button_Click();
    void mnuFileOpenCode_Click();
    void mnuFileOpenData_Click();
    void mnuFileSaveCode_Click();
    void mnuFileSaveCodeAs_Click();
    void mnuFileSaveData_Click();
    void mnuFileSaveDataAs_Click();
    void FileNameCodeText_Click();
    // The toolbar keys this folder answers; returns false for any other key.
    void tbToolBar_ButtonClick(const std::string& key);

    // Operations other subsystems call.
    void EraseCodeBuffer();
    void EraseDataBuffer();
    // Loads CodeFileName into the code buffer.
    void ReadBinaryFile();
    // Loads DataFileName into the data buffer.
    void ReadBinaryFileData();
    // Loads the named file into the code buffer. On success CodeFileName becomes
    // the name; a file that cannot be used leaves buffer, sizes, names and flags
    // as they were and tells the operator why. Returns whether it loaded.
    bool LoadCodeFile(const std::string& name);
    bool LoadDataFile(const std::string& name);
    // Writes CodeSize bytes of the code buffer to the named file, as Save Code
    // As does with that name chosen. Returns whether it was written.
    bool SaveCodeFile(const std::string& name);

private:
    void AfterErase(bool code);
    void RefusedFile(const std::string& name, const std::string& reason);
    void SaveCode(bool alwaysAsk, const std::string& title);
    void SaveData(bool alwaysAsk, const std::string& title);
    void SaveBuffer(std::string& fileName, form::Label& nameLabel, const std::vector<std::uint8_t>& buffer,
                    std::int32_t size, const std::string& statusPrefix, bool alwaysAsk, const std::string& title);
    bool WriteImage(const std::string& name, const std::vector<std::uint8_t>& buffer, std::int32_t size,
                    const std::string& statusPrefix);
    void SetToolButtonEnabled(const std::string& key, bool enabled);
    Programmer& p_;
};

}  // namespace moltrix::buffers
