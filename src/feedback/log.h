#pragma once
// The operator log: the text of the SystemLog box is its only store. Entries
// are appended in place, never by rebuilding the whole text.
#include <cstdint>
#include <string>
#include <string_view>

namespace moltrix {
class Programmer;
}

namespace moltrix::feedback {

// Upper-case hexadecimal without leading zeros, as log lines show numbers.
std::string HexText(std::uint32_t v);

// Sum of the Windows-1252 codes of the characters of a UTF-8 text; a character
// the code page lacks counts as "?".
double StatCode(std::string_view utf8Text);
// The same text in Windows-1252, "?" for what the code page lacks.
std::string ToCp1252(std::string_view utf8Text);

// Writes an export file ("MOLTRIX.LOG", "MOLTRIX.BUF") in the working folder:
// the two given lines, the date, time, StatCode of the body and board model,
// sixty hyphens, the body and a final line break, all in Windows-1252.
// Returns an empty text on success, otherwise why it failed.
std::string WriteExportFile(Programmer& p, const std::string& fileName, const std::string& firstLine,
                            const std::string& secondLine, const std::string& body);

class OperatorLog {
public:
    explicit OperatorLog(Programmer& p);

    // Appends a line break, the time of day, ">  " and the message.
    void AddLogLine(const std::string& message);
    void Clear();
    const std::string& Text() const;
    // Writes the log in the export layout to the file (a name without a
    // folder lies in the working folder). Returns why it failed, or empty text.
    std::string Export(const std::string& fileName);
    // Double click on the log: writes "MOLTRIX.LOG" in the working folder.
    void SystemLog_DblClick();

private:
    Programmer& p_;
};

}  // namespace moltrix::feedback
