#include "filesizelimit.h"

#include <QtGlobal>

namespace zorvel::testing {

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    if (sigaction(SIGXFSZ, &ignore, &m_oldAction) != 0 || getrlimit(RLIMIT_FSIZE, &m_old) != 0)
        qFatal("cannot set up the file size limit");
    rlimit limit = m_old;
    limit.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        qFatal("cannot set the file size limit");
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_old);
    sigaction(SIGXFSZ, &m_oldAction, nullptr);
}

} // namespace zorvel::testing
