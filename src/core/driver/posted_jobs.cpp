#include "core/driver/posted_jobs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "core/common/canonical_path.h"
#include "core/common/regular_file.h"
#include "core/jobs/job_journal_io.h"
#include "core/jobs/journal_line.h"

namespace merovan::driver {
namespace {

namespace fs = std::filesystem;

// A posted job is at most the body the network side accepts; the answer read back for it may
// be longer, as the result file grows with every line it gets.
constexpr std::uint64_t kMaxKeptFile = 4U << 20U;

std::optional<std::string> readKept(const std::string& path) {
    auto file = common::readRegularFile(path, kMaxKeptFile);
    if (!file) {
        return std::nullopt;
    }
    return std::move(file->bytes);
}

// The first line of text, taken off it.
std::string takeLine(std::string& text) {
    const std::size_t end = text.find('\n');
    std::string line = text.substr(0, end);
    text.erase(0, end == std::string::npos ? text.size() : end + 1);
    return line;
}

std::optional<PostedJobs::State> stateOfName(const std::string& name) {
    for (auto state : {PostedJobs::State::Queued, PostedJobs::State::Printing,
                       PostedJobs::State::Done, PostedJobs::State::Interrupted}) {
        if (name == stateName(state)) {
            return state;
        }
    }
    return std::nullopt;
}

std::uint64_t sizeOf(const std::string& path) {
    const auto stamp = common::regularFileStamp(path);
    return stamp ? stamp->size : 0;
}

}  // namespace

const char* stateName(PostedJobs::State state) {
    switch (state) {
        case PostedJobs::State::Queued:
            return "queued";
        case PostedJobs::State::Printing:
            return "printing";
        case PostedJobs::State::Done:
            return "done";
        case PostedJobs::State::Interrupted:
            return "interrupted";
    }
    return "queued";
}

const char* recoveryName(Recovered what) {
    switch (what) {
        case Recovered::Complete:
            return "complete";
        case Recovered::TableClosed:
            return "table-closed";
        case Recovered::Unreadable:
            return "unreadable";
        case Recovered::PrintAgain:
            return "printed-again";
    }
    return "complete";
}

PostedJobs::PostedJobs(std::string spoolDir) : dir_(std::move(spoolDir)) {}

std::string PostedJobs::idOfKey(const std::string& key) {
    char id[17];
    std::snprintf(id, sizeof id, "%016llx",
                  static_cast<unsigned long long>(jobs::hashJobBytes(key)));
    return id;
}

std::string PostedJobs::pathOf(const std::string& id, const char* suffix) const {
    return (fs::path(dir_) / (id + suffix)).string();
}

bool PostedJobs::load(std::string& error) {
    std::error_code failed;
    fs::create_directories(dir_, failed);
    if (!failed) {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::replace, failed);
    }
    if (failed || !fs::is_directory(dir_)) {
        error = dir_ + ": " + (failed ? failed.message() : "not a directory");
        return false;
    }
    canonicalDir_ = common::canonicalPath(dir_);
    const std::lock_guard lock(mutex_);
    for (const auto& item : fs::directory_iterator(dir_, failed)) {
        if (item.path().extension() == ".key") {
            loadEntry(item.path().stem().string());
        }
    }
    return true;
}

void PostedJobs::loadEntry(const std::string& id) {
    auto keyFile = readKept(pathOf(id, ".key"));
    if (!keyFile || id != idOfKey(takeLine(*keyFile))) {
        return;
    }
    Entry entry;
    entry.view.id = id;
    entry.order = std::strtoull(takeLine(*keyFile).c_str(), nullptr, 10);
    if (auto out = readKept(pathOf(id, ".out"))) {
        entry.view.state = stateOfName(takeLine(*out)).value_or(State::Done);
        entry.view.recovery = takeLine(*out);
        const std::string exitCode = takeLine(*out);
        if (!exitCode.empty()) {
            entry.view.exitCode = std::atoi(exitCode.c_str());
        }
        entry.view.resultLines = std::move(*out);
    }
    nextOrder_ = std::max(nextOrder_, entry.order + 1);
    entries_[id] = std::move(entry);
}

