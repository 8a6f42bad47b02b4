#include "core/jobs/job_journal.h"

#include <algorithm>
#include <functional>

#include "core/common/codepage.h"
#include "core/jobs/job_journal_io.h"

namespace merovan::jobs {
namespace {

// Lines a rewrite leaves room for before the file is rewritten again.
constexpr std::size_t kSlackLines = 64;

// Splits the pieces of a file into lines, never holding more than one bounded line: a longer
// line is counted as damage and skipped to its end.
class LineSplitter {
  public:
    explicit LineSplitter(std::function<void(std::string_view)> onLine)
        : onLine_(std::move(onLine)) {}

    bool take(std::string_view piece) {
        while (!piece.empty()) {
            const auto end = piece.find('\n');
            const auto part = piece.substr(0, end);
            if (!skipping_) {
                if (pending_.size() + part.size() > kMaxJournalLineBytes) {
                    ++overlong_;
                    skipping_ = true;
                    pending_.clear();
                } else {
                    pending_.append(part);
                }
            }
            if (end == std::string_view::npos) {
                break;
            }
            if (!skipping_) {
                onLine_(pending_);
            }
            pending_.clear();
            skipping_ = false;
            piece.remove_prefix(end + 1);
        }
        return true;
    }

    // The text after the last line end: a line cut short while it was written.
    bool tornAtEnd() const { return !pending_.empty() || skipping_; }
    std::size_t overlong() const { return overlong_; }

