#include "apps/cli_operator.h"

#include "core/common/text.h"

namespace merovan::cli {

void LogOperator::write(const char* kind, const std::string& text, Priority priority) {
    std::lock_guard lock(mutex_);
    const std::string entry = formatLogEntry(common::formatDateTime(clock_.localDateTime()), kind,
                                             text, priority, journal_);
    std::fputs(entry.c_str(), out_);
    std::fflush(out_);
}

int LogOperator::showMessage(const common::MessageBox& box) {
    write("message", box.title + ": " + std::string(common::trim(box.text)),
          messagePriority(box.buttons));
    return common::answers::kOk;
}

// The driver repeats a caption or status every second while nothing changes; a log only
// needs the changes.
void LogOperator::setCaption(const std::string& caption) {
    if (caption != caption_) {
        caption_ = caption;
        write("caption", caption, statePriority(caption));
    }
}

void LogOperator::setStatus(const std::string& text) {
    if (text != status_ && !text.empty()) {
        status_ = text;
        write("status", text, statePriority(text));
    }
}

void LogOperator::setProgressText(const std::string& text) {
    if (trace_ && text != "-") {
        write("progress", text);
    }
}

void LogOperator::trace(const std::string& line) {
    if (trace_) {
        write("trace", line);
    }
}

void LogOperator::setCardWaitShown(bool shown) {
    if (shown) {
        write("card", "αναμονή για την κάρτα");
    }
}

void LogOperator::setReceiptCount(std::int64_t count) {
    jobsPrinted_ = count;
    write("jobs", std::to_string(count));
}

void LogOperator::showSettings(const common::SettingsView& view) {
    write("settings", view.serial + " " + view.baud + " | " + view.file + " | " + view.ecr);
}

void LogOperator::log(const std::string& line) {
    write("log", line, logLinePriority(line));
}

}  // namespace merovan::cli
