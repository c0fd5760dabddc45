#pragma once

#include "PrinterLanguageParser/Parser/DataBuffer.h"
#include "PrinterLanguageParser/Parser/IRawDataParserStrategy.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace RawPrintData::HPGL {

class HPGLParser;

// One HP-GL/2 command: its two-byte mnemonic and its parameter text, which is
// read a chunk at a time, so a command cut by a chunk boundary is finished
// with the next chunk and never read twice. The parameter text is bounded
// (MAX_COMMAND_TEXT); long plot data past that is passed over.
class HPGLCommand {
public:
    // Blank, tab and ";", trimmed from the parameters before they are read.
    static constexpr std::string_view mstrCOMMAND_WHITESPACES{" \t;"};

    // How far reading got.
    struct ReadResult {
        bool mblnComplete = false;
        // Complete: the position after the command. Otherwise: where the
        // unread data begins (the bytes before it were taken into the command).
        uint64_t mintPosition = 0;
    };

    // A command of the two mnemonic bytes, each upper-cased.
    HPGLCommand(unsigned char first, unsigned char second);

    // Reads parameter bytes from the position on, up to the command's end.
    ReadResult ReadToEndOfCommand(const DataBuffer& buffer, uint64_t position, unsigned char labelTerminator);

    // Works out the strategies from the mnemonic and parameters and runs them in order.
    void ExecuteStrategy(HPGLParser& parser);

    // Whether the command puts ink on the page (a pen-down move, a filled or
    // edged shape, a label).
    bool Draws() const;

    char GetFirstLetter() const { return mbytMnemonic[0]; }
    char GetSecondLetter() const { return mbytMnemonic[1]; }
    const std::string& GetParameters() const { return mstrParameters; }

private:
    // Where a command's parameters end.
    enum class ParameterKind {
        DeviceControl,    // ESC "." instruction, up to and including ":"
        Comment,          // CO "text"
        Label,            // LB text, up to the label terminator
        UpToSemicolon,    // PE and RP
        UpToNextCommand,  // every other mnemonic
    };
    enum class ReadStage { Start, Inside, Quoted, AfterQuote };

    bool mIs(char first, char second) const { return mbytMnemonic[0] == first && mbytMnemonic[1] == second; }
    // Reads one byte; true when it ends the command (then consumed tells
    // whether the byte belongs to the command).
    bool mReadByte(unsigned char byte, unsigned char labelTerminator, bool& consumed);
    bool mReadUntil(unsigned char byte, unsigned char terminator, bool& consumed);
    // On a PCL 5 page, PG and RP do nothing: PCL 5 ejects its pages.
    void mDetermineStrategies(bool onPcl5Page);
    // The trimmed parameters split at commas outside double quotes.
    std::vector<std::string_view> mParameterFields() const;

    char mbytMnemonic[2];
    std::string mstrParameters;
    ParameterKind mintKind = ParameterKind::UpToNextCommand;
    ReadStage mintStage = ReadStage::Start;
    std::vector<std::unique_ptr<IRawDataParserStrategy>> mvecStrategies;
};

}  // namespace RawPrintData::HPGL
