#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

#include "core/driver/posted_jobs.h"

namespace merovan::http {

// What a job's result lines (code page 1253, CR LF) say, field by field, in UTF-8: exit code,
// tag, register errors with their number and Greek text, card payments, receipt numbers.
nlohmann::json resultFields(std::string_view resultLines);

// A posted job as GET /v1/jobs/{id} answers it.
nlohmann::json jobAnswer(const driver::PostedJobs::View& job);

}  // namespace merovan::http
