#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/jobs/closing_gate.h"
#include "core/jobs/line_commands.h"
#include "core/jobs/progress_indicator.h"
#include "core/jobs/run_job.h"
#include "core/link/register_charset.h"
#include "core/vat/vat_table.h"

// One run of the job interpreter: the state of one job file from its first line to its end.
namespace merovan::jobs {

class JobInterpreter {
  public:
    JobInterpreter(const JobSettings& settings, JobContext& context);

    // Walks the lines of an opened job and ends the job; returns its exit code.
    int run(std::string_view content);

  private:
    // What a line handler tells the loop.
    enum class Next { Continue, Abort };

    // Job start, loop and end.
    void start(std::string_view content, std::size_t lineCount);
    Next dispatch(std::string_view line);
    void end();
    void printFooter();

    // Sale lines.
    void lineMKZ();
    void linePLU(std::string_view line);
    void lineDis(std::string_view line);
    void lineSut(std::string_view line);
    void lineMod(std::string_view line);
    void lineCom(std::string_view line);
    void lineFrt();
    void lineCan(std::string_view line);
    void lineVoi();
    void linePRG(std::string_view line);
    // Table lines.
    Next lineTBO(std::string_view line);
    Next lineTBC(std::string_view line);
    Next lineTransfer(std::string_view line, bool forPayment);
    Next lineTBS(std::string_view line);
    void lineLtb();
    // Payment and result lines.
    void lineTo(std::string_view line);
    void linePay(std::string_view line);
    void lineSnd(std::string_view line);
    void lineFoo(std::string_view line);

    link::LinkStatus send(const std::string& command, bool quiet = false);
    // The result file the job names, or none when it may not be written (said in the log).
    std::string acceptedResultFile(std::string_view content);
    bool mayClose(const std::string& command) { return mayCloseReceipt(context_, command); }
    void appendResult(std::string_view text);
    // A line that was not sent leaves an "Err = " line naming it; the message is the caller's.
    void noteDropped(link::LinkStatus why);
    void dropEmptyCommand();
    std::string now() const;
    std::string registerText(std::string_view text, bool saleLine = false);
    // Argument 4 of sendLineCommands is the line's category for sales, else the carried rate text.
    void sendLine(const std::string& category);
    Next rejectTable();
    bool commentsOn() const {
        return receipt().comments == settings::Comments::On ||
               receipt().comments == settings::Comments::Capitals;
    }
    const settings::ReceiptSettings& receipt() const { return settings_.receipt; }
    const std::string& separator() const { return settings_.decimalSeparator; }

    const JobSettings& settings_;
    ClosingGate closingGate_;
    JobContext context_;  // the caller's, with this job's closing gate
    IdentityItemTextConverter identity_;
    const ItemTextConverter& converter_;
    link::RegisterCharset greek_;
    ProgressIndicator progress_;

    std::string resFile_;
    bool resultFailureLogged_ = false;
    std::string reply_;           // the reply of the job's last exchange
    std::size_t lineNumber_ = 0;  // of the line in hand, counted from 1 in the file
    std::string lineTag_;

    // Carried from line to line.
    LineFields fields_;  // description, code, quantity and payment type carry; the rest is per line
    std::string vatRateText_;
    std::int32_t cancelReceipt_ = 0;

    // Read once per job, on its first sale line.
    bool ratesLoaded_ = false;
    vat::VatRates rates_{};

    int paymentLines_ = 0;
    std::vector<std::string> footerLines_;
    std::string openedTable_;
    std::int16_t closedReceipt_ = 0;
    int exitCode_ = 0;
};

}  // namespace merovan::jobs
