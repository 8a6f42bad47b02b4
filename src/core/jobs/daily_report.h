#pragma once

namespace merovan::jobs {

// The daily Z report a job's "MKZ" line asks for. Reports belong to the layer above the jobs,
// which hands the job its way of running one.
class DailyReport {
  public:
    virtual ~DailyReport() = default;
    virtual void run() = 0;
};

}  // namespace merovan::jobs
