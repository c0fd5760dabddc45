#pragma once

#include "PrinterLanguageParser/Parser/DataBuffer.h"

#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

namespace RawPrintData {

// What reading an escape sequence found.
enum class SequenceState {
    Complete,    // the whole sequence is at hand; its strategies may run
    Incomplete,  // the data at hand ends inside it: read it again with more data
    Rejected,    // no sequence the parser accepts: the escape is passed over
};

// One escape sequence as an escape-sequence language's parser reads it, with
// the strategies it carries. Strategy is a variant of the language's strategy
// classes, held by value: a parser keeps one object per kind of sequence and
// reads every sequence into it, so reading allocates nothing once warmed up.
template <typename Parser, typename Strategy>
class EscapeSequenceBase {
public:
    virtual ~EscapeSequenceBase() = default;

    // Reads the sequence whose ESC is at position escape.
    virtual SequenceState Process(const DataBuffer& buffer, uint64_t escape) = 0;

    // Runs the strategies in the order added: the language's own directly on
    // its parser, the frame's through the parser's base.
    void ExecuteStrategy(Parser& parser) const
    {
        for (const Strategy& strategy : mvecStrategies) {
            std::visit(
                [&parser](const auto& action) {
                    if constexpr (requires { action.Execute(parser); })
                        action.Execute(parser);
                    else
                        action.Execute(&parser);
                },
                strategy);
        }
    }

    // Bytes from the ESC (or the resume point) to the sequence's end.
    uint64_t Length() const { return mintLength; }

protected:
    EscapeSequenceBase() = default;

    // Starts reading a new sequence; the list keeps its capacity.
    void mClear()
    {
        mvecStrategies.clear();
        mintLength = 0;
    }

    void mAddStrategy(Strategy strategy) { mvecStrategies.push_back(std::move(strategy)); }

    std::vector<Strategy> mvecStrategies;
    uint64_t mintLength = 0;
};

}  // namespace RawPrintData
