#include "core/jobs/file_places.h"

#include <system_error>

namespace merovan::jobs {

namespace fs = std::filesystem;

std::optional<fs::path> resolvedPath(const std::string& path) {
    std::error_code error;
    std::error_code missing;  // a file yet to be created is no failure
    fs::path whole = fs::absolute(fs::path(path), error);
    for (int links = 0; !error && links < 40; ++links) {
        whole = fs::weakly_canonical(whole, error);
        // "dir/missing/.." comes back as "dir/": the directory itself, not something in it.
        if (!whole.has_filename() && whole.has_relative_path()) {
            whole = whole.parent_path();
        }
        if (error || !fs::is_symlink(fs::symlink_status(whole, missing))) {
            return error ? std::nullopt : std::optional(whole);
        }
        const fs::path target = fs::read_symlink(whole, error);
        whole = target.is_absolute() ? target : whole.parent_path() / target;
    }
    return std::nullopt;
}

bool isWithinDirectory(const fs::path& file, const fs::path& directory) {
    auto f = file.begin();
    for (const auto& part : directory) {
        if (part.empty()) {
            continue;  // a trailing separator
        }
        if (f == file.end() || *f != part) {
            return false;
        }
        ++f;
    }
    for (; f != file.end(); ++f) {
        if (!f->empty()) {
            return true;
        }
    }
    return false;
}

bool isAcceptableJobPath(const std::string& path, const std::string& exchangeDir,
                         std::string& why) {
    std::error_code error;
    const auto own = fs::symlink_status(path, error).type();
    if (own == fs::file_type::regular) {
        return true;
    }
    if (own != fs::file_type::symlink) {
        why = own == fs::file_type::not_found ? "" : path + ": not a regular file";
        return false;
    }
    const auto target = resolvedPath(path);
    const auto directory = resolvedPath(exchangeDir.empty() ? "." : exchangeDir);
    if (!target || !directory || !isWithinDirectory(*target, *directory)) {
        why = path + ": a link to a file outside the exchange directory";
        return false;
    }
    if (!fs::is_regular_file(*target, error)) {
        why = path + ": a link to something other than a regular file";
        return false;
    }
    return true;
}

}  // namespace merovan::jobs
