#include "core/jobs/job_journal.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/common/regular_file.h"
#include "core/jobs/job_journal_io.h"

namespace merovan::jobs {
namespace {

// Far more than the journal's capacity of entries ever takes.
constexpr std::uint64_t kMaxJournalBytes = 16 * 1024 * 1024;

std::uint64_t hashFile(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a
    char buffer[8192];
    while (in) {
        in.read(buffer, sizeof buffer);
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 0x100000001b3ULL;
        }
    }
    return hash;
}

struct SizeAndTime {
    std::uint64_t size;
    std::int64_t mtimeNs;
};

std::optional<SizeAndTime> sizeAndTime(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    const auto time = lastWriteTime(path);
    if (!time) {
        return std::nullopt;
    }
    return SizeAndTime{size, *time};
}

std::string formatLine(const std::string& jobPath, const JobFingerprint& print, bool done) {
    std::ostringstream line;
    line << (done ? 'D' : 'S') << ' ' << print.size << ' ' << print.mtimeNs << ' ' << std::hex
         << print.contentHash << ' ' << jobPath << '\n';
    return line.str();
}

}  // namespace

std::optional<JobFingerprint> fingerprintOf(const std::string& path) {
    const auto stat = sizeAndTime(path);
    if (!stat) {
        return std::nullopt;
    }
    bool ok = false;
    const auto hash = hashFile(path, ok);
    if (!ok) {
        return std::nullopt;
    }
    return JobFingerprint{stat->size, stat->mtimeNs, hash};
}

JobJournal::JobJournal(std::string path, std::size_t capacity)
    : path_(std::move(path)), capacity_(std::max<std::size_t>(capacity, 1)) {}

std::vector<std::string> JobJournal::load() {
    entries_.clear();
    linesInFile_ = 0;
    // Bounded and non-blocking: a FIFO or /dev/zero in the journal's place must not hang the
    // start or fill the memory; it reads as an empty journal.
    const auto file = common::readRegularFile(path_, kMaxJournalBytes);
    std::istringstream in(file ? file->bytes : std::string());
    std::string line;
    while (std::getline(in, line)) {
        ++linesInFile_;
        std::istringstream fields(line);
        char state = 0;
        JobFingerprint print;
        fields >> state >> print.size >> print.mtimeNs >> std::hex >> print.contentHash;
        if (!fields || (state != 'S' && state != 'D') || fields.get() != ' ') {
            continue;  // a line cut short by a crash while it was written
        }
        std::string jobPath;
        std::getline(fields, jobPath);
        if (jobPath.empty()) {
            continue;
        }
        auto old = std::find_if(entries_.begin(), entries_.end(),
                                [&](const Entry& e) { return e.jobPath == jobPath; });
        if (old != entries_.end()) {
            entries_.erase(old);
        }
        entries_.push_back({jobPath, print, state == 'D'});
    }
    std::vector<std::string> interrupted;
    for (const auto& entry : entries_) {
        if (!entry.done) {
            interrupted.push_back(entry.jobPath);
        }
    }
    for (const auto& jobPath : interrupted) {
        markDone(jobPath, find(jobPath)->fingerprint);
    }
    if (entries_.size() > capacity_ || linesInFile_ > 2 * capacity_) {
        compact();
    }
    return interrupted;
}

const JobJournal::Entry* JobJournal::find(const std::string& jobPath) const {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.jobPath == jobPath; });
    return it == entries_.end() ? nullptr : &*it;
}

bool JobJournal::isProcessed(const std::string& jobPath) const {
    const Entry* entry = find(jobPath);
    if (entry == nullptr) {
        return false;
    }
    const auto stat = sizeAndTime(jobPath);
    if (!stat || stat->size != entry->fingerprint.size ||
        stat->mtimeNs != entry->fingerprint.mtimeNs) {
        return false;
    }
    bool ok = false;
    return hashFile(jobPath, ok) == entry->fingerprint.contentHash && ok;
}

void JobJournal::markStarted(const std::string& jobPath, const JobFingerprint& fingerprint) {
    record(jobPath, fingerprint, false);
}

void JobJournal::markDone(const std::string& jobPath, const JobFingerprint& fingerprint) {
    record(jobPath, fingerprint, true);
}

void JobJournal::record(const std::string& jobPath, const JobFingerprint& fingerprint, bool done) {
    auto old = std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& e) { return e.jobPath == jobPath; });
    if (old != entries_.end()) {
        entries_.erase(old);
    }
    entries_.push_back({jobPath, fingerprint, done});
    while (entries_.size() > capacity_) {
        entries_.pop_front();
    }
    appendDurably(path_, formatLine(jobPath, fingerprint, done));
    if (++linesInFile_ > 2 * capacity_) {
        compact();
    }
}

void JobJournal::compact() {
    std::string text;
    for (const auto& entry : entries_) {
        text += formatLine(entry.jobPath, entry.fingerprint, entry.done);
    }
    if (replaceDurably(path_, text)) {
        linesInFile_ = entries_.size();
    }
}

}  // namespace merovan::jobs
