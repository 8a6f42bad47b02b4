#pragma once

#include <string>

// The journal's writes, each durable when it returns true. The journal is opened without
// blocking and only when it is a regular file, so that a FIFO or a link to a device put in its
// place cannot hang the driver. Failures come back as plain words (UTF-8) naming the file and
// the system's reason.
namespace merovan::jobs {

// Appends the text and waits until it is on disk. A write that fails half way is cut off
// again, so that the next line does not run on from a torn one.
bool appendDurably(const std::string& path, const std::string& text, std::string& error);

// Replaces the file's content through a side file renamed over it, so that a crash leaves
// either the old or the new content, and makes the rename itself durable.
bool replaceDurably(const std::string& path, const std::string& text, std::string& error);

// Renames a file (of any kind) durably: a damaged journal is kept aside.
bool moveAside(const std::string& from, const std::string& to, std::string& error);

}  // namespace merovan::jobs