PostedJobs::Submitted PostedJobs::submit(const std::string& key, const std::string& body) {
    const std::string id = idOfKey(key);
    const std::lock_guard lock(mutex_);
    Submitted out;
    if (const auto found = entries_.find(id); found != entries_.end()) {
        auto keyFile = readKept(pathOf(id, ".key"));
        const bool sameKey = keyFile && takeLine(*keyFile) == key;
        const auto kept = readKept(pathOf(id, ".job"));
        out.outcome =
            sameKey && kept == body ? Submitted::Outcome::Repeated : Submitted::Outcome::Conflict;
        out.job = found->second.view;
        return out;
    }
    // A job file without its key was never accepted (its answer did not go out) and is never
    // printed: the key written last is what makes the job count.
    Entry entry;
    entry.view.id = id;
    entry.order =
        std::max<std::uint64_t>(nextOrder_, std::chrono::duration_cast<std::chrono::microseconds>(
                                                std::chrono::system_clock::now().time_since_epoch())
                                                .count());
    if (!jobs::replaceDurably(pathOf(id, ".job"), body, out.error) ||
        !jobs::replaceDurably(pathOf(id, ".key"), key + "\n" + std::to_string(entry.order) + "\n",
                              out.error)) {
        return out;
    }
    nextOrder_ = entry.order + 1;
    out.outcome = Submitted::Outcome::Accepted;
    out.job = entry.view;
    entries_[id] = std::move(entry);
    return out;
}

std::optional<PostedJobs::View> PostedJobs::find(const std::string& id) const {
    const std::lock_guard lock(mutex_);
    const auto found = entries_.find(id);
    if (found == entries_.end()) {
        return std::nullopt;
    }
    return found->second.view;
}

std::optional<PostedJobs::View> PostedJobs::awaitEnd(const std::string& id,
                                                     std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto found = entries_.find(id);
        if (found == entries_.end()) {
            return std::nullopt;
        }
        const State state = found->second.view.state;
        if (state == State::Done || state == State::Interrupted ||
            ended_.wait_until(lock, deadline) == std::cv_status::timeout) {
            return entries_.at(id).view;
        }
    }
}

std::optional<std::string> PostedJobs::nextJobPath() const {
    const std::lock_guard lock(mutex_);
    const Entry* oldest = nullptr;
    for (const auto& [id, entry] : entries_) {
        if (entry.view.state == State::Queued && (!oldest || entry.order < oldest->order)) {
            oldest = &entry;
        }
    }
    if (!oldest) {
        return std::nullopt;
    }
    return pathOf(oldest->view.id, ".job");
}

PostedJobs::Entry* PostedJobs::entryOfPath(const std::string& jobPath) {
    const fs::path path(jobPath);
    const std::string parent = path.parent_path().string();
    if (path.extension() != ".job" ||
        (parent != canonicalDir_ && parent != fs::path(dir_).lexically_normal().string())) {
        return nullptr;
    }
    const auto found = entries_.find(path.stem().string());
    return found == entries_.end() ? nullptr : &found->second;
}

void PostedJobs::started(const std::string& jobPath, const std::string& resultFile) {
    const std::lock_guard lock(mutex_);
    if (Entry* entry = entryOfPath(jobPath)) {
        entry->view.state = State::Printing;
        entry->resultFile = resultFile;
        entry->resultStart = sizeOf(resultFile);
    }
}

void PostedJobs::finished(const std::string& jobPath, int exitCode) {
    const std::lock_guard lock(mutex_);
    Entry* entry = entryOfPath(jobPath);
    if (!entry) {
        return;
    }
    entry->view.exitCode = exitCode;
    std::string lines;
    if (!entry->resultFile.empty()) {
        // A result file the POS emptied meanwhile holds only this job's lines.
        const std::uint64_t start =
            sizeOf(entry->resultFile) < entry->resultStart ? 0 : entry->resultStart;
        common::readRegularFileInPieces(entry->resultFile, [&](std::string_view piece) {
            lines += piece;
            return lines.size() < start + kMaxKeptFile;
        });
        lines.erase(0, std::min<std::size_t>(start, lines.size()));
    }
    entry->view.resultLines = std::move(lines);
    end(*entry, State::Done);
}

void PostedJobs::passedOver(const std::string& jobPath) {
    const std::lock_guard lock(mutex_);
    if (Entry* entry = entryOfPath(jobPath)) {
        end(*entry, State::Done);
    }
}

void PostedJobs::recovered(const std::string& jobPath, Recovered what) {
    const std::lock_guard lock(mutex_);
    Entry* entry = entryOfPath(jobPath);
    if (!entry) {
        return;
    }
    entry->view.recovery = recoveryName(what);
    if (what == Recovered::PrintAgain) {
        entry->view.state = State::Queued;
        return;
    }
    entry->view.exitCode = static_cast<int>(what);
    end(*entry, State::Interrupted);
}

void PostedJobs::end(Entry& entry, State state) {
    entry.view.state = state;
    const std::string exitCode =
        entry.view.exitCode ? std::to_string(*entry.view.exitCode) : std::string();
    std::string error;
    // Not kept, the answer is lost with the next restart only; the job stays printed once.
    jobs::replaceDurably(pathOf(entry.view.id, ".out"),
                         std::string(stateName(state)) + "\n" + entry.view.recovery + "\n" +
                             exitCode + "\n" + entry.view.resultLines,
                         error);
    ended_.notify_all();
}

}  // namespace merovan::driver