  private:
    std::function<void(std::string_view)> onLine_;
    std::string pending_;
    bool skipping_ = false;
    std::size_t overlong_ = 0;
};

std::string shown(const std::string& path) {
    return common::cp1253ToUtf8(path);
}

}  // namespace

JobJournal::JobJournal(std::string path) : path_(std::move(path)) {}

void JobJournal::apply(JournalLine line) {
    const auto found = entries_.find(line.jobPath);
    // A closing or done mark of the version on record keeps that version's start order.
    const bool sameVersion = found != entries_.end() && found->second.print == line.print;
    const std::uint64_t order = sameVersion ? found->second.order : nextOrder_++;
    entries_[std::move(line.jobPath)] =
        Entry{line.print, std::move(line.resultFile), line.mark, order};
}

std::vector<InterruptedJob> JobJournal::load(std::string& problem) {
    problem.clear();
    entries_.clear();
    nextOrder_ = 0;
    linesInFile_ = 0;
    std::size_t badLines = 0;
    LineSplitter lines([&](std::string_view text) {
        ++linesInFile_;
        if (auto line = parseJournalLine(text)) {
            apply(std::move(*line));
        } else {
            ++badLines;
        }
    });
    common::FileError readError;
    const bool read = common::readRegularFileInPieces(
        path_, [&](std::string_view piece) { return lines.take(piece); }, nullptr, &readError);
    const std::string aside = path_ + ".bad";
    bool rewrite = lines.tornAtEnd();
    if (!read && !readError.missing) {
        entries_.clear();
        problem = "Το ημερολόγιο εργασιών δεν διαβάζεται (" + readError.text + ")";
        rewrite = false;
    } else if (badLines > 0 || lines.overlong() > 0) {
        problem = "Το ημερολόγιο εργασιών " + shown(path_) + " είχε " +
                  std::to_string(badLines + lines.overlong()) + " κατεστραμμένες γραμμές";
        rewrite = true;
    }
    if (!problem.empty()) {
        std::string error;
        if (moveAside(path_, aside, error)) {
            problem += "· φυλάχτηκε ως " + shown(aside);
        } else {
            problem += "· δεν φυλάχτηκε στην άκρη: " + error;
        }
    }
    compactAt_ = 2 * entries_.size() + kSlackLines;
    if (rewrite || linesInFile_ > compactAt_) {
        std::string error;
        if (!compact(error) && !problem.empty()) {
            problem += "· " + error;
        }
    }

    std::vector<std::pair<std::uint64_t, InterruptedJob>> interrupted;
    for (const auto& [jobPath, entry] : entries_) {
        if (entry.mark != JournalMark::Done) {
            interrupted.push_back(
                {entry.order,
                 InterruptedJob{jobPath, entry.resultFile, entry.mark == JournalMark::Closing}});
        }
    }
    std::sort(interrupted.begin(), interrupted.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<InterruptedJob> jobs;
    jobs.reserve(interrupted.size());
    for (auto& [order, job] : interrupted) {
        jobs.push_back(std::move(job));
    }
    return jobs;
}

bool JobJournal::isProcessed(const std::string& canonicalPath, const JobFingerprint& print) const {
    const auto found = entries_.find(canonicalPath);
    return found != entries_.end() && found->second.print == print;
}

bool JobJournal::knowsStamp(const std::string& canonicalPath,
                            const common::FileStamp& stamp) const {
    const auto found = entries_.find(canonicalPath);
    return found != entries_.end() && found->second.print.stamp == stamp;
}

std::vector<std::string> JobJournal::resultFiles() const {
    std::vector<std::string> files;
    for (const auto& [jobPath, entry] : entries_) {
        if (!entry.resultFile.empty()) {
            files.push_back(entry.resultFile);
        }
    }
    return files;
}

bool JobJournal::append(const JournalLine& line, std::string& error) {
    if (!appendDurably(path_, formatJournalLine(line), error)) {
        return false;
    }
    ++linesInFile_;
    return true;
}

bool JobJournal::markStarted(const std::string& canonicalPath, const JobFingerprint& print,
                             const std::string& resultFile, std::string& error) {
    if (canonicalPath.empty() || canonicalPath.size() > kMaxJournalPathBytes) {
        error = shown(path_) + ": δεν καταγράφεται εργασία με όνομα αρχείου " +
                std::to_string(canonicalPath.size()) + " bytes";
        return false;
    }
    // A longer name cannot be opened anyway; it must not make the line too long to read back.
    JournalLine line{JournalMark::Started, print, canonicalPath,
                     resultFile.size() > kMaxJournalPathBytes ? std::string() : resultFile};
    if (!append(line, error)) {
        return false;
    }
    apply(std::move(line));
    compactWhenLong();
    return true;
}

bool JobJournal::markClosing(const std::string& canonicalPath, std::string& error) {
    const auto found = entries_.find(canonicalPath);
    if (found == entries_.end()) {
        error = shown(path_) + ": η εργασία " + shown(canonicalPath) + " δεν έχει ξεκινήσει";
        return false;
    }
    if (found->second.mark == JournalMark::Closing) {
        return true;
    }
    JournalLine line{JournalMark::Closing, found->second.print, canonicalPath,
                     found->second.resultFile};
    if (!append(line, error)) {
        return false;
    }
    apply(std::move(line));
    compactWhenLong();
    return true;
}

bool JobJournal::markDone(const std::string& canonicalPath, std::string& error) {
    const auto found = entries_.find(canonicalPath);
    if (found == entries_.end() || found->second.mark == JournalMark::Done) {
        return true;
    }
    JournalLine line{JournalMark::Done, found->second.print, canonicalPath,
                     found->second.resultFile};
    const bool written = append(line, error);
    // Done for this run either way; the next start finds it unfinished when it did not stick.
    apply(std::move(line));
    compactWhenLong();
    return written;
}

void JobJournal::compactWhenLong() {
    if (linesInFile_ > compactAt_) {
        std::string ignored;  // the appended file stays good; the rewrite is tried again later
        compact(ignored);
    }
}

bool JobJournal::compact(std::string& error) {
    std::erase_if(entries_, [](const auto& item) {
        const auto& [jobPath, entry] = item;
        if (entry.mark != JournalMark::Done) {
            return false;  // unfinished work is kept until it is done
        }
        common::FileError stampError;
        const auto stamp = common::regularFileStamp(jobPath, &stampError);
        return stamp ? *stamp != entry.print.stamp : stampError.missing;
    });
    std::vector<std::pair<std::uint64_t, const std::string*>> order;
    order.reserve(entries_.size());
    for (const auto& [jobPath, entry] : entries_) {
        order.emplace_back(entry.order, &jobPath);
    }
    std::sort(order.begin(), order.end());
    std::string text;
    for (const auto& [start, jobPath] : order) {
        const Entry& entry = entries_.at(*jobPath);
        text += formatJournalLine(JournalLine{entry.mark, entry.print, *jobPath, entry.resultFile});
    }
    const bool written = replaceDurably(path_, text, error);
    if (written) {
        linesInFile_ = entries_.size();
    }
    compactAt_ = std::max(linesInFile_, entries_.size()) + entries_.size() + kSlackLines;
    return written;
}

}  // namespace merovan::jobs
