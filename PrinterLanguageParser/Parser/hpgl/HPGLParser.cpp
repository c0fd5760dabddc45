#include "PrinterLanguageParser/Parser/hpgl/HPGLParser.h"

#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/PaperName.h"

namespace RawPrintData::HPGL {

namespace {

constexpr unsigned char ESCAPE = 0x1B;

// Bytes passed over between commands: ";" and the white space that plot files
// put between commands.
bool IsCommandSeparator(unsigned char byte)
{
    return byte == ';' || byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

}  // namespace

// Reads commands from the data at hand. A command cut by the end of the data
// stays pending and is finished with the next chunk; an escape sequence cut
// short is left unconsumed and read again.
ParseDataResultType HPGLParser::ParseData(const DataBuffer& buffer)
{
    mintBytesProcessed = 0;
    const uint64_t total = buffer.Length();
    uint64_t position = 0;
    if (mPendingCommand && !mContinueCommand(buffer, position))
        return PARSE_RESULT_NEED_MORE_DATA;

    while (position < total) {
        const unsigned char byte = buffer[position];
        if (IsCommandSeparator(byte)) {
            ++position;
            continue;
        }
        if (total - position < 2)
            break;  // a lone byte waits for the next chunk
        const unsigned char next = buffer[position + 1];

        if (byte == ESCAPE && next == '%') {
            // The universal exit language leaves HP-GL/2 for PJL, which reads
            // it; one cut by the end of the data is waited for.
            const TextMatch exit = MatchAt(buffer, position, mstrUNIVERSAL_EXIT_LANGUAGE);
            if (exit == TextMatch::Full) {
                mPrintPcl5Page();
                NotifyNextLanguage(LANGUAGE_PJL);
                mintBytesProcessed = position;
                return PARSE_RESULT_SWITCH_LANGUAGE;
            }
            if (exit == TextMatch::Prefix || total - position < 4)
                break;
            const unsigned char mode = buffer[position + 2];
            if (mode >= '0' && mode <= '3') {
                if (buffer[position + 3] == 'A') {
                    // ESC % # A: back to PCL 5.
                    NotifyNextLanguage(LANGUAGE_PCL5);
                    mintBytesProcessed = position + 4;
                    return PARSE_RESULT_SWITCH_LANGUAGE;
                }
                position += 4;
            } else {
                position += 2;
            }
            continue;
        }
        if (byte == '&' && next == '&') {
            NotifyNextLanguage(LANGUAGE_CALCOMP_DCL);
            mintBytesProcessed = position;
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }

        mPendingCommand.emplace(byte, next);
        position += 2;
        if (!mContinueCommand(buffer, position))
            return PARSE_RESULT_NEED_MORE_DATA;
    }
    mintBytesProcessed = position;
    return PARSE_RESULT_HANDLED;
}

// Reads on in the pending command and runs it once complete; otherwise marks
// the data taken so far as processed.
bool HPGLParser::mContinueCommand(const DataBuffer& buffer, uint64_t& position)
{
    const HPGLCommand::ReadResult read = mPendingCommand->ReadToEndOfCommand(buffer, position, mbytLabelTerminator);
    position = read.mintPosition;
    if (!read.mblnComplete) {
        mintBytesProcessed = position;
        return false;
    }
    mRunCommand();
    return true;
}

// Logs and runs the pending command.
void HPGLParser::mRunCommand()
{
    HPGLCommand command = std::move(*mPendingCommand);
    mPendingCommand.reset();
    if (GetLogLevel() >= LOG_DEBUG)
        Log(LOG_DEBUG, "HPGLParser::ParseData - Processing HPGL Command: %c%c%s", command.GetFirstLetter(),
            command.GetSecondLetter(), command.GetParameters().c_str());
    if (mblnOnPcl5Page && command.Draws())
        mPcl5Page.mblnMarked = true;
    command.ExecuteStrategy(*this);
}

// The end of the job ends a command that was still being read (a final "PG"
// with nothing after it still ends its page).
ParseDataResultType HPGLParser::ParseDone()
{
    if (mPendingCommand)
        mRunCommand();
    mPrintPcl5Page();
    return PARSE_RESULT_HANDLED;
}

// Prints the PCL 5 page the plot draws on when something is drawn on it.
void HPGLParser::mPrintPcl5Page()
{
    if (!mblnOnPcl5Page || !mPcl5Page.mblnMarked)
        return;
    NotifyPageCompleted(mPcl5Page.mPage);
    mPcl5Page.mblnMarked = false;
}

// Hands PCL 5's page back, with what the plot drew on it.
PageInProgress HPGLParser::LeaveLanguage()
{
    mblnLeftForRaster = !mblnOnPcl5Page;
    if (!mblnOnPcl5Page)
        return {};
    PageInProgress page = mPcl5Page;
    mPcl5Page = {};
    return page;
}

// From PCL 5 the plot draws on PCL 5's page, unless it only went there for
// raster, whose colour is then the plot's; from anywhere else it is a plot of
// its own, paged by PG.
void HPGLParser::EnterLanguage(RawLanguageType previous, const PageInProgress& page)
{
    if (previous == LANGUAGE_PCL5 && mblnLeftForRaster)
        mCurrentPage.mblnColor = mCurrentPage.mblnColor || page.mPage.mblnColor;
    mblnOnPcl5Page = previous == LANGUAGE_PCL5 && !mblnLeftForRaster;
    mblnLeftForRaster = false;
    mPcl5Page = mblnOnPcl5Page ? page : PageInProgress{};
}

// Reports the page that a PG ended.
void HPGLParser::NotifyDefaultPageCompleted()
{
    NotifyPageCompleted(mCurrentPage);
    mCurrentPage.mblnColor = false;
}

// Sets and reports the plot size. A plot the size of a known paper (a
// plotter cuts its roll to the plot) is printed on that paper, also when it
// is drawn on a PCL 5 page; any other size, an area drawn inside a paper the
// job names elsewhere, only sizes the job's default pages.
void HPGLParser::SetPaperSize(uint64_t width, uint64_t height)
{
    const int widthTenthsMM = ClampToInt32(width);
    const int heightTenthsMM = ClampToInt32(height);
    mCurrentPage.mintWidth = widthTenthsMM;
    mCurrentPage.mintHeight = heightTenthsMM;
    if (const KnownPaper* paper = FindKnownPaper(widthTenthsMM, heightTenthsMM)) {
        for (CRawPage* page : {&mCurrentPage, &mPcl5Page.mPage}) {
            page->SetName(paper->mstrName);
            page->mintWidth = paper->mintWidth;
            page->mintHeight = paper->mintHeight;
        }
    } else {
        mCurrentPage.SetName({});
    }
    NotifyJobPropertyChanged(PROPERTY_DEFAULT_PAGE_WIDTH, &widthTenthsMM);
    NotifyJobPropertyChanged(PROPERTY_DEFAULT_PAGE_HEIGHT, &heightTenthsMM);
}

}  // namespace RawPrintData::HPGL
