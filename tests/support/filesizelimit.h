#pragma once

#include <sys/resource.h>

#include <csignal>

namespace zorvel::testing {

// A full disk for this process while the object lives: no file may grow past
// `bytes`, and a write beyond that fails with EFBIG (SIGXFSZ is ignored, so
// the process is not killed). The old limit and signal action come back when
// it goes out of scope, so other tests are unaffected.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old {};
    struct sigaction m_oldAction {};
};

} // namespace zorvel::testing
